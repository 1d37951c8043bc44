#include "windows/TMain.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include "windows/CourseMaterial.h"
#include "lesson/LessonReader.h"
#include "windows/TParcours.h"
#include "windows/TTouches.h"
#include "assets/EmbeddedAssets.h"
#include "audio/KeyNames.h"
#include "course/Course.h"
#include "course/CourseText.h"
#include "course/Drill.h"
#include "game/TJeu.h"
#include "guide/KeyDescription.h"
#include "guide/KeyboardGuide.h"
#include "guide/TargetLine.h"
#include "keysend/SystemKeyPlatform.h"
#include "platform/controls/MessageWait.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TDXTimer.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TRxGIFAnimator.h"
#include "platform/controls/TRxSpeedButton.h"
#include "platform/controls/TScroller.h"
#include "platform/controls/TShape.h"
#include "platform/controls/TSpinEdit.h"
#include "platform/controls/TTimer.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/dialogs/ErrorBox.h"
#include "platform/drawing/Colour.h"
#include "platform/drawing/ControlIdentity.h"
#include "platform/drawing/Fonts.h"
#include "platform/drawing/TDXDraw.h"
#include "platform/help/HelpViewer.h"
#include "platform/sound/WaveFile.h"
#include "platform/text/Cp1252.h"
#include "platform/text/ProgramPlaces.h"
#include "platform/text/SafeFile.h"
#include "platform/text/TutorError.h"
#include "records/CourseRules.h"
#include "windows/TLineSeries.h"
#include "windows/TStatistiques.h"

namespace {

constexpr int ChronoInterval = 33;

// The scrolling tick's interval for a speed of 1..7: 60 ms down to 10 ms, then 5 ms, twice as fast as 6 rather
// than a tick on every idle pass.
int ScrollInterval(int speed)
{
    return speed >= 7 ? 5 : 70 - 10 * speed;
}

const QString MSSansSerif = QStringLiteral("MS Sans Serif");
const QString Arial = QStringLiteral("Arial");

void SetTextColours(QWidget *control, std::uint32_t text, std::uint32_t background = 0xFFFFFFFF)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, FromColourValue(text));
    palette.setColor(QPalette::Text, FromColourValue(text));
    if (background != 0xFFFFFFFF)
        palette.setColor(QPalette::Base, FromColourValue(background));
    control->setPalette(palette);
}

TLabel *MakeLabel(QWidget *parent, const QString &name, QRect geometry, const QFont &font, std::uint32_t colour,
                  const QString &caption)
{
    auto *label = new TLabel(parent);
    Identify(label, name);
    label->setGeometry(geometry);
    label->setFont(font);
    SetTextColours(label, colour);
    label->SetCaption(caption);
    return label;
}

TBitBtn *MakeButton(QWidget *parent, const QString &name, QRect geometry, const QString &hint, int glyphSize)
{
    auto *button = new TBitBtn(parent, glyphSize);
    Identify(button, name, hint, HintShown::Yes);
    button->setGeometry(geometry);
    return button;
}

// The virtual-key code of a key-down, as the window-level key filter knows keys; 0xFF for keys it has no code for.
std::uint16_t VirtualKeyOf(const QKeyEvent &event)
{
    const int key = event.key();
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    default:
        if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
            return static_cast<std::uint16_t>(key);
        return 0xFF;
    }
}

} // namespace

TMain::TMain(const QString &programFolder, UserDialogs &dialogs) : TMain(Unbuilt{}, programFolder, dialogs)
{
    Build();
}

TMain::TMain(Unbuilt, const QString &programFolder, UserDialogs &dialogs)
    : QWidget(nullptr), OpenDialog1(QStringLiteral("Dictées vocales Tapotis2002|*.txt"), QStringLiteral("*.txt")),
      m_programFolder(programFolder), m_dialogs(dialogs), m_learner(dialogs)
{
    UserDialogs::Attach(this, dialogs);
    m_flow.Keys = &m_learner.Keys;
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Tapotis2002"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(800, 600);
    setFont(DesignFont(MSSansSerif, 11));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, FromColourValue(colours::BtnFace));
    setPalette(palette);
    setAutoFillBackground(true);
}

void TMain::Build()
{
    if (m_built)
        return;
    m_built = true;
    CreateControls();
    BindHandlers();
    // Key preview: the window sees every key-down before the focused control.
    qApp->installEventFilter(this);
    FormCreate();
}

TMain::~TMain()
{
    qApp->removeEventFilter(this);
}

