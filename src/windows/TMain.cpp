#include "windows/TMain.h"

#include <algorithm>
#include <exception>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>

#include "assets/AssetNames.h"
#include "assets/EmbeddedAssets.h"
#include "audio/KeyNameRecordings.h"
#include "course/Course.h"
#include "course/CourseText.h"
#include "course/Drill.h"
#include "game/TJeu.h"
#include "guide/KeyboardGuide.h"
#include "guide/TargetLine.h"
#include "keysend/SystemKeyPlatform.h"
#include "owntext/OwnText.h"
#include "platform/controls/MessageWait.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TDXTimer.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TScroller.h"
#include "platform/controls/TSpinEdit.h"
#include "platform/controls/TTimer.h"
#include "platform/dialogs/ErrorBox.h"
#include "platform/drawing/Colour.h"
#include "platform/drawing/Fonts.h"
#include "platform/drawing/TDXDraw.h"
#include "platform/input/DesktopKeyboard.h"
#include "platform/input/KeyboardLayout.h"
#include "platform/text/Cp1252.h"
#include "platform/text/ProgramPlaces.h"
#include "platform/text/TutorError.h"
#include "records/CourseRules.h"
#include "windows/CourseMaterial.h"
#include "windows/KeyboardTyping.h"
#include "windows/MainLayout.h"
#include "windows/TMonTexte.h"
#include "windows/TParcours.h"
#include "windows/TResultat.h"
#include "windows/TStatistiques.h"
#include "windows/TTouches.h"

TMain::TMain(const QString &programFolder, UserDialogs &dialogs) : TMain(Unbuilt{}, programFolder, dialogs)
{
    Build();
}

TMain::TMain(Unbuilt, const QString &programFolder, UserDialogs &dialogs)
    : QWidget(nullptr), OpenDialog1(QStringLiteral("Dictées vocales Tapotis2002|*.txt"), QStringLiteral("*.txt")),
      m_programFolder(programFolder), m_dialogs(dialogs), m_notices(dialogs, this)
{
    UserDialogs::Attach(this, dialogs);
    m_flow.Keys = &m_learner.Keys;
    m_flow.TypeableLine = [this](const std::string &line) { return TypeableLine(line); };
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Tapotis2002"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(800, 600);
    setFont(DesignFont(QStringLiteral("MS Sans Serif"), 11));
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
    mainlayout::Build(*this);
    // Key preview: the window sees every key-down before the focused control.
    qApp->installEventFilter(this);
    FormCreate();
    m_statistics = std::make_unique<TStatistiques>(this);
}

TMain::~TMain()
{
    qApp->removeEventFilter(this);
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
    m_flow.ResetSession();
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
    // F5 and Pause, wherever the keys are in the window.
    if (Key == keyboard::VirtualKeyF5 || Key == keyboard::VirtualKeyPause) {
        Key = 0;
        PauseKeyDown();
    }
}

