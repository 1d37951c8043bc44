#pragma once

#include <QByteArray>

// A recorded sound as a RIFF/WAVE file carries it: integer PCM, 8-bit samples unsigned, 16-bit samples signed
// little-endian, channels interleaved.
struct PcmWave {
    int Channels = 0;
    int SamplesPerSec = 0;
    int BitsPerSample = 0;
    QByteArray Samples;

    int BlockAlign() const { return Channels * BitsPerSample / 8; }
    int BytesPerSec() const { return SamplesPerSec * BlockAlign(); }
    // Data bytes / bytes per second.
    double Seconds() const;
};

// Reads a RIFF/WAVE file of integer PCM (format tag 1), mono or stereo, 8 or 16 bits. Any other content fails
// with a TutorError naming what is wrong; a data chunk cut short is an error, never a shorter sound.
PcmWave ReadWave(const QByteArray &file);
