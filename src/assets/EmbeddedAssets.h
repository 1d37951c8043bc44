#pragma once

#include <cstddef>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "platform/sound/WaveFile.h"

// Every picture and sound travels inside the program, each under its item name ("Tapotis.bmp", "Touche_a.wav",
// "Image1.jpg" for the background, "<button>.bmp" for a button's glyph), as listed in assets/AssetNames.h and
// audio/KeyNameRecordings.h. Nothing is read from disk; a missing or damaged asset fails with a TutorError.
namespace assets {

QByteArray Embedded(const QString &name);

// A Windows bitmap, in its own pixel format (indexed pictures keep their palette).
QImage Bitmap(const QString &name);

// The main window's background, decoded by libjpeg.
QImage Background();

// A button's glyph with the colour of its bottom-left pixel made transparent, as picture buttons draw it.
QImage Glyph(const QString &button);

PcmWave Wave(const QString &name);

// The program icon.
QImage Icon();

// Hands back to the system the pages of the program file that hold the embedded files, once the start-up has
// read them: they no longer count in the program's memory, and a file still in use is read again from the program
// file, unchanged, when next touched. Returns the number of bytes handed back (0 where nothing could be).
std::size_t LetGoOfStoredBytes();

} // namespace assets
