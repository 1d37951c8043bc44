#pragma once

#include <functional>
#include <string>

#include <QLineEdit>

class QKeyEvent;

// A one-line edit box in which the learner types. Every character that reaches it, control characters included,
// passes through OnKeyPress first, as one Windows-1252 byte; the handler discards it by setting it to 0.
// Only accepted characters enter the box, always at its end: no paste, no drop, no context menu, no editing
// keys. A character that Windows-1252 cannot hold arrives as 0, which matches nothing.
class TEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TEdit(QWidget *parent = nullptr);

    std::function<void(char &key)> OnKeyPress;

    // The characters a key press produces, as a Windows keyboard would send them (Enter 13, Backspace 8,
    // Escape 27, Tab 9, Ctrl+letter 1..26); none for keys that only move or edit, nor for Alt chords.
    static std::string CharactersOf(const QKeyEvent &event);

    // Hands characters to the key-press handler one by one and takes in those it accepts.
    void ReceiveCharacters(const std::string &characters);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void TakeIn(char key);
};
