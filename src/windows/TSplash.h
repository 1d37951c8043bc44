#pragma once

#include <exception>
#include <functional>

#include <QDialog>

#include "audio/TDXWaveList.h"
#include "platform/sound/TDXSound.h"

class TRxGIFAnimator;

// The window that opens the program: a borderless animated picture in the middle of the screen with a sound of
// about a minute, shown once, modally, at start-up. Each activation starts the sound again (a second copy over a
// first one still sounding); only a click on the picture, or Return, Space or Escape, stops every copy and
// closes the window. The sound ending by itself leaves it open, still animating.
class TSplash : public QDialog
{
    Q_OBJECT
public:
    explicit TSplash(QWidget *parent = nullptr);
    ~TSplash() override;

    // Shows the window and returns once it has been closed. `whenShown` runs once, inside the window's loop, as
    // soon as the picture has been painted on screen; what it throws closes the window and comes out of here.
    void ShowModal(std::function<void()> whenShown = {});

    void FormActivate();
    void RxGIFAnimator1Click();

    TRxGIFAnimator *RxGIFAnimator1 = nullptr;
    TDXSound DXSound1;
    TDXWaveList DXWaveList1{&DXSound1};

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_whenShown;
    std::exception_ptr m_failure;
};