void TMain::PauseKeyDown()
{
    m_flow.TogglePause();
    FocusEditText();
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
    // A spin box reached by its keys gives them back to the edit box on Return or Escape.
    const bool back =
        keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter || keyEvent->key() == Qt::Key_Escape;
    const auto within = [target](QWidget *box) { return target == box || box->isAncestorOf(target); };
    if (back && (within(SpinEdit1) || within(SpinEdit2))) {
        FocusEditText();
        return true;
    }
    std::uint16_t key = keyboard::VirtualKeyOf(*keyEvent);
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
    // Left for another program, or minimised, the lesson waits; the program's own windows keep their own rules.
    const bool leftForAnother =
        event->type() == QEvent::ActivationChange && !isActiveWindow() && !QApplication::activeWindow();
    if (m_built && (leftForAnother || (event->type() == QEvent::WindowStateChange && isMinimized())))
        m_flow.Pause();
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
    // A window of the program's own has just closed: without a window manager to give the keys back (or with one
    // that gives them elsewhere), a learner without a mouse could not go on.
    if (isVisible() && !isActiveWindow())
        activateWindow();
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
    Timer1->SetInterval(MainLessonView::ScrollInterval(SpinEdit1->value()));
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
    for (const keynames::Recording &word : keynames::Recordings)
        DXWaveList3.Add(QLatin1String(word.Item), assets::Wave(QLatin1String(word.Item)));
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

void TMain::Dictesnumro11Click(int tag)
{
    m_flow.StartNumberedDictation(tag);
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
            this, [this](Cue cue) { m_view.PlayCue(cue); }, best);
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
    TParcours window(this, m_learner.Progress, m_learner.Attempts, DXImageList1, KeyCentre, CourseLessons(),
                     {m_learner.Keyboard, [this](layouts::Layout layout) {
                          // The lesson on the line is the keyboard left's: it ends before the new one takes over.
                          if (m_flow.EndLesson())
                              m_view.Announce(QStringLiteral("Clavier changé : la leçon en cours est arrêtée, sans "
                                                             "être enregistrée."));
                          // Taken up even when the choice could not be saved: the learner is told, and types on it.
                          const auto takeUp = qScopeGuard([this] { UseKeyboard(m_learner.Keyboard); });
                          m_learner.ChooseKeyboard(layout);
                      }});
    m_dialogs.ShowModal(window);
    if (window.Chosen() != 0)
        StartCourseLesson(window.Chosen());
    FocusEditText();
}

const std::vector<course::Lesson> &TMain::CourseLessons()
{
    // The course window keeps this very list while the learner changes keyboards there.
    if (m_courseLessons.empty())
        m_courseLessons = course::Lessons();
    return m_courseLessons;
}

void TMain::StartCourseLesson(int lesson)
{
    const std::vector<course::Lesson> &lessons = CourseLessons();
    if (lesson < 1 || lesson > static_cast<int>(lessons.size()))
        throw TutorError(QStringLiteral("Le parcours n'a pas de leçon %1").arg(lesson));
    const course::Lesson &definition = lessons[static_cast<std::size_t>(lesson - 1)];
    LessonGoal goal{"Leçon " + std::to_string(lesson) + " : " + definition.Title, definition.GoalSpeed,
                    static_cast<int>(course::GoalSuccess)};
    m_flow.StartCourseLesson(lesson,
                             course::MakeAttempt(definition, CourseMaterial(m_learner.Keyboard), m_entropy(),
                                                 courserules::WeakKeysOfLesson(m_learner.Keys, lesson, lessons)),
                             std::move(goal));
    FocusEditText();
}

void TMain::ShowLessonResult(const LessonResult &result)
{
    TResultat window(this, result, !courserules::WeakKeysToDrill(m_learner.Keys).empty());
    m_dialogs.ShowModal(window);
    FocusEditText();
    const TResultat::Choice choice = window.Chosen();
    if (choice == TResultat::Choice::Close)
        return;
    // Started after the key that ended the lesson has gone to the edit box: it must not land in the new lesson.
    const int lesson = result.CourseLesson;
    const OwnTextPlace ownText = result.OwnText;
    QTimer::singleShot(0, this, [this, choice, lesson, ownText] {
        errorbox::Guarded(this, [&] {
            // A session of the learner's text goes on with the text's next lines, or the same ones again.
            if (ownText.Set() && choice != TResultat::Choice::Drill) {
                StartOwnText(ownText.Text,
                             choice == TResultat::Choice::Again ? std::optional(ownText.First) : std::nullopt);
                return;
            }
            switch (choice) {
            case TResultat::Choice::NextLesson:
                // After a drill, or the last lesson, the course goes on where it stands.
                StartCourseLesson(lesson == 0 || lesson == course::LessonCount()
                                      ? courserules::NextLesson(m_learner.Progress)
                                      : lesson + 1);
                break;
            case TResultat::Choice::Again:
                if (lesson == 0)
                    StartDrill();
                else
                    StartCourseLesson(lesson);
                break;
            case TResultat::Choice::Drill: StartDrill(); break;
            case TResultat::Choice::Close: break;
            }
        });
    });
}

