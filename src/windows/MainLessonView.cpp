#include "windows/MainLessonView.h"

#include <QAction>

#include "audio/KeyNames.h"
#include "guide/KeyDescription.h"
#include "guide/KeyboardGuide.h"
#include "guide/TargetLine.h"
#include "learner/Learner.h"
#include "lesson/TypingSession.h"
#include "platform/controls/TDXTimer.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TSpinEdit.h"
#include "platform/controls/TTimer.h"
#include "platform/drawing/Colour.h"
#include "platform/drawing/TDXDraw.h"
#include "platform/text/Cp1252.h"
#include "windows/Announcement.h"
#include "windows/TMain.h"
#include "windows/TStatistiques.h"

namespace {

constexpr int ChronoInterval = 33;

} // namespace

MainLessonView::MainLessonView(TMain &main, const Learner &learner) : m_main(main), m_learner(learner)
{
}

MainLessonView::~MainLessonView() = default;

KeyboardGuide &MainLessonView::Guide()
{
    if (!m_keyboardGuide) {
        m_keyboardGuide = std::make_unique<KeyboardGuide>(*m_main.PaintBoxKey, m_main.DXImageList1, m_main.KeyCentre);
        m_keyboardGuide->UseKeyboard(m_keys);
    }
    return *m_keyboardGuide;
}

TargetLine &MainLessonView::Line()
{
    if (!m_targetLine)
        m_targetLine = std::make_unique<TargetLine>(*m_main.DXPaintBoxTexte);
    return *m_targetLine;
}

void MainLessonView::DrawKeyboardGuide(unsigned char ch)
{
    Guide().Draw(ch, m_main.HandOpacity);
    const std::string key = m_keys ? keymap::KeyDescription(ch, *m_keys) : keymap::KeyDescription(ch);
    m_main.PaintBoxKey->setAccessibleDescription(
        key.empty() ? QString() : QStringLiteral("Prochaine touche : ") + QString::fromStdString(key));
}

void MainLessonView::UseKeyboard(const keymap::LayoutKeys *keys)
{
    m_keys = keys;
    if (m_keyboardGuide)
        m_keyboardGuide->UseKeyboard(keys);
}

void MainLessonView::DescribeTargetLine(const std::string &shown)
{
    m_main.DXPaintBoxTexte->setAccessibleDescription(cp1252::ToUnicode(shown));
}

void MainLessonView::Announce(const QString &text)
{
    m_main.Annonce->Say(text);
}

void MainLessonView::StartScrolling()
{
    m_main.ScrollOffset = m_main.DXPaintBoxTexte->Surface().width();
    m_main.Timer1->SetInterval(ScrollInterval(m_main.SpinEdit1->value()));
    m_main.Timer1->SetEnabled(true);
}

void MainLessonView::ClearLessonDisplay()
{
    m_main.LabelCorrect->SetCaption(QStringLiteral("0"));
    m_main.LabelErreur->SetCaption(QStringLiteral("0"));
    m_main.LabelChrono->SetCaption(QStringLiteral("0"));
    m_main.EditText->clear();
    m_main.Timer1->SetEnabled(false);
    m_main.DXPaintBoxTexte->Fill(colours::Black);
    DescribeTargetLine(std::string());
    Announce(QString());
    m_main.DXWaveList2.Clear();
    m_paused.reset();
}

void MainLessonView::BlankTargetLine()
{
    m_main.DXPaintBoxTexte->Fill(colours::Black);
    m_main.DXPaintBoxTexte->ReleaseCanvas();
    m_main.DXPaintBoxTexte->Flip();
}

void MainLessonView::ShowLessonLine(const std::string &text)
{
    Line().DrawFirstLine(text);
    DescribeTargetLine(text);
    Announce(QStringLiteral("À taper : ") + cp1252::ToUnicode(text));
}

void MainLessonView::ShowTypedLine(const std::string &typed, const std::string &target)
{
    Line().Draw(typed, target);
}

void MainLessonView::ShowHiddenLine(const std::string &message)
{
    DrawHiddenLine(*m_main.DXPaintBoxTexte, message);
    DescribeTargetLine(message);
    Announce(cp1252::ToUnicode(message));
}

