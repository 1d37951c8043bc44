#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <QImage>
#include <QMenu>
#include <QWidget>

#include "audio/TDXWaveList.h"
#include "course/Course.h"
#include "flow/LessonFlow.h"
#include "guide/HomeRowHands.h"
#include "guide/KeyMap.h"
#include "guide/LayoutKeys.h"
#include "learner/Learner.h"
#include "platform/controls/ProgramEnd.h"
#include "platform/dialogs/TOpenDialog.h"
#include "platform/dialogs/UserDialogs.h"
#include "platform/drawing/TDXImageList.h"
#include "platform/input/Keyboard.h"
#include "platform/sound/TDXSound.h"
#include "windows/DialogNotices.h"
#include "windows/MainLessonView.h"

class Announcement;
class TBitBtn;
class TDXDraw;
class TDXTimer;
class TEdit;
class TImage;
class TLabel;
class TRxGIFAnimator;
class TRxSpeedButton;
class TScroller;
class TShape;
class TSpinEdit;
class TStatistiques;
class TTimer;

// The main window: the target line, the edit box in which the learner types, the keyboard guide, the counters,
// the chronometer and the two rows of buttons. It builds the controls and hands what the learner does to the
// lesson flow, which owns the running lesson; its view (MainLessonView) shows on these controls and plays what the
// flow says, and the learner's records keep each result.
class TMain : public QWidget
{
    Q_OBJECT
public:
    // The program folder is the executable's folder; tests may name another one. It ends with "/".
    explicit TMain(const QString &programFolder = QString(), UserDialogs &dialogs = ScreenDialogs::Instance());
    // The window alone, without its controls and state, which Build() adds: the start-up builds it while the
    // splash is already on screen, so that the learner sees the program's first window sooner.
    struct Unbuilt {};
    explicit TMain(Unbuilt, const QString &programFolder = QString(), UserDialogs &dialogs = ScreenDialogs::Instance());
    ~TMain() override;

    // Creates the controls and initialises the window's state (FormCreate), once.
    void Build();
    bool Built() const { return m_built; }

    // Controls, in creation order.
    // The window's background picture.
    TImage *Image1 = nullptr;
    // The program's animated copper title.
    TRxGIFAnimator *RxGIFAnimator1 = nullptr;
    TLabel *LabelChrono = nullptr;
    TLabel *LabelCorrect = nullptr;
    TLabel *LabelErreur = nullptr;
    // The hummingbird flapping beside the title.
    TRxGIFAnimator *RxGIFAnimator2 = nullptr;
    TRxSpeedButton *BoutonDicteesVocales = nullptr;
    TLabel *LabelUser = nullptr;
    // The light-green line between the title and the learner's name.
    TShape *Shape1 = nullptr;
    TDXDraw *PaintBoxKey = nullptr;
    // The opacity of the hands drawn over the keyboard guide.
    TScroller *Scroller1 = nullptr;
    TBitBtn *BoutonFacile = nullptr;
    TBitBtn *BoutonMoyen = nullptr;
    TBitBtn *BoutonDifficile = nullptr;
    TBitBtn *BoutonQuitter = nullptr;
    TBitBtn *BoutonAide = nullptr;
    TBitBtn *BoutonJeu = nullptr;
    TBitBtn *BoutonSon = nullptr;
    TEdit *EditText = nullptr;
    // The scrolling text's speed, 1 to 7.
    TSpinEdit *SpinEdit1 = nullptr;
    TDXDraw *DXPaintBoxTexte = nullptr;
    TBitBtn *BoutonAuto = nullptr;
    // The key names' playback rate in Hz; 22050 plays them as recorded.
    TSpinEdit *SpinEdit2 = nullptr;
    TBitBtn *BoutonPrononcer = nullptr;
    // Opens the course window.
    TBitBtn *BoutonParcours = nullptr;
    // Opens the learner's key figures, "Mes touches".
    TBitBtn *BoutonTouches = nullptr;
    // Opens the learner's own texts, "Mon texte".
    TBitBtn *BoutonMonTexte = nullptr;
    // The keyboard picture, and the hands and fingers drawn over it.
    TDXImageList DXImageList1;
    // The three cues, in the order of Cue: correct key, wrong key, lesson finished.
    TDXWaveList DXWaveList1{&DXSound1};
    // The sound output that the three wave lists play on.
    TDXSound DXSound1;
    // The chronometer's tick, counted in LabelChrono while a lesson is timed.
    TTimer *TimerChrono = nullptr;
    // Chooses one of the learner's own dictations.
    TOpenDialog OpenDialog1;
    // The scrolling text's step, at the interval SpinEdit1's speed gives.
    TDXTimer *Timer1 = nullptr;
    // An empty menu: a right click in the edit box or the scroll-speed box opens nothing.
    QMenu *PopupMenu1 = nullptr;
    // The running dictation's recording, if it has one; empty otherwise.
    TDXWaveList DXWaveList2{&DXSound1};
    // The voice dictations' menu, opened by BoutonDicteesVocales.
    QMenu *PopupMenu2 = nullptr;
    // Below the ten dictations: hear the dictation again, open one of the learner's own.
    QAction *ReecouterDictee1 = nullptr;
    QAction *OuvrirDictee1 = nullptr;
    // What happens during a lesson, said to a screen reader user whatever has the keys.
    Announcement *Annonce = nullptr;
    // Where the learner stands in a lesson of several lines, or that the lesson is paused; hidden otherwise.
    TLabel *LabelProgression = nullptr;
    // The key names, one recorded word each ("Touche_a.wav"), played at SpinEdit2's rate; empty until LoadKeyNames.
    TDXWaveList DXWaveList3{&DXSound1};