void TMain::CreateControls()
{
    Image1 = new TImage(this);
    Identify(Image1, QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 800, 600);
    Image1->SetPicture(assets::Background());

    TRxGIFAnimator::Settings title;
    title.Center = true;
    title.FrameIndex = 22;
    RxGIFAnimator1 = new TRxGIFAnimator(this, title);
    Identify(RxGIFAnimator1, QStringLiteral("RxGIFAnimator1"));
    RxGIFAnimator1->setGeometry(311, 13, 178, 66);
    RxGIFAnimator1->SetAnimation(assets::Embedded(QStringLiteral("RxGIFAnimator1.gif")));

    LabelChrono = MakeLabel(this, QStringLiteral("LabelChrono"), QRect(328, 554, 145, 20),
                            DesignFont(Arial, 16, true, true), colours::Lime, QStringLiteral("0"));
    LabelCorrect = MakeLabel(this, QStringLiteral("LabelCorrect"), QRect(23, 330, 44, 18), DesignFont(Arial, 13, true),
                             colours::Black, QStringLiteral("0"));
    LabelErreur = MakeLabel(this, QStringLiteral("LabelErreur"), QRect(733, 330, 44, 18), DesignFont(Arial, 13, true),
                            colours::Black, QStringLiteral("0"));

    TRxGIFAnimator::Settings bird;
    bird.AutoSize = true;
    bird.FrameIndex = 1;
    RxGIFAnimator2 = new TRxGIFAnimator(this, bird);
    Identify(RxGIFAnimator2, QStringLiteral("RxGIFAnimator2"));
    RxGIFAnimator2->setGeometry(248, 40, 51, 45);
    RxGIFAnimator2->SetAnimation(assets::Embedded(QStringLiteral("RxGIFAnimator2.gif")));

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    const char *const dictationNames[] = {"Dictesnumro11", "Dictesnumro12", "Dictesnumro31", "Dictesnumro41",
                                          "Dictesnumro51", "Dictesnumro61", "Dictesnumro71", "Dictesnumro81",
                                          "Dictenumro91",  "Dictenumro101"};
    for (int i = 0; i < 10; ++i) {
        QAction *item = PopupMenu2->addAction(QStringLiteral("Dictée numéro %1").arg(i + 1, 2, 10, QLatin1Char('0')));
        item->setObjectName(QLatin1String(dictationNames[i]));
        item->setData(i);
        connect(item, &QAction::triggered, this, GuardedSlot(this, [this, i] { Dictesnumro11Click(i); }));
    }
    PopupMenu2->addSeparator();
    ReecouterDictee1 = PopupMenu2->addAction(QStringLiteral("Réécouter la dictée"));
    ReecouterDictee1->setObjectName(QStringLiteral("ReecouterDictee1"));
    ReecouterDictee1->setEnabled(false);
    connect(ReecouterDictee1, &QAction::triggered, this, GuardedSlot(this, [this] { ReecouterDicteeClick(); }));
    OuvrirDictee1 = PopupMenu2->addAction(QStringLiteral("Ouvrir une dictée..."));
    OuvrirDictee1->setObjectName(QStringLiteral("OuvrirDictee1"));
    connect(OuvrirDictee1, &QAction::triggered, this, GuardedSlot(this, [this] { OuvrirDicteeClick(); }));
    // Hearing again needs a recording: the last lesson start may have cleared it.
    connect(PopupMenu2, &QMenu::aboutToShow, this, [this] { ReecouterDictee1->setEnabled(DXWaveList2.Count() > 0); });
    BoutonDicteesVocales = new TRxSpeedButton(this, 22, PopupMenu2);
    Identify(BoutonDicteesVocales, QStringLiteral("BoutonDicteesVocales"), QStringLiteral("Dictées vocales"));
    BoutonDicteesVocales->setGeometry(171, 551, 29, 29);

    LabelUser = MakeLabel(this, QStringLiteral("LabelUser"), QRect(312, 83, 177, 13), DesignFont(MSSansSerif, 11),
                          colours::Yellow, QStringLiteral("Marie Durand"));
    Identify(LabelUser, QStringLiteral("LabelUser"), QStringLiteral("Utilisateur"), HintShown::Yes);

    Shape1 = new TShape(this, colours::LightGreen);
    Identify(Shape1, QStringLiteral("Shape1"));
    Shape1->setGeometry(312, 79, 177, 3);

    PaintBoxKey = new TDXDraw(this, QSize(632, 248));
    Identify(PaintBoxKey, QStringLiteral("PaintBoxKey"));
    PaintBoxKey->setGeometry(84, 286, 632, 248);

    Scroller1 = new TScroller(this, 0, 255, 255, 51);
    Identify(Scroller1, QStringLiteral("Scroller1"), QStringLiteral("Opacité des mains"));
    Scroller1->setGeometry(102, 314, 23, 13);

    BoutonFacile =
        MakeButton(this, QStringLiteral("BoutonFacile"), QRect(21, 551, 28, 28), QStringLiteral("Entrainement"), 22);
    BoutonMoyen =
        MakeButton(this, QStringLiteral("BoutonMoyen"), QRect(71, 551, 28, 28), QStringLiteral("Phrases"), 22);
    BoutonDifficile = MakeButton(this, QStringLiteral("BoutonDifficile"), QRect(121, 551, 28, 28),
                                 QStringLiteral("Texte défilant"), 22);
    BoutonQuitter = MakeButton(this, QStringLiteral("BoutonQuitter"), QRect(751, 551, 28, 28),
                               QStringLiteral("Quitter l'application"), 22);
    BoutonAide = MakeButton(this, QStringLiteral("BoutonAide"), QRect(701, 551, 28, 28),
                            QStringLiteral("Aide de l'application"), 22);
    BoutonJeu =
        MakeButton(this, QStringLiteral("BoutonJeu"), QRect(651, 551, 28, 28), QStringLiteral("Zid-Ediveza"), 24);
    BoutonSon = MakeButton(this, QStringLiteral("BoutonSon"), QRect(601, 551, 28, 28),
                           QStringLiteral("Activer/Désactiver le son"), 22);
    BoutonSon->SetTag(1);

    EditText = new TEdit(this);
    Identify(EditText, QStringLiteral("EditText"));
    EditText->setGeometry(48, 213, 703, 34);
    EditText->setFont(DesignFont(QStringLiteral("Palatino Linotype"), 19));
    SetTextColours(EditText, colours::Purple, colours::Silver);
    EditText->setFocusPolicy(Qt::ClickFocus);

    SpinEdit1 = new TSpinEdit(this, 1, 7, 1, 1, false);
    Identify(SpinEdit1, QStringLiteral("SpinEdit1"), QStringLiteral("Vitesse du défilement"), HintShown::Yes);
    SpinEdit1->setGeometry(664, 310, 33, 23);
    SpinEdit1->setFont(DesignFont(Arial, 11, true));
    SetTextColours(SpinEdit1, colours::Black, colours::Silver);

    DXPaintBoxTexte = new TDXDraw(this, QSize(705, 33));
    Identify(DXPaintBoxTexte, QStringLiteral("DXPaintBoxTexte"));
    DXPaintBoxTexte->setGeometry(48, 140, 705, 32);

    BoutonAuto =
        MakeButton(this, QStringLiteral("BoutonAuto"), QRect(523, 310, 23, 22), QStringLiteral("Pause café..."), 18);

    SpinEdit2 = new TSpinEdit(this, 17100, 28100, 22050, 1000, true);
    Identify(SpinEdit2, QStringLiteral("SpinEdit2"), QStringLiteral("Vitesse de la voix en Hz"), HintShown::Yes);
    SpinEdit2->setGeometry(594, 310, 57, 23);
    SpinEdit2->setFont(DesignFont(Arial, 11, true));
    SetTextColours(SpinEdit2, ToColourValue(palette().color(QPalette::WindowText)), colours::Silver);

    BoutonPrononcer = MakeButton(this, QStringLiteral("BoutonPrononcer"), QRect(559, 310, 23, 21),
                                 QStringLiteral("Activer/Désactiver la prononciation des touches"), 20);
    BoutonPrononcer->SetTag(0);

    BoutonParcours =
        MakeButton(this, QStringLiteral("BoutonParcours"), QRect(221, 551, 28, 28), QStringLiteral("Parcours"), 22);
    BoutonTouches =
        MakeButton(this, QStringLiteral("BoutonTouches"), QRect(271, 551, 28, 28), QStringLiteral("Mes touches"), 22);

    const char *const pictures[] = {"MainG.bmp",     "MainD.bmp",     "PouceG.bmp",       "PouceD.bmp",
                                    "IndexG.bmp",    "IndexD.bmp",    "MajeurG.bmp",      "MajeurD.bmp",
                                    "AnnuaireG.bmp", "AnnuaireD.bmp", "AuriculaireG.bmp", "AuriculaireD.bmp"};
    for (const char *name : pictures)
        DXImageList1.Add(QLatin1String(name), colours::White, assets::Bitmap(QLatin1String(name)));
    DXImageList1.Add(QStringLiteral("Tapotis.bmp"), colours::Black, assets::Bitmap(QStringLiteral("Tapotis.bmp")));

    for (const char *name : {"Type.wav", "Error.wav", "Soluce.wav"})
        DXWaveList1.Add(QLatin1String(name), assets::Wave(QLatin1String(name)));

    TimerChrono = new TTimer(this);
    TimerChrono->setObjectName(QStringLiteral("TimerChrono"));

    Timer1 = new TDXTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->SetEnabled(true);

    // An empty menu: a right click in the edit box or the scroll-speed box opens nothing.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    EditText->setContextMenuPolicy(Qt::PreventContextMenu);
    SpinEdit1->setContextMenuPolicy(Qt::PreventContextMenu);

    for (TBitBtn *button : {BoutonFacile, BoutonMoyen, BoutonDifficile, BoutonQuitter, BoutonAide, BoutonJeu, BoutonSon,
                            BoutonAuto, BoutonPrononcer, BoutonParcours, BoutonTouches})
        button->SetGlyph(assets::Glyph(button->objectName()));
    BoutonDicteesVocales->SetGlyph(assets::Glyph(BoutonDicteesVocales->objectName()));
    setWindowIcon(QIcon(QPixmap::fromImage(assets::Icon())));

    // What assistive tools read: the learner's words. Hinted controls read their hint (see Identify); the
    // counters read the caption drawn beside them with their value, the surfaces what they show.
    RxGIFAnimator1->setAccessibleName(QStringLiteral("Tapotis2002"));
    LabelCorrect->ReadCaptionAs(QStringLiteral("Justes"));
    LabelErreur->ReadCaptionAs(QStringLiteral("Erreurs"));
    LabelChrono->ReadCaptionAs(QStringLiteral("Chronomètre"));
    LabelUser->ReadCaptionAs(QStringLiteral("Utilisateur"));
    EditText->setAccessibleName(QStringLiteral("Zone de frappe"));
    DXPaintBoxTexte->setAccessibleName(QStringLiteral("Ligne à taper"));
    PaintBoxKey->setAccessibleName(QStringLiteral("Clavier"));
    BoutonSon->MakeSwitch();
    BoutonPrononcer->MakeSwitch();

    // Windowed controls lie above the painted ones (picture, animations, labels, shape, dictation button),
    // in their creation order.
    for (QWidget *control : std::initializer_list<QWidget *>{
             PaintBoxKey, Scroller1, BoutonFacile, BoutonMoyen, BoutonDifficile, BoutonQuitter, BoutonAide, BoutonJeu,
             BoutonSon, EditText, SpinEdit1, DXPaintBoxTexte, BoutonAuto, SpinEdit2, BoutonPrononcer})
        control->raise();

    const std::initializer_list<QWidget *> tabOrder = {BoutonFacile, BoutonMoyen, BoutonDifficile, BoutonQuitter,
                                                       BoutonAide,   BoutonJeu,   BoutonSon,       EditText,
                                                       SpinEdit1,    BoutonAuto,  SpinEdit2,       BoutonPrononcer};
    QWidget *previous = nullptr;
    for (QWidget *control : tabOrder) {
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }
}