void MainLessonView::StartScrollingLine(const std::string &text)
{
    m_main.ScrollBitmap = ScrollTextPicture(*m_main.DXPaintBoxTexte, text);
    m_main.DXPaintBoxTexte->Flip();
    DescribeTargetLine(text);
    Announce(QStringLiteral("À taper : ") + cp1252::ToUnicode(text));
    StartScrolling();
}

void MainLessonView::StopScrolling()
{
    m_main.Timer1->SetEnabled(false);
}

void MainLessonView::ShowGuide(unsigned char ch)
{
    DrawKeyboardGuide(ch);
    Guide().Present();
}

void MainLessonView::ShowCounters(int correct, int errors)
{
    m_main.LabelCorrect->SetCaption(QString::number(correct));
    m_main.LabelErreur->SetCaption(QString::number(errors));
}

void MainLessonView::ShowChrono(int ticks)
{
    m_main.LabelChrono->SetCaption(QString::number(ticks));
}

bool MainLessonView::ChronoRunning() const
{
    return m_main.TimerChrono->Interval() != 0;
}

void MainLessonView::StartChrono()
{
    m_main.TimerChrono->SetInterval(ChronoInterval);
}

void MainLessonView::StopChrono()
{
    m_main.TimerChrono->SetInterval(0);
}

void MainLessonView::PlayCue(Cue cue)
{
    if (m_main.SoundOn())
        m_main.DXWaveList1.Items(static_cast<int>(cue)).Play(false);
}

void MainLessonView::SpeakKey(unsigned char ch)
{
    if (!m_main.PronunciationOn())
        return;
    m_main.LoadKeyNames();
    keynames::Pronounce(m_main.DXWaveList3, ch);
}

void MainLessonView::PlayRecording(const QString &name, const PcmWave &recording)
{
    m_main.DXWaveList2.Add(name, recording);
    m_main.DXWaveList2.Items(0).Play(false);
}

void MainLessonView::OfferRecordingAgain(bool offered)
{
    m_main.ReecouterDictee1->setEnabled(offered);
}

void MainLessonView::ShowResult(const LessonResult &result)
{
    TStatistiques &window = m_main.Statistiques();
    Announce(QStringLiteral("Leçon terminée : %1 caractères par minute, %2 % de réussite.")
                 .arg(RoundHalfEven(result.Speed))
                 .arg(RoundHalfEven(result.Success)));
    window.ShowResult(result.Speed, result.Success);
    window.Draw(m_learner.Results, m_learner.ResultsRead);
    // A lesson with goals says whether they were reached, and what next; the others show the learner's curves.
    if (result.Goal.Set()) {
        m_main.ShowLessonResult(result);
        return;
    }
    window.ShowModal();
    m_main.FocusEditText();
}

void MainLessonView::ShowNextLine(const std::string &text, std::size_t line, std::size_t lines)
{
    m_main.EditText->clear();
    Line().DrawFirstLine(text);
    DescribeTargetLine(text);
    Announce(QStringLiteral("Ligne %1 sur %2 : %3").arg(line).arg(lines).arg(cp1252::ToUnicode(text)));
}

void MainLessonView::ShowProgress(const LessonProgress &progress)
{
    m_main.LabelProgression->setVisible(progress.Shown);
    if (progress.Shown)
        m_main.LabelProgression->SetCaption(progress.Text());
}

void MainLessonView::ShowPause(bool paused)
{
    if (paused) {
        if (m_paused)
            return;
        m_paused = Paused{m_main.DXPaintBoxTexte->accessibleDescription(), m_main.TimerChrono->Interval(),
                          m_main.Timer1->Enabled()};
        m_main.TimerChrono->SetInterval(0);
        m_main.Timer1->SetEnabled(false);
        const QString message = QStringLiteral("Pause — appuyez sur F5 pour reprendre");
        DrawHiddenLine(*m_main.DXPaintBoxTexte, cp1252::FromUnicodeText(message));
        m_main.DXPaintBoxTexte->setAccessibleDescription(message);
        Announce(QStringLiteral("En pause. Appuyez sur F5 pour reprendre."));
        return;
    }
    if (!m_paused)
        return;
    m_main.DXPaintBoxTexte->setAccessibleDescription(m_paused->Description);
    m_main.TimerChrono->SetInterval(m_paused->ChronoInterval);
    m_main.Timer1->SetEnabled(m_paused->Scrolling);
    m_paused.reset();
    Announce(QStringLiteral("Reprise."));
}
