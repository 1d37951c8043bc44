#include "game/TJeu.h"

#include <algorithm>
#include <utility>

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPalette>
#include <QRandomGenerator>

#include "platform/drawing/Fonts.h"
#include "platform/text/Cp1252.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kStatusHeight = 30;
constexpr int kFieldHeight = kHeight - kStatusHeight;
constexpr int kTickMs = 30;
// A stalled event loop must not turn into one long fall that lands every word at once.
constexpr qint64 kLongestStepMs = 100;
constexpr double kPopupMs = 800;
constexpr double kLevelBannerMs = 1500;

// The colours of the lessons' target line: yellow text, the typed part in red.
const QColor kWordColour(255, 255, 0);
const QColor kTypedColour(255, 0, 0);

QFont WordFont()
{
    return DesignFont(QStringLiteral("Times New Roman"), PointsToPixels(16));
}

// The field as the rules see it: the room of the widest letter any word uses, so no word runs off the side.
JeuField FieldFor(const QFont &font)
{
    const QFontMetrics metrics(font);
    int widest = 1;
    for (const auto &level : JeuRules::FrenchWords())
        for (const auto &word : level)
            for (char byte : word)
                widest =
                    std::max(widest, metrics.horizontalAdvance(cp1252::ToUnicode(static_cast<unsigned char>(byte))));
    JeuField field;
    field.Width = kWidth;
    field.Height = kFieldHeight;
    field.WordHeight = metrics.height();
    field.LetterWidth = widest;
    return field;
}

QString Big(const QString &text, int pixels, const QString &colour)
{
    return QStringLiteral("<p style=\"font-size:%1px; color:%2;\"><b>%3</b></p>").arg(pixels).arg(colour, text);
}

QString Line(const QString &text)
{
    return QStringLiteral("<p>%1</p>").arg(text);
}

// White text on the field's dark colours.
void WhiteText(QLabel *label)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
}

QLabel *StatusLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(DesignFont(QStringLiteral("Arial"), 15, true));
    WhiteText(label);
    return label;
}

} // namespace

TJeu::TJeu(QWidget *parent, std::function<void(Cue cue)> playCue, std::int64_t bestScore)
    : QDialog(parent), m_playCue(std::move(playCue)), m_bestScore(bestScore), m_wordFont(WordFont()),
      m_rules(FieldFor(m_wordFont), QRandomGenerator::global()->generate())
{
    setWindowTitle(QStringLiteral("Zid-Ediveza"));
    setFixedSize(kWidth, kHeight);
    setModal(true);
    setFocusPolicy(Qt::StrongFocus);
    // Dead keys compose through the input method; its committed text is typing like any other.
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setAttribute(Qt::WA_OpaquePaintEvent, true);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("LabelMessage"));
    m_message->setGeometry(20, 0, kWidth - 40, kFieldHeight);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setTextFormat(Qt::RichText);
    m_message->setFont(DesignFont(QStringLiteral("Arial"), 18));
    WhiteText(m_message);

    auto *status = new QWidget(this);
    status->setGeometry(0, kFieldHeight, kWidth, kStatusHeight);
    auto *row = new QHBoxLayout(status);
    row->setContentsMargins(12, 0, 12, 0);
    m_scoreLabel = StatusLabel(status, QStringLiteral("LabelScore"));
    m_levelLabel = StatusLabel(status, QStringLiteral("LabelNiveau"));
    m_livesLabel = StatusLabel(status, QStringLiteral("LabelVies"));
    m_bestLabel = StatusLabel(status, QStringLiteral("LabelMeilleur"));
    for (QLabel *label : {m_scoreLabel, m_levelLabel, m_livesLabel})
        row->addWidget(label, 1);
    row->addWidget(m_bestLabel, 0, Qt::AlignRight);

    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { OnTimer(); });
    UpdateTexts();
}

TJeu::~TJeu() = default;

void TJeu::ShowModal()
{
    if (QWidget *owner = parentWidget()) {
        const QRect around = owner->window()->frameGeometry();
        move(around.center() - QPoint(width() / 2, height() / 2));
    }
    exec();
}

void TJeu::done(int result)
{
    // Leaving the window abandons the game: the next visit starts at the welcome screen.
    m_timer.stop();
    m_screen = Screen::Welcome;
    m_popups.clear();
    UpdateTexts();
    QDialog::done(result);
}

