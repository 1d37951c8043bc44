#include "platform/controls/TBitBtn.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

TBitBtn::TBitBtn(QWidget *parent, int glyphSize) : QPushButton(parent)
{
    setIconSize(QSize(glyphSize, glyphSize));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void TBitBtn::SetGlyph(const QImage &glyph)
{
    setIcon(QIcon(QPixmap::fromImage(glyph)));
}

void TBitBtn::SetTag(int tag)
{
    m_tag = tag;
    if (isCheckable())
        setChecked(tag == 1);
}

void TBitBtn::MakeSwitch()
{
    setCheckable(true);
    setChecked(m_tag == 1);
}
