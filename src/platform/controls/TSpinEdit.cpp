#include "platform/controls/TSpinEdit.h"

#include <QLineEdit>
#include <QWheelEvent>

TSpinEdit::TSpinEdit(QWidget *parent, int minValue, int maxValue, int value, int increment, bool editorEnabled)
    : QSpinBox(parent), m_editorEnabled(editorEnabled)
{
    setRange(minValue, maxValue);
    setSingleStep(increment);
    setValue(value);
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lineEdit()->setReadOnly(!editorEnabled);
    // The whole control shows the hand, its editor included.
    lineEdit()->setCursor(Qt::PointingHandCursor);
}

void TSpinEdit::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}
