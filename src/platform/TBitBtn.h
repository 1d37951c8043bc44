#pragma once

#include <QPushButton>

// A picture button with a tag. The tag holds a switch's state (1 on, anything else off).
class TBitBtn : public QPushButton
{
    Q_OBJECT
public:
    TBitBtn(QWidget *parent, int glyphSize);

    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    void SetGlyph(const QImage &glyph);

private:
    int m_tag = 0;
};