void TMain::BindHandlers()
{
    connect(BoutonQuitter, &QPushButton::clicked, this, GuardedSlot(this, [this] { BoutonQuitterClick(); }));
    connect(BoutonAide, &QPushButton::clicked, this, GuardedSlot(this, [this] { BoutonAideClick(); }));
    connect(BoutonFacile, &QPushButton::clicked, this, GuardedSlot(this, [this] { BoutonFacileClick(); }));
    connect(BoutonMoyen, &QPushButton::clicked, this, GuardedSlot(this, [this] { BoutonMoyenClick(); }));
    connect(BoutonAuto, &QPushButton::clicked, this, GuardedSlot(this, [this] { BoutonAutoClick(); }));
    connect(BoutonDifficile, &QPushButton::clicked, this, GuardedSlot(this, [this] { BoutonDifficileClick(); }));
    connect(BoutonJeu, &QPushButton::clicked, this, GuardedSlot(this, [this] { BoutonJeuClick(); }));
    connect(BoutonParcours, &QPushButton::clicked, this, GuardedSlot(this, [this] { BoutonParcoursClick(); }));
    connect(BoutonTouches, &QPushButton::clicked, this, GuardedSlot(this, [this] { BoutonTouchesClick(); }));
    connect(BoutonSon, &QPushButton::clicked, this, GuardedSlot(this, [this] { BoutonSonClick(); }));
    connect(BoutonPrononcer, &QPushButton::clicked, this, GuardedSlot(this, [this] { BoutonPrononcerClick(); }));
    connect(SpinEdit1, &QSpinBox::valueChanged, this, GuardedSlot(this, [this] { SpinEdit1Change(); }));
    connect(SpinEdit2, &QSpinBox::valueChanged, this, GuardedSlot(this, [this] { SpinEdit2Change(); }));
    EditText->OnKeyPress = [this](char &key) { EditTextKeyPress(key); };
    TimerChrono->OnTimer = [this] { TimerChronoTimer(); };
    Timer1->OnTimer = [this](int lag) { Timer1Timer(lag); };
    Scroller1->OnClick = [this] { Scroller1Click(); };
}

