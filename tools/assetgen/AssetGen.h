#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QString>
#include <QVector>

#include "audio/KeyNameRecordings.h"
#include "platform/input/KeyboardLayouts.h"

// The asset generator draws every picture and makes every sound of the program. Each maker returns the asset
// in memory; the writers put it on disk in the exact file format the program embeds.
namespace assetgen {

// Interleaved integer PCM: 8-bit samples unsigned, 16-bit samples signed little-endian.
struct Pcm {
    int SampleRate = 22050;
    int BitsPerSample = 16;
    int Channels = 1;
    std::vector<std::uint8_t> Data;
};

// One frame of an animation: a picture of the animation's full size in Format_Indexed8 whose colour table is the
// animation's palette, and how long it stays up.
struct GifFrame {
    QImage Picture;
    int DelayMs = 100;
};

struct GifAnimation {
    int Width = 0;
    int Height = 0;
    QVector<QRgb> Palette;     // the global colour table: 2, 4, 8 ... 256 entries
    int TransparentIndex = -1; // -1: no transparent colour
    bool RestoreToBackground = false;
    bool LoopMarker = false; // the endless-loop application extension
    std::vector<GifFrame> Frames;
};

// ---- Pictures -------------------------------------------------------------------------------------------------

// The keyboard picture "Tapotis.bmp": 634 x 250, RGB32 (written as 24 bits per pixel).
QImage DrawKeyboard();
// The same keyboard with a layout's legends on the keys of its main block, read from the layout's typing table;
// the French AZERTY's is "Tapotis.bmp" itself.
QImage DrawKeyboard(layouts::Layout layout);

// A hand picture, 196 x 189, Format_Indexed8 with a palette of 256 colours whose pure white (the transparent
// colour) is the background. finger is an item of keymap::FingerPicture (MainG ... AuriculaireD).
QImage DrawHand(int item);

// The main window's background, 800 x 600, RGB32.
QImage DrawBackground();

// The glyph of a button, by the button's name ("BoutonFacile", ...), RGB32. Its bottom-left pixel holds the colour
// the button treats as transparent.
QImage DrawGlyph(const QString &button);

// The program icon: 32 x 32, Format_Indexed8 with at most 16 colours.
QImage DrawIcon();
// The desktop's icon of the program at `size` x `size` pixels, in full colour with an alpha channel.
QImage DrawDesktopIcon(int size);
// The sizes the desktop's icon is drawn at.
inline constexpr int DesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

GifAnimation TitleAnimation();       // 178 x 80, 26 frames, 32 colours, transparent, restore to background
GifAnimation HummingbirdAnimation(); // 51 x 45, 14 frames, 8 colours, transparent, restore, loop marker
GifAnimation SplashAnimation();      // 256 x 192, 19 frames, 256 colours, opaque, no loop marker

// ---- Sounds ---------------------------------------------------------------------------------------------------

Pcm TypeCue();    // 22050 Hz, 8 bits, mono, 0.17 s
Pcm ErrorCue();   // 22050 Hz, 8 bits, mono, 0.45 s
Pcm SoluceCue();  // 11025 Hz, 8 bits, mono, 2.39 s
Pcm ComedyTune(); // 8000 Hz, 8 bits, stereo, 59.08 s

// A spoken key name: 22050 Hz, 16 bits, mono, lasting exactly the recording's seconds to the hundredth.
Pcm SpeakKeyName(const keynames::Recording &name);
// A dictation read aloud by espeak-ng's French voice: slowly, word by word, its punctuation said by name
// ("virgule", "point"), 22050 Hz 16-bit mono with a little silence before and after.
Pcm SpeakDictation(const QString &text);

// ---- Writers (throw std::runtime_error on failure) -------------------------------------------------------------

void WriteBmp(const QString &path, const QImage &picture, int bitsPerPixel); // 8 (indexed) or 24
void WriteJpeg(const QString &path, const QImage &picture, int quality);
void WriteGif(const QString &path, const GifAnimation &animation);
void WriteWave(const QString &path, const Pcm &sound);
void WriteIcon(const QString &path, const QImage &picture); // 32 x 32, 4 bits per pixel

// Exactly the number of data bytes that lasts `seconds` (data bytes / bytes per second, to the hundredth),
// whole sample frames only.
std::size_t BytesForDuration(const Pcm &format, double seconds);

} // namespace assetgen
