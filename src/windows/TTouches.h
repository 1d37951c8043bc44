#pragma once

#include <QColor>
#include <QDialog>

#include "guide/KeyboardPicture.h"
#include "guide/LayoutKeys.h"

class KeyFigures;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class TDXImageList;

// The window "Mes touches - Tapotis2002": the keyboard with each key tinted by the learner's error rate on it
// (or, with "Vitesse", by its mean time), the characters from the weakest, the ten fingers' figures on the two
// hands, and a drill made for the weakest keys. Tab and arrows move, Space ticks, Return starts, Escape closes.
class TTouches : public QDialog
{
    Q_OBJECT
public:
    // `layout`: another keyboard's keys and fingers, which `pictures` and `centres` show (nullptr: the French AZERTY).
    TTouches(QWidget *main, const KeyFigures &keys, const TDXImageList &pictures, const keymap::KeyCentres &centres,
             const keymap::LayoutKeys *layout = nullptr);
    ~TTouches() override;

    // Whether the learner chose "S'entraîner sur ces touches".
    bool DrillChosen() const { return m_drillChosen; }

    // Tints go from green to red between these figures.
    static constexpr double WorstErrorRate = 20;
    static constexpr double FastestMs = 200;
    static constexpr double SlowestMs = 1200;

    // What the list reads for a character: "e : 4 % d'erreurs, 310 ms — souvent tapé à la place : r, z".
    static QString ItemText(unsigned char ch, const KeyFigures &keys);
    // The same item as a screen reader says it: the characters by their French names ("arobase : ...").
    static QString ItemSpoken(unsigned char ch, const KeyFigures &keys);
    // What a finger's label reads: "Index gauche : 4 % d'erreurs, 310 ms"; finger is a picture item of the key map.
    static QString FingerText(int finger, const KeyFigures &keys, const keymap::LayoutKeys *layout = nullptr);
    // The tint of a figure between its best (0) and its worst (1): green, yellow, red.
    static QColor Heat(double share);

    QLabel *ImageClavier = nullptr;
    QLabel *ImageLegende = nullptr;
    QCheckBox *CaseVitesse = nullptr;
    QListWidget *ListeTouches = nullptr;
    QLabel *ImageDoigts = nullptr;
    QPushButton *BoutonEntrainer = nullptr;
    QPushButton *BoutonFermer = nullptr;

protected:
    // A screen reader hears the list's current item as the window opens.
    void showEvent(QShowEvent *event) override;

private:
    void DrawKeyboard();
    void DrawLegend();
    void DrawFingers();

    const KeyFigures &m_keys;
    const keymap::LayoutKeys *m_layout = nullptr;
    const TDXImageList &m_pictures;
    KeyboardPicture m_keyboard;
    bool m_drillChosen = false;
};
