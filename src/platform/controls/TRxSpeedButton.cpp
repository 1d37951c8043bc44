#include "platform/controls/TRxSpeedButton.h"

#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPixmap>

TRxSpeedButton::TRxSpeedButton(QWidget *parent, int glyphSize, QMenu *dropDownMenu) : QToolButton(parent)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setIconSize(QSize(glyphSize, glyphSize));
    setMenu(dropDownMenu);
    setPopupMode(QToolButton::InstantPopup);
    setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
}

void TRxSpeedButton::SetGlyph(const QImage &glyph)
{
    setIcon(QIcon(QPixmap::fromImage(glyph)));
}