// ---- Start-up and window-wide handlers ----

void TMain::FormCreate()
{
    // The program's files beside it, or where it was installed; the learners beside them or in the user's own
    // data folder.
    const QString executable = m_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_programFolder;
    m_flow.ProgramFolder = places::FilesFolder(executable);
    m_learner.ProgramFolder = places::LearnersFolder(executable, m_flow.ProgramFolder);
    OpenDialog1.InitialDir = m_flow.ProgramFolder + QStringLiteral("Dictees");
    ApplyVoiceSpeed();
    m_flow.LessonLines.clear();
    ScrollBitmap = QImage();
    HandOpacity = Scroller1->Position();
    KeyCentre.Fill();
    ResetSession();
    PaintBoxKey->Initialize();
    DXPaintBoxTexte->Initialize();
    DXPaintBoxTexte->Fill(colours::Black);
    PaintBoxKey->Fill(colours::Black);
    DrawKeyboardPicture(*PaintBoxKey, DXImageList1);
    PaintBoxKey->ReleaseCanvas();
    PaintBoxKey->Flip();
}

void TMain::FormKeyDown(std::uint16_t &Key, Qt::KeyboardModifiers)
{
    // Tab never moves the focus from one control to another.
    if (Key == 9)
        Key = 0;
}

void TMain::FormKeyPress(char &)
{
    // Characters reach the focused control unchanged.
}

