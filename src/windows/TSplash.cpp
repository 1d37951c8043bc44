#include "windows/TSplash.h"

#include <utility>

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

#include "assets/AssetNames.h"
#include "assets/EmbeddedAssets.h"
#include "platform/controls/TRxGIFAnimator.h"
#include "platform/dialogs/ErrorBox.h"
#include "platform/drawing/ControlIdentity.h"

TSplash::TSplash(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Splash"));
    setWindowTitle(QStringLiteral("Tapotis2002"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setFixedSize(256, 192);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    TRxGIFAnimator::Settings picture;
    picture.Animate = true;
    picture.Transparent = false;
    RxGIFAnimator1 = new TRxGIFAnimator(this, picture);
    Identify(RxGIFAnimator1, QStringLiteral("RxGIFAnimator1"));
    RxGIFAnimator1->setAccessibleName(QStringLiteral("Tapotis2002 - Apprendre à taper au clavier"));
    RxGIFAnimator1->setAccessibleDescription(QStringLiteral("Cliquez ou appuyez sur Entrée pour commencer"));
    RxGIFAnimator1->setGeometry(0, 0, 256, 192);
    RxGIFAnimator1->SetAnimation(assets::Embedded(QLatin1String(assets::names::SplashAnimation)));
    RxGIFAnimator1->OnClick = [this] { RxGIFAnimator1Click(); };

    DXWaveList1.Add(QLatin1String(assets::names::SplashTune), assets::Wave(QLatin1String(assets::names::SplashTune)));
}

TSplash::~TSplash() = default;

void TSplash::ShowModal(std::function<void()> whenShown)
{
    m_whenShown = std::move(whenShown);
    m_failure = nullptr;
    if (m_whenShown)
        RxGIFAnimator1->installEventFilter(this);
    exec();
    RxGIFAnimator1->removeEventFilter(this);
    m_whenShown = nullptr;
    // Closing stopped the tune and the window is never shown again: its minute of sound need not stay in memory,
    // nor what the picture kept of its frames to play them (it goes back to its first frame, as it was made).
    DXWaveList1.Clear();
    RxGIFAnimator1->SetAnimation(RxGIFAnimator1->Animation());
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
}

bool TSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == RxGIFAnimator1 && event->type() == QEvent::Paint && m_whenShown) {
        RxGIFAnimator1->removeEventFilter(this);
        // Once the picture is painted and on its way to the screen.
        QTimer::singleShot(0, this, [this] {
            const std::function<void()> work = std::exchange(m_whenShown, nullptr);
            if (!work)
                return;
            try {
                work();
            } catch (...) {
                m_failure = std::current_exception();
                DXWaveList1.Items(0).Stop();
                done(QDialog::Rejected);
            }
        });
    }
    return QDialog::eventFilter(watched, event);
}

void TSplash::FormActivate()
{
    DXWaveList1.Items(0).Play(false);
}

void TSplash::RxGIFAnimator1Click()
{
    DXWaveList1.Items(0).Stop();
    accept();
}

void TSplash::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        errorbox::Guarded(this, [this] { FormActivate(); });
}

void TSplash::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    activateWindow();
}

void TSplash::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    // The keyboard leaves the splash as the click does; other keys do nothing.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Escape:
        if (!event->isAutoRepeat())
            errorbox::Guarded(this, [this] { RxGIFAnimator1Click(); });
        break;
    default: break;
    }
}

void TSplash::reject()
{
    // A request to close the window from outside leaves it open: only the click and its keys close it.
}
