#include "platform/drawing/Fonts.h"

void InstallFontSubstitutes()
{
    // The layout names fonts of another system; these are their metric-compatible Debian twins.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Palatino Linotype"), QStringLiteral("P052"));
}

QFont DesignFont(const QString &family, int pixelHeight, bool bold, bool italic)
{
    QFont font(family);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

int PointsToPixels(int points)
{
    return (points * 96 + 36) / 72;
}