void TMain::BoutonQuitterClick()
{
    KeepKeyFigures();
    // The main loop ends once the handler running now, and any wait it is in, has returned to it.
    End.Request();
}

void TMain::BoutonAideClick()
{
    showMinimized();
    m_dialogs.OpenHelp(ProgramFolder() + QStringLiteral("AIDE.HLP"), [main = QPointer<TMain>(this)] {
        if (main)
            main->ReturnFromHelp();
    });
}

void TMain::ReturnFromHelp()
{
    showNormal();
    raise();
    activateWindow();
    FocusEditText();
}

void TMain::WaitMilliseconds(double ms)
{
    ProcessMessagesFor(ms);
}

bool TMain::eventFilter(QObject *watched, QEvent *event)
{
    // After any click on one of the window's controls the keys go to the edit box again, also when the click
    // changed nothing (a spin box arrow at its limit runs no handler). Once the click has been handled.
    // A value typed in (the voice speed's own text) keeps the keys it was clicked for.
    if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->window() == this && watched != EditText) {
        const auto *editor = qobject_cast<const QLineEdit *>(watched);
        if (!editor || editor->isReadOnly())
            QTimer::singleShot(0, this, [this] { FocusEditText(); });
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QWidget::eventFilter(watched, event);
    auto *target = static_cast<QWidget *>(watched);
    if (target->window() != this)
        return QWidget::eventFilter(watched, event);
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    std::uint16_t key = VirtualKeyOf(*keyEvent);
    errorbox::Guarded(this, [&] { FormKeyDown(key, keyEvent->modifiers()); });
    if (key != 0)
        return false;
    // The key-down goes no further; its character, if any, still reaches the edit box.
    if (target == EditText)
        EditText->ReceiveCharacters(TEdit::CharactersOf(*keyEvent));
    return true;
}

void TMain::KeepKeyFigures()
{
    if (!m_learner.Keys.Empty())
        errorbox::Guarded(this, [&] { m_learner.SaveKeys(); });
}

void TMain::closeEvent(QCloseEvent *event)
{
    KeepKeyFigures();
    QWidget::closeEvent(event);
}

void TMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // The identification runs once per run, on the first activation; the dialogs it opens do not start it again.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_identified) {
        m_identified = true;
        errorbox::Guarded(this, [this] { FormActivate(); });
    }
}

void TMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    // The learner starts typing in this window: ask for it to be the active one even where no window manager
    // gives it the focus (the identification waits for that activation).
    activateWindow();
}

void TMain::FocusEditText()
{
    EditText->setFocus(Qt::OtherFocusReason);
}

// ---- The typing engine ----

bool TMain::SoundOn() const
{
    return BoutonSon->Tag() == 1;
}

bool TMain::PronunciationOn() const
{
    return BoutonPrononcer->Tag() == 1;
}

void TMain::EditTextKeyPress(char &Key)
{
    m_flow.KeyPressed(Key);
}

void TMain::TimerChronoTimer()
{
    m_flow.ChronoTick();
}

void TMain::ResetSession()
{
    m_flow.ResetSession();
}

void TMain::BoutonSonClick()
{
    BoutonSon->SetTag(BoutonSon->Tag() == 1 ? 0 : 1);
    FocusEditText();
}