    // The scrolling line's picture and where its left edge stands on the line; the hands' opacity.
    QImage ScrollBitmap;
    int ScrollOffset = 0;
    int HandOpacity = 255;
    // Where each character's key lies on the keyboard surface; filled once by FormCreate.
    keymap::KeyCentres KeyCentre;
    // The learner's keyboard from now on: its picture, its keys' places (KeyCentre), the guide's keys and fingers,
    // the characters their texts keep, then the guide drawn again.
    void UseKeyboard(layouts::Layout layout);

    // The lesson and the learner as they are now, for what shows them. The flow and the learner own them.
    const TypingSession &Session() const { return m_flow.Session; }
    const std::vector<std::string> &LessonLines() const { return m_flow.LessonLines; }
    const QString &ProgramFolder() const { return m_flow.ProgramFolder; }
    const QString &UserName() const { return m_learner.UserName; }
    const ::HistoryBlock &HistoryBlock() const { return m_learner.HistoryBlock; }
    // The steady clock the lesson's time is read from, in milliseconds; a test may set its own.
    void SetClock(std::function<std::int64_t()> clock) { m_flow.SteadyMilliseconds = std::move(clock); }
    // The statistics window, made with the controls.
    TStatistiques &Statistiques() const;
    // The keys the demonstration types, on their way to the focused control.
    KeyboardStream Keyboard;
    // Asked for by "Quitter" and by an identification that cannot go on.
    ProgramEnd End;

    // Window-wide handlers.
    void FormKeyDown(std::uint16_t &Key, Qt::KeyboardModifiers Shift);
    void BoutonQuitterClick();
    void BoutonAideClick();
    // F5 and the Pause key pause the running lesson, and resume it.
    void PauseKeyDown();
    // The keys go to the edit box again, and to this window if another of the program's had them.
    void FocusEditText();
    // Runs the window's events for ms milliseconds; handlers run nested inside.
    void WaitMilliseconds(double ms);

    // The typing engine.
    void EditTextKeyPress(char &Key);
    void TimerChronoTimer();
    void BoutonSonClick();
    void BoutonPrononcerClick();
    void SpinEdit1Change();
    void SpinEdit2Change();