void TJeu::StartGame()
{
    m_rules.Start();
    m_screen = Screen::Playing;
    m_popups.clear();
    m_levelBannerMs = kLevelBannerMs;
    m_newRecord = false;
    UpdateClock();
    UpdateTexts();
    update();
}

void TJeu::EndGame()
{
    m_screen = Screen::Over;
    m_popups.clear();
    m_levelBannerMs = 0;
    UpdateClock();
}

void TJeu::OnTimer()
{
    const double elapsed = static_cast<double>(std::min(m_clock.restart(), kLongestStepMs));
    const JeuReport report = m_rules.Tick(elapsed);
    for (Popup &popup : m_popups)
        popup.AgeMs += elapsed;
    m_popups.erase(
        std::remove_if(m_popups.begin(), m_popups.end(), [](const Popup &popup) { return popup.AgeMs >= kPopupMs; }),
        m_popups.end());
    m_levelBannerMs = std::max(m_levelBannerMs - elapsed, 0.0);
    if (report.WordsLanded > 0)
        PlayCue(Cue::Wrong);
    React(report);
}

void TJeu::TypeText(const QString &text)
{
    if (m_screen != Screen::Playing)
        return;
    for (char32_t codePoint : text.toUcs4()) {
        // A character the code page cannot hold is in no word: it is let go rather than counted wrong.
        if (const auto byte = cp1252::FromUnicode(codePoint))
            React(m_rules.Type(*byte));
    }
}

void TJeu::React(const JeuReport &report)
{
    if (report.Key == JeuKey::Wrong)
        PlayCue(Cue::Wrong);
    else if (report.Key == JeuKey::Correct)
        PlayCue(report.WordDestroyed ? Cue::Finished : Cue::Correct);
    if (report.WordDestroyed) {
        const QFontMetrics metrics(m_wordFont);
        const QString text = cp1252::ToUnicode(report.DestroyedWord.Text);
        m_popups.push_back(
            {report.DestroyedWord.X + metrics.horizontalAdvance(text) / 2.0, report.DestroyedWord.Y, report.Points, 0});
    }
    if (report.LevelUp)
        m_levelBannerMs = kLevelBannerMs;
    if (m_rules.Score() > m_bestScore) {
        m_bestScore = m_rules.Score();
        m_newRecord = true;
    }
    // Checked on the rules, not the report: whatever ended the game, the window follows.
    if (m_screen == Screen::Playing && m_rules.GameOver())
        EndGame();
    UpdateTexts();
    update();
}

void TJeu::PlayCue(Cue cue)
{
    if (m_playCue)
        m_playCue(cue);
}

void TJeu::UpdateClock()
{
    const bool shouldRun = m_screen == Screen::Playing && isVisible() && isActiveWindow();
    if (shouldRun && !m_timer.isActive()) {
        m_clock.start();
        m_timer.start();
    } else if (!shouldRun) {
        m_timer.stop();
    }
}

void TJeu::UpdateTexts()
{
    m_scoreLabel->setText(QStringLiteral("Score : %1").arg(m_rules.Score()));
    m_levelLabel->setText(QStringLiteral("Niveau : %1").arg(m_rules.Level()));
    m_livesLabel->setText(QStringLiteral("Vies : %1").arg(m_rules.Lives()));
    m_bestLabel->setText(QStringLiteral("Meilleur score : %1").arg(m_bestScore));

    const QString yellow = QStringLiteral("#ffff00");
    QString message;
    switch (m_screen) {
    case Screen::Welcome:
        message = Big(QStringLiteral("Zid-Ediveza"), 48, yellow) +
                  Line(QStringLiteral("Les mots tombent : tapez-les avant qu'ils ne touchent le sol.")) +
                  Line(QStringLiteral("Appuyez sur Entrée pour commencer — Échap pour revenir aux leçons"));
        if (m_bestScore > 0)
            message += Line(QStringLiteral("Meilleur score : %1").arg(m_bestScore));
        break;
    case Screen::Playing:
        if (!m_timer.isActive())
            message = Big(QStringLiteral("Pause"), 40, yellow) +
                      Line(QStringLiteral("Revenez dans la fenêtre pour reprendre la partie."));
        break;
    case Screen::Over:
        message = Big(QStringLiteral("Partie terminée"), 40, yellow) +
                  Line(QStringLiteral("Score : %1").arg(m_rules.Score()));
        if (m_newRecord)
            message += Line(QStringLiteral("Nouveau record !"));
        message += Line(QStringLiteral("Meilleur score : %1").arg(m_bestScore));
        message += Line(QStringLiteral("Entrée pour rejouer, Échap pour revenir aux leçons"));
        break;
    }
    m_message->setText(message);
    m_message->setVisible(!message.isEmpty());
}