void TMain::BoutonPrononcerClick()
{
    BoutonPrononcer->SetTag(BoutonPrononcer->Tag() == 1 ? 0 : 1);
    if (PronunciationOn())
        LoadKeyNames();
    FocusEditText();
}

void TMain::SpinEdit1Change()
{
    Timer1->SetInterval(ScrollInterval(SpinEdit1->value()));
    FocusEditText();
}

void TMain::SpinEdit2Change()
{
    ApplyVoiceSpeed();
    FocusEditText();
}

void TMain::LoadKeyNames()
{
    if (DXWaveList3.Count() > 0)
        return;
    const char *const words[] = {
        "Touche_a.wav",          "Touche_ag.wav",         "Touche_Aigu.wav",      "Touche_Apostrophe.wav",
        "Touche_b.wav",          "Touche_c.wav",          "Touche_cc.wav",        "Touche_Circ.wav",
        "Touche_d.wav",          "Touche_deuxPoints.wav", "Touche_e.wav",         "Touche_ea.wav",
        "Touche_ec.wav",         "Touche_eg.wav",         "Touche_Entree.wav",    "Touche_Espace.wav",
        "Touche_et.wav",         "Touche_f.wav",          "Touche_g.wav",         "Touche_Grave.wav",
        "Touche_Guillemets.wav", "Touche_h.wav",          "Touche_i.wav",         "Touche_j.wav",
        "Touche_k.wav",          "Touche_l.wav",          "Touche_m.wav",         "Touche_majuscule.wav",
        "Touche_n.wav",          "Touche_o.wav",          "Touche_p.wav",         "Touche_Point.wav",
        "Touche_PointExc.wav",   "Touche_PointInter.wav", "Touche_PointVirg.wav", "Touche_q.wav",
        "Touche_r.wav",          "Touche_s.wav",          "Touche_t.wav",         "Touche_Trema.wav",
        "Touche_u.wav",          "Touche_ug.wav",         "Touche_v.wav",         "Touche_Virgule.wav",
        "Touche_w.wav",          "Touche_x.wav",          "Touche_y.wav",         "Touche_z.wav"};
    for (const char *name : words)
        DXWaveList3.Add(QLatin1String(name), assets::Wave(QLatin1String(name)));
    ApplyVoiceSpeed();
}

void TMain::ApplyVoiceSpeed()
{
    const double factor = SpinEdit2->value() / 22050.0;
    for (int i = 0; i < DXWaveList3.Count(); ++i) {
        TDXWaveList::Item &word = DXWaveList3.Items(i);
        word.Frequency = SpinEdit2->value() == 22050 ? 0 : qRound(word.Wave.SamplesPerSec * factor);
    }
}

// ---- Lessons ----

void TMain::StartLesson(Practice mode)
{
    m_flow.StartLesson(mode);
    FocusEditText();
}

void TMain::BoutonFacileClick()
{
    StartLesson(Practice::Training);
}

void TMain::BoutonMoyenClick()
{
    StartLesson(Practice::Sentences);
}

void TMain::BoutonAutoClick()
{
    const std::string text = m_flow.StartDemonstration();
    BoutonSon->SetTag(0);
    FocusEditText();
    SendKeys(text, true);
}

void TMain::BoutonDifficileClick()
{
    m_flow.StartScrollingLesson();
    FocusEditText();
}

void TMain::StartScrolling()
{
    ScrollOffset = DXPaintBoxTexte->Surface().width();
    Timer1->SetInterval(ScrollInterval(SpinEdit1->value()));
    Timer1->SetEnabled(true);
}

void TMain::Dictesnumro11Click(int tag)
{
    m_flow.StartNumberedDictation(tag);
    FocusEditText();
}

void TMain::StartDictation(const QString &textPath, const QString &recordingPath)
{
    m_flow.StartDictation(textPath, recordingPath);
    FocusEditText();
}

void TMain::ReecouterDicteeClick()
{
    // Heard again from its beginning, never over itself.
    if (DXWaveList2.Count() > 0) {
        DXWaveList2.Items(0).Stop();
        DXWaveList2.Items(0).Play(false);
    }
    FocusEditText();
}

void TMain::OuvrirDicteeClick()
{
    const QString path = m_dialogs.ChooseFile(this, OpenDialog1, QStringLiteral("Ouvrir une dictée"));
    if (!path.isEmpty())
        m_flow.StartOwnDictation(path);
    FocusEditText();
}