    // Lessons.
    void StartLesson(Practice mode);
    void BoutonFacileClick();
    void BoutonMoyenClick();
    void BoutonAutoClick();
    // The scrolling text: the lesson enters from the right edge of the line and passes at the spin box's speed;
    // when it has gone by before the end of the lesson it comes in again.
    void BoutonDifficileClick();
    // Voice dictations: the text is hidden and read aloud; the learner types what is heard. A text without a
    // recording beside it is shown as a sentence.
    void Dictesnumro11Click(int tag);
    void ReecouterDicteeClick();
    void OuvrirDicteeClick();
    // The falling-words game, in a window of its own.
    void BoutonJeuClick();
    // The course: its window, then the chosen lesson with lines made for this attempt.
    void BoutonParcoursClick();
    void StartCourseLesson(int lesson);
    // The course on the learner's keyboard.
    const std::vector<course::Lesson> &CourseLessons();
    // The result of a course lesson or a drill, and what the learner chooses to do next, once the key that ended
    // the lesson has been handled.
    void ShowLessonResult(const LessonResult &result);
    // The learner's key figures: their window, then, if asked for, a drill on the weakest keys.
    void BoutonTouchesClick();
    void StartDrill();
    // The learner's own texts: their window, then, if one is chosen, a session of it.
    void BoutonMonTexteClick();
    // A session of the learner's own text (its file among their texts): SessionLines lines from `from`, or from where
    // the last session ended; a text typed to its end starts again from its beginning.
    void StartOwnText(const std::string &file, std::optional<std::size_t> from = std::nullopt);
    // Whether the learner's keyboard types a character, for the texts they bring.
    bool TypesOnKeyboard(char32_t character) const;
    // A line of a lesson file or a dictation (Windows-1252) made typeable on the learner's keyboard as their own
    // texts are; a line it types whole stands as it is.
    std::string TypeableLine(const std::string &line) const;

    // Keyboard guide and target line. The guide shows the flow's GuideCharacter().
    unsigned char GuideCharacter() const { return m_flow.GuideCharacter(); }
    void DrawKeyboardGuide(unsigned char ch);
    void Scroller1Click();
    void Timer1Timer(int lagCount);

    // Sound. Cues and key names play when their switch is on.
    // The key names go to DXWaveList3 the first time pronunciation is switched on or a key is pronounced: a
    // learner who never hears them never pays for them.
    void LoadKeyNames();
    // The learner's folder: beside the program's files, or in the user's data folder for an installed program.
    QString UserFolder() const { return m_learner.Folder(); }
    QString HistoryPath() const { return m_learner.HistoryPath(); }
    // The learner's records, for what the windows read and add to them (their own texts).
    ::Learner &LearnerRecords() { return m_learner; }

    // Types a text into the focused control, one character every 100 ms.
    bool SendKeys(const std::string &text, bool wait);

    bool SoundOn() const;
    bool PronunciationOn() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Closed by the window manager rather than by "Quitter": the key figures are kept all the same.
    void closeEvent(QCloseEvent *event) override;

private:
    // The window's state once its controls are built.
    void FormCreate();
    // The learner's identification, on the window's first activation.
    void FormActivate();
    // The keys of a lesson left unfinished are kept when the learner leaves.
    void KeepKeyFigures();
    // The key names play at SpinEdit2's value over 22050 of their recorded rate.
    void ApplyVoiceSpeed();
    // The help has gone: the window comes back, active, ready for typing.
    void ReturnFromHelp();

    QString m_programFolder;
    UserDialogs &m_dialogs;
    // The learner's records: the name typed at the prompt, their folder and its lock, their results and files.
    // What they ask and tell goes through this window's dialogs.
    DialogNotices m_notices;
    // The guide's keys of the learner's keyboard; none for the French AZERTY, whose tables are the key map's own.
    std::unique_ptr<keymap::LayoutKeys> m_layoutKeys;
    // The course on that keyboard; empty until it is first needed.
    std::vector<course::Lesson> m_courseLessons;
    // The letters on the small hands of the background: the learner's keyboard's.
    homerow::HandLetters m_handLetters;
    ::Learner m_learner{m_notices};
    // The lesson, apart from the window: it tells its view what to show and play, and hands each result to the
    // learner's records.
    MainLessonView m_view{*this, m_learner};
    LessonFlow m_flow{m_view, m_learner};
    std::unique_ptr<TStatistiques> m_statistics;
    // Seeds every course attempt and drill, so that each has lines of its own.
    std::random_device m_entropy;
    bool m_built = false;
    bool m_identified = false;
    bool m_centred = false;
};