void TJeu::PaintWord(QPainter &painter, const FallingWord &word, bool target) const
{
    const QFontMetrics metrics(m_wordFont);
    const QString typed = cp1252::ToUnicode(std::string_view(word.Text).substr(0, word.Typed));
    const QString rest = cp1252::ToUnicode(std::string_view(word.Text).substr(word.Typed));
    const QPointF baseline(word.X, word.Y + metrics.ascent());
    painter.setPen(kTypedColour);
    painter.drawText(baseline, typed);
    const double typedWidth = metrics.horizontalAdvance(typed);
    painter.setPen(kWordColour);
    painter.drawText(baseline + QPointF(typedWidth, 0), rest);
    if (target) {
        // The word being typed is underlined, so the learner sees which word the keys go to.
        const double width = typedWidth + metrics.horizontalAdvance(rest);
        const double underline = word.Y + metrics.ascent() + 3;
        painter.setPen(QPen(kTypedColour, 2));
        painter.drawLine(QPointF(word.X, underline), QPointF(word.X + width, underline));
    }
}

void TJeu::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient sky(0, 0, 0, kFieldHeight);
    sky.setColorAt(0, QColor(0, 0, 0));
    sky.setColorAt(1, QColor(0, 0, 96));
    painter.fillRect(QRect(0, 0, kWidth, kFieldHeight), sky);
    painter.fillRect(QRect(0, kFieldHeight - 3, kWidth, 3), QColor(160, 32, 32));
    painter.fillRect(QRect(0, kFieldHeight, kWidth, kStatusHeight), QColor(0, 0, 48));

    if (m_screen == Screen::Playing && m_timer.isActive() && m_levelBannerMs > 0) {
        // Behind the words: it must never hide one about to land.
        QColor colour(255, 255, 0);
        colour.setAlphaF(static_cast<float>(std::min(m_levelBannerMs / 500.0, 1.0) * 0.8));
        painter.setPen(colour);
        painter.setFont(DesignFont(QStringLiteral("Times New Roman"), 44, true));
        painter.drawText(QRect(0, 0, kWidth, kFieldHeight), Qt::AlignCenter,
                         QStringLiteral("Niveau %1").arg(m_rules.Level()));
    }
    if (m_screen != Screen::Welcome) {
        painter.setFont(m_wordFont);
        const auto &words = m_rules.Words();
        const int target = m_rules.Target();
        for (std::size_t i = 0; i < words.size(); ++i)
            PaintWord(painter, words[i], static_cast<int>(i) == target);

        painter.setFont(DesignFont(QStringLiteral("Arial"), 16, true));
        for (const Popup &popup : m_popups) {
            const double progress = popup.AgeMs / kPopupMs;
            QColor colour(128, 255, 128);
            colour.setAlphaF(static_cast<float>(1.0 - progress));
            painter.setPen(colour);
            // Low enough that points won at the very top still rise inside the field.
            const double baseline = std::max(popup.Y + 16, 46.0) - 30 * progress;
            painter.drawText(QPointF(popup.X - 12, baseline), QStringLiteral("+%1").arg(popup.Points));
        }
    }
    // The messages need a calm background over the words left on the field.
    if (m_message->isVisible() && m_screen != Screen::Welcome)
        painter.fillRect(QRect(0, 0, kWidth, kFieldHeight - 3), QColor(0, 0, 0, 170));
}

void TJeu::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    switch (event->key()) {
    case Qt::Key_Escape: reject(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_screen != Screen::Playing)
            StartGame();
        return;
    default: break;
    }
    // A key held down would fire a burst of faults at the speed of the keyboard's repeat.
    if (event->isAutoRepeat())
        return;
    TypeText(event->text());
}

void TJeu::inputMethodEvent(QInputMethodEvent *event)
{
    event->accept();
    TypeText(event->commitString());
}

QVariant TJeu::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImEnabled)
        return true;
    return QDialog::inputMethodQuery(query);
}

void TJeu::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        UpdateClock();
        UpdateTexts();
        update();
    }
}

void TJeu::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    UpdateClock();
    UpdateTexts();
}

void TJeu::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    m_timer.stop();
    UpdateTexts();
}
