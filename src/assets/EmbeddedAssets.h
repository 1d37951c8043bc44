#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "platform/sound/WaveFile.h"

// Every picture and sound travels inside the program, each under its item name ("Tapotis.bmp", "Touche_a.wav",
// "Image1.jpg" for the background, "<button>.bmp" for a button's glyph). Nothing is read from disk; a missing
// or damaged asset fails with a TutorError.
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

} // namespace assets
