#include "platform/drawing/TDXImageList.h"

#include "platform/text/TutorError.h"

namespace {

// A palette picture stays one byte a pixel, a quarter of its 32-bit copy: drawing goes through its palette.
QImage Kept(const QImage &picture)
{
    const bool kept =
        picture.isNull() || picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_Indexed8;
    return kept ? picture : picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

void TDXImageList::Add(const QString &name, std::uint32_t transparentColor, const QImage &picture)
{
    m_items.push_back(Item{name, transparentColor, Kept(picture)});
}

void TDXImageList::Replace(int index, const QString &name, const QImage &picture)
{
    Item &item = Items(index);
    item.Name = name;
    item.Picture = Kept(picture);
}

TDXImageList::Item &TDXImageList::Items(int index)
{
    if (index < 0 || index >= Count())
        throw TutorError(QStringLiteral("Indice de liste hors limites (%1)").arg(index));
    return m_items[static_cast<std::size_t>(index)];
}

const TDXImageList::Item &TDXImageList::Items(int index) const
{
    return const_cast<TDXImageList *>(this)->Items(index);
}