void TMain::BoutonTouchesClick()
{
    TTouches window(this, m_learner.Keys, DXImageList1, KeyCentre, m_layoutKeys.get());
    m_dialogs.ShowModal(window);
    if (window.DrillChosen())
        StartDrill();
    FocusEditText();
}

void TMain::BoutonMonTexteClick()
{
    TMonTexte window(this, m_learner, keyboardtyping::TypesOnSomeKeyboard,
                     [this](char32_t character) { return TypesOnKeyboard(character); });
    m_dialogs.ShowModal(window);
    FocusEditText();
    if (!window.Chosen().empty())
        StartOwnText(window.Chosen());
}

void TMain::StartDrill()
{
    const std::string weak = courserules::WeakKeysToDrill(m_learner.Keys);
    if (weak.empty())
        return;
    // A drill aims at the goals of the lesson the learner is at.
    LessonGoal goal{"Entraînement ciblé", course::LessonNumber(courserules::NextLesson(m_learner.Progress)).GoalSpeed,
                    static_cast<int>(course::GoalSuccess)};
    m_flow.StartDrill(course::MakeDrill(weak, courserules::MetKeys(m_learner.Progress, m_learner.Keys, CourseLessons()),
                                        CourseMaterial(m_learner.Keyboard), m_entropy()),
                      std::move(goal));
    FocusEditText();
}

bool TMain::TypesOnKeyboard(char32_t character) const
{
    return keyboardtyping::Types(m_learner.Keyboard, character);
}

std::string TMain::TypeableLine(const std::string &line) const
{
    return keyboardtyping::TypeableLine(m_learner.Keyboard, line);
}

void TMain::UseKeyboard(layouts::Layout layout)
{
    if (layout == layouts::Layout::FrenchAzerty) {
        m_layoutKeys.reset();
        KeyCentre.Fill();
        m_courseLessons = course::Lessons();
    } else {
        const layouts::TypingTable &table = layouts::TableOf(layout);
        m_layoutKeys = std::make_unique<keymap::LayoutKeys>(table);
        KeyCentre.Fill(*m_layoutKeys);
        m_courseLessons = course::LessonsFor(layout);
    }
    const QLatin1String picture(assets::names::KeyboardPictures[static_cast<std::size_t>(layout)]);
    if (DXImageList1.Items(KeyboardPictureIndex).Name != picture)
        DXImageList1.Replace(KeyboardPictureIndex, picture, assets::Bitmap(picture));
    QImage background = Image1->Picture();
    m_handLetters.Show(background, layout);
    Image1->SetPicture(background);
    m_view.UseKeyboard(m_layoutKeys.get());
    if (m_layoutKeys)
        m_flow.HasKey = [keys = m_layoutKeys.get()](unsigned char ch) {
            return !(keys->Of(ch).Centre == keymap::NoKey);
        };
    else
        m_flow.HasKey = nullptr;
    m_view.ShowGuide(GuideCharacter());
}

