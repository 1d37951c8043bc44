#pragma once

#include <QPushButton>

// A picture button with a tag. The tag holds a switch's state (1 on, anything else off): a button made a switch
// shows that state, pressed while on, and tells assistive tools it is checked. Only the tag changes the state,
// never the click itself; the click handler sets the tag.
class TBitBtn : public QPushButton
{
    Q_OBJECT
public:
    TBitBtn(QWidget *parent, int glyphSize);

    int Tag() const { return m_tag; }
    void SetTag(int tag);

    void MakeSwitch();
    void SetGlyph(const QImage &glyph);

protected:
    void nextCheckState() override {}

private:
    int m_tag = 0;
};
