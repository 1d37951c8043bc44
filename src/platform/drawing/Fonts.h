#pragma once

#include <QFont>
#include <QString>

// The window is laid out in pixels for 96 dots per inch. Fonts are sized in pixels so that a text takes the same
// room whatever the display says of its resolution.
void InstallFontSubstitutes();

// A design font: its family as the layout names it, its character height in pixels.
QFont DesignFont(const QString &family, int pixelHeight, bool bold = false, bool italic = false);

// Points to pixels at 96 dots per inch, rounded to the nearest pixel (14 points are 19 pixels).
int PointsToPixels(int points);