void TMain::StartOwnText(const std::string &file, std::optional<std::size_t> from)
{
    const OwnTexts::Entry *entry = m_learner.Texts.Find(file);
    if (!entry)
        return;
    // The text is kept as any keyboard may type it: each session's lines are made typeable on the learner's
    // keyboard of the moment, line by line, so that the place in the text is the same on every keyboard.
    const std::vector<std::string> lines = m_learner.TextLines(file);
    const auto typeable = [this](char32_t character) { return TypesOnKeyboard(character); };
    const std::size_t first = std::min(from.value_or(entry->Position), lines.size());
    owntext::Passage passage = owntext::TypeablePassage(lines, first, OwnTexts::SessionLines, typeable);
    QString restart;
    if (passage.Lines.empty() && first > 0) {
        restart = first == lines.size()
                      ? QStringLiteral("Vous étiez arrivé à la fin de ce texte : il reprend au début.")
                      : QStringLiteral("La suite de ce texte n'a rien que votre clavier puisse taper : il reprend "
                                       "au début.");
        passage = owntext::TypeablePassage(lines, 0, OwnTexts::SessionLines, typeable);
    }
    if (passage.Lines.empty())
        throw TutorError(QStringLiteral("Ce texte n'a rien que votre clavier puisse taper"));
    std::vector<std::string> session;
    for (const std::string &line : passage.Lines)
        session.push_back(cp1252::FromUnicodeText(QString::fromStdString(line)));
    // The progress line keeps the title short; a session aims at the goals of the lesson the learner is at.
    QString title = QString::fromStdString(entry->Title);
    if (title.size() > 32)
        title = title.left(31).trimmed() + QStringLiteral("…");
    LessonGoal goal{QStringLiteral("Mon texte : %1").arg(title).toStdString(),
                    course::LessonNumber(courserules::NextLesson(m_learner.Progress)).GoalSpeed,
                    static_cast<int>(course::GoalSuccess)};
    m_flow.StartOwnText(std::move(session), std::move(goal),
                        OwnTextPlace{file, passage.First, passage.End, lines.size()});
    if (!restart.isEmpty())
        m_view.Announce(restart);
    FocusEditText();
}

// ---- Keyboard guide and target line ----

void TMain::DrawKeyboardGuide(unsigned char ch)
{
    m_view.DrawKeyboardGuide(ch);
}

void TMain::Scroller1Click()
{
    HandOpacity = Scroller1->Position();
    if (Session().TargetText.empty())
        PaintBoxKey->Flip();
    else
        m_view.ShowGuide(GuideCharacter());
}

void TMain::Timer1Timer(int)
{
    if (ScrollTargetLine(*DXPaintBoxTexte, ScrollBitmap, ScrollOffset, Timer1->Interval(), Session().TargetText))
        return;
    Timer1->SetEnabled(false);
    // The text has gone by before the learner has finished it: it comes in again from the right.
    if (m_flow.ScrollsAgain())
        m_view.StartScrolling();
}

void TMain::FormActivate()
{
    // A new learner types on the desktop's keyboard until they choose another.
    if (const auto names = desktopkeyboard::Names()) {
        m_learner.DesktopKeyboard = layouts::FromDesktopNames(names->first, names->second);
        m_learner.DesktopName = QString::fromStdString(layouts::NamesText(names->first, names->second));
    }
    // Only the keys a lesson counts may have figures: the others would never be brought up to date. A history that
    // cannot be read is told once the learner's keyboard is taken up.
    bool identified = false;
    std::exception_ptr unreadHistory;
    try {
        identified = m_learner.Identify(course::LessonCount(), keymap::HasKey);
    } catch (const TutorError &) {
        if (UserName().isEmpty())
            throw;
        identified = true;
        unreadHistory = std::current_exception();
    }
    if (!identified) {
        End.Request();
        LabelUser->SetCaption(UserName());
        return;
    }
    if (m_learner.Keyboard != layouts::Layout::FrenchAzerty)
        UseKeyboard(m_learner.Keyboard);
    // Said once a run, before any lesson: what the learner types may not be what the course expects.
    if (const std::optional<QString> notice = m_learner.KeyboardNotice())
        m_notices.ShowMessage(QStringLiteral("Avertissement"), *notice, true);
    if (unreadHistory)
        std::rethrow_exception(unreadHistory);
    Statistiques().Draw(m_learner.Results, m_learner.ResultsRead);
    Statistiques().ShowModal();
    LabelUser->SetCaption(UserName());
    FocusEditText();
}

TStatistiques &TMain::Statistiques() const
{
    return *m_statistics;
}

bool TMain::SendKeys(const std::string &text, bool wait)
{
    return keysend::SendKeys(text, wait, Keyboard, End, [this](double ms) { WaitMilliseconds(ms); });
}
