#pragma once

#include <QToolButton>

class QMenu;

// A flat picture button whose click drops its menu down from its bottom-left corner; no arrow is drawn.
class TRxSpeedButton : public QToolButton
{
    Q_OBJECT
public:
    TRxSpeedButton(QWidget *parent, int glyphSize, QMenu *dropDownMenu);

    void SetGlyph(const QImage &glyph);
};