void TMain::BoutonJeuClick()
{
    // The lesson waits while the learner plays: its time, its chronometer and its scrolling stop, then go on.
    const int chrono = TimerChrono->Interval();
    const bool scrolling = Timer1->Enabled();
    TimerChrono->SetInterval(0);
    Timer1->SetEnabled(false);
    m_flow.PauseTime();
    const std::int64_t best = m_learner.BestScore();
    std::int64_t newBest = best;
    {
        TJeu game(
            this, [this](Cue cue) { PlayCue(cue); }, best);
        game.ShowModal();
        newBest = game.BestScore();
    }
    m_flow.ResumeTime();
    TimerChrono->SetInterval(chrono);
    Timer1->SetEnabled(scrolling);
    FocusEditText();
    m_learner.KeepBestScore(best, newBest);
}

void TMain::BoutonParcoursClick()
{
    TParcours window(this, m_learner.Progress, DXImageList1, KeyCentre);
    m_dialogs.ShowModal(window);
    if (window.Chosen() != 0)
        StartCourseLesson(window.Chosen());
    FocusEditText();
}

namespace {

// How many of the learner's weakest keys a course attempt favours.
constexpr std::size_t WeakKeysWoven = 3;

} // namespace

void TMain::StartCourseLesson(int lesson)
{
    // The learner's three weakest keys among the lesson's come back in every line.
    const course::Lesson &chosen = course::LessonNumber(lesson);
    std::string weak;
    for (const char ch : m_learner.Keys.Weakest(256))
        if (ch != ' ' && chosen.Allows(static_cast<unsigned char>(ch)) && weak.size() < WeakKeysWoven)
            weak += ch;
    m_flow.StartCourseLesson(lesson, course::MakeAttempt(chosen, CourseMaterial(), m_entropy(), weak));
    FocusEditText();
}

void TMain::BoutonTouchesClick()
{
    TTouches window(this, m_learner.Keys, DXImageList1, KeyCentre);
    m_dialogs.ShowModal(window);
    if (window.DrillChosen())
        StartDrill();
    FocusEditText();
}

void TMain::StartDrill()
{
    const std::string weak = courserules::WeakKeysToDrill(m_learner.Keys);
    if (weak.empty())
        return;
    m_flow.StartDrill(course::MakeDrill(weak, courserules::MetKeys(m_learner.Progress, m_learner.Keys),
                                        CourseMaterial(), m_entropy()));
    FocusEditText();
}

// ---- Keyboard guide and target line ----

KeyboardGuide &TMain::Guide()
{
    if (!m_keyboardGuide)
        m_keyboardGuide = std::make_unique<KeyboardGuide>(*PaintBoxKey, DXImageList1, KeyCentre);
    return *m_keyboardGuide;
}

TargetLine &TMain::Line()
{
    if (!m_targetLine)
        m_targetLine = std::make_unique<TargetLine>(*DXPaintBoxTexte);
    return *m_targetLine;
}

void TMain::DrawKeyboardGuide(unsigned char ch)
{
    Guide().Draw(ch, HandOpacity);
    const std::string key = keymap::KeyDescription(ch);
    PaintBoxKey->setAccessibleDescription(
        key.empty() ? QString() : QStringLiteral("Prochaine touche : ") + QString::fromStdString(key));
}

void TMain::DescribeTargetLine(const std::string &shown)
{
    DXPaintBoxTexte->setAccessibleDescription(cp1252::ToUnicode(shown));
}

void TMain::DrawKeyMarker(unsigned char code)
{
    ::DrawKeyMarker(*PaintBoxKey, KeyCentre, code);
}

void TMain::DrawKeyOutline(unsigned char ch)
{
    ::DrawKeyOutline(*PaintBoxKey, KeyCentre, ch);
}

void TMain::DrawTargetLine(const std::string &typed, const std::string &target)
{
    Line().Draw(typed, target);
}

void TMain::Scroller1Click()
{
    HandOpacity = Scroller1->Position();
    if (Session().TargetText.empty())
        PaintBoxKey->Flip();
    else
        ShowGuide(GuideCharacter());
}

void TMain::Timer1Timer(int)
{
    if (ScrollTargetLine(*DXPaintBoxTexte, ScrollBitmap, ScrollOffset, Timer1->Interval(), Session().TargetText))
        return;
    Timer1->SetEnabled(false);
    // The text has gone by before the learner has finished it: it comes in again from the right.
    if (m_flow.ScrollsAgain())
        StartScrolling();
}

// ---- Sound and results ----

void TMain::PlayCue(Cue cue)
{
    if (SoundOn())
        DXWaveList1.Items(static_cast<int>(cue)).Play(false);
}

void TMain::PronounceCharacter(unsigned char ch)
{
    LoadKeyNames();
    keynames::Pronounce(DXWaveList3, ch);
}

