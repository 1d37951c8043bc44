#pragma once

#include <QSpinBox>

// A spin box. With its editor disabled, only its arrows change the value: typing is refused. The mouse wheel
// never changes it.
class TSpinEdit : public QSpinBox
{
    Q_OBJECT
public:
    TSpinEdit(QWidget *parent, int minValue, int maxValue, int value, int increment, bool editorEnabled);

    bool EditorEnabled() const { return m_editorEnabled; }

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    bool m_editorEnabled;
};
