#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QString>

// A named list of pictures, each with the colour that is drawn transparent. Pictures are kept in the drawing
// surfaces' 32-bit pixel format, so that drawing them never converts, or as 8-bit palette pictures, drawn
// through their palette.
class TDXImageList
{
public:
    struct Item {
        QString Name;
        std::uint32_t TransparentColor = 0;
        QImage Picture;
        // The transparent colour (a colour value, 0x00BBGGRR) as the RGB bits of a pixel, 0x00RRGGBB.
        std::uint32_t TransparentRgb() const
        {
            return ((TransparentColor & 0xFF) << 16) | (TransparentColor & 0xFF00) | ((TransparentColor >> 16) & 0xFF);
        }
    };

    void Add(const QString &name, std::uint32_t transparentColor, const QImage &picture = QImage());
    // Puts another picture in an item's place, kept as Add keeps it; its transparent colour stays.
    void Replace(int index, const QString &name, const QImage &picture);
    int Count() const { return static_cast<int>(m_items.size()); }
    Item &Items(int index);
    const Item &Items(int index) const;

private:
    std::vector<Item> m_items;
};