void TMain::RecordResult(long double speed, long double success)
{
    TStatistiques &window = Statistics();
    const long long shownSpeed = RoundHalfEven(speed);
    window.Series1->SetLineWidth(1);
    window.LabelVitesse->SetCaption(QStringLiteral("Nombre de caractere par minute : %1").arg(shownSpeed));
    window.LabelPF->SetCaption(QStringLiteral("Pourcentage de réussite : %1%").arg(RoundHalfEven(success)));
    window.Series2->AddY(static_cast<double>(success), QString(), colours::Blue);
    window.Series1->AddY(static_cast<double>(shownSpeed), QString(), colours::Red);
    window.Repaint();
    SaveHistory();
    // The key figures follow the history, which says first what fails with the folder; figures that cannot be
    // saved are said in the error box, stay counted and go with the next save.
    errorbox::Guarded(this, [&] { m_learner.SaveKeys(); });
    window.ShowModal();
}

void TMain::SaveHistory()
{
    m_learner.SaveHistory(Statistics());
}

void TMain::FormActivate()
{
    TStatistiques &window = Statistics();
    // Only the keys a lesson counts may have figures: the others would never be brought up to date.
    if (!m_learner.Identify(window, course::LessonCount(), keymap::HasKey)) {
        End.Request();
        LabelUser->SetCaption(UserName());
        return;
    }
    window.Repaint();
    window.ShowModal();
    LabelUser->SetCaption(UserName());
}

// ---- The view of the lesson flow ----

void TMain::ClearLessonDisplay()
{
    LabelCorrect->SetCaption(QStringLiteral("0"));
    LabelErreur->SetCaption(QStringLiteral("0"));
    LabelChrono->SetCaption(QStringLiteral("0"));
    EditText->clear();
    Timer1->SetEnabled(false);
    DXPaintBoxTexte->Fill(colours::Black);
    DescribeTargetLine(std::string());
    DXWaveList2.Clear();
}

void TMain::BlankTargetLine()
{
    DXPaintBoxTexte->Fill(colours::Black);
    DXPaintBoxTexte->ReleaseCanvas();
    DXPaintBoxTexte->Flip();
}

void TMain::ShowLessonLine(const std::string &text)
{
    Line().DrawFirstLine(text);
    DescribeTargetLine(text);
}

void TMain::ShowTypedLine(const std::string &typed, const std::string &target)
{
    DrawTargetLine(typed, target);
}

void TMain::ShowHiddenLine(const std::string &message)
{
    DrawHiddenLine(*DXPaintBoxTexte, message);
    DescribeTargetLine(message);
}

void TMain::StartScrollingLine(const std::string &text)
{
    ScrollBitmap = ScrollTextPicture(*DXPaintBoxTexte, text);
    DXPaintBoxTexte->Flip();
    DescribeTargetLine(text);
    StartScrolling();
}

void TMain::StopScrolling()
{
    Timer1->SetEnabled(false);
}

void TMain::ShowGuide(unsigned char ch)
{
    DrawKeyboardGuide(ch);
    Guide().Present();
}

void TMain::ShowCounters(int correct, int errors)
{
    LabelCorrect->SetCaption(QString::number(correct));
    LabelErreur->SetCaption(QString::number(errors));
}

void TMain::ShowChrono(int ticks)
{
    LabelChrono->SetCaption(QString::number(ticks));
}

bool TMain::ChronoRunning() const
{
    return TimerChrono->Interval() != 0;
}

void TMain::StartChrono()
{
    TimerChrono->SetInterval(ChronoInterval);
}

void TMain::StopChrono()
{
    TimerChrono->SetInterval(0);
}

void TMain::SpeakKey(unsigned char ch)
{
    if (PronunciationOn())
        PronounceCharacter(ch);
}

void TMain::PlayRecording(const QString &name, const PcmWave &recording)
{
    DXWaveList2.Add(name, recording);
    DXWaveList2.Items(0).Play(false);
}

void TMain::OfferRecordingAgain(bool offered)
{
    ReecouterDictee1->setEnabled(offered);
}

void TMain::ShowNextLine(const std::string &text)
{
    EditText->clear();
    ShowLessonLine(text);
}

void TMain::RecordCourseResult(int lesson, long double speed, long double success)
{
    // A progress file that cannot be saved is said in the error box; the result still goes to the history.
    errorbox::Guarded(
        this, [&] { m_learner.RecordCourseAttempt(lesson, static_cast<double>(speed), static_cast<double>(success)); });
}

TStatistiques &TMain::Statistics() const
{
    if (!Statistiques)
        throw std::logic_error("the statistics window is created before the main window is activated");
    return *Statistiques;
}

bool TMain::SendKeys(const std::string &text, bool wait)
{
    return keysend::SendKeys(text, wait, Keyboard, End, [this](double ms) { WaitMilliseconds(ms); });
}
