#include "windows/TParcours.h"
#include "windows/Announcement.h"

#include <algorithm>

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QPen>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include "course/Course.h"
#include "guide/KeyDescription.h"
#include "platform/dialogs/ErrorBox.h"
#include "platform/drawing/Colour.h"
#include "platform/drawing/ControlIdentity.h"
#include "platform/text/Cp1252.h"
#include "records/CourseProgress.h"
#include "records/CourseRules.h"
#include "records/LessonAttempts.h"
#include "records/LessonVerdict.h"

namespace {

// The keyboard copy is shown at this share of its size.
constexpr double PictureScale = 0.62;
// The attempts' chart beside the keyboard copy.
constexpr int ChartWidth = 330;
constexpr int ChartHeight = 220;
constexpr int MarkerSize = 6;

QString Figure(double value)
{
    return QString::number(qRound(value));
}

// The keys as the learner reads them: each character once, the space bar by name.
QString KeyList(const std::string &keys)
{
    return cp1252::ToUnicode(keymap::WrittenNames(keys, " "));
}

// A line of the attempts' chart, on its pair of axes: solid with its points, or dashed for a goal.
QLineSeries *AttemptsLine(QChart *chart, std::uint32_t colour, bool goal, QValueAxis *x, QValueAxis *y)
{
    auto *series = new QLineSeries();
    QPen pen(FromColourValue(colour));
    pen.setWidth(goal ? 1 : 2);
    if (goal)
        pen.setStyle(Qt::DashLine);
    series->setPen(pen);
    // Each attempt shows its point, a small disc of the line's colour: a lone one draws no line.
    if (!goal) {
        QImage disc(MarkerSize, MarkerSize, QImage::Format_ARGB32_Premultiplied);
        disc.fill(Qt::transparent);
        QPainter painter(&disc);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(FromColourValue(colour));
        painter.drawEllipse(QRectF(0, 0, MarkerSize, MarkerSize));
        painter.end();
        series->setPointsVisible(true);
        series->setMarkerSize(MarkerSize);
        series->setLightMarker(disc);
    }
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
    return series;
}

QValueAxis *AttemptsAxis(QChart *chart, const QString &title, std::uint32_t colour, Qt::Alignment side)
{
    auto *axis = new QValueAxis(chart);
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%d"));
    QFont font = axis->titleFont();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    font.setBold(false);
    axis->setTitleFont(font);
    axis->setTitleBrush(FromColourValue(colour));
    axis->setLabelsBrush(FromColourValue(colour));
    chart->addAxis(axis, side);
    return axis;
}

} // namespace

TParcours::TParcours(QWidget *main, const CourseProgress &progress, const LessonAttempts &attempts,
                     const TDXImageList &pictures, const keymap::KeyCentres &centres,
                     const std::vector<course::Lesson> &lessons, Keyboards keyboards)
    : QDialog(main), m_progress(progress), m_attempts(attempts), m_lessons(lessons), m_keyboards(std::move(keyboards)),
      m_keyboard(pictures, centres)
{
    setObjectName(QStringLiteral("Parcours"));
    setWindowTitle(QStringLiteral("Parcours - Tapotis2002"));
    setModal(true);

    ListeLecons = new QListWidget(this);
    Identify(ListeLecons, QStringLiteral("ListeLecons"), QStringLiteral("Leçons du parcours"));
    FillLessons();
    // As wide as its longest item, with room for the vertical scroll bar: nothing to scroll sideways.
    ListeLecons->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListeLecons->setMinimumWidth(ListeLecons->sizeHintForColumn(0) + 2 * ListeLecons->frameWidth() +
                                 ListeLecons->verticalScrollBar()->sizeHint().width() + 4);

    LabelTouches = new QLabel(this);
    LabelTouches->setObjectName(QStringLiteral("LabelTouches"));
    LabelTouches->setWordWrap(true);

    // The keyboard is drawn full size off screen, then shown smaller.
    ImageClavier = new QLabel(this);
    Identify(ImageClavier, QStringLiteral("ImageClavier"), QStringLiteral("Touches de la leçon"));
    ImageClavier->setFixedSize(qRound(KeyboardPicture::Width * PictureScale),
                               qRound(KeyboardPicture::Height * PictureScale));

    auto *chart = new QChart();
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(2, 2, 2, 2));
    m_axisAttempts = AttemptsAxis(chart, QStringLiteral("Essais"), colours::Black, Qt::AlignBottom);
    m_axisSpeed = AttemptsAxis(chart, QStringLiteral("Caractères par minute"), colours::Red, Qt::AlignLeft);
    // Ticks on whole attempts, however many.
    m_axisAttempts->setTickType(QValueAxis::TicksDynamic);
    m_axisAttempts->setTickAnchor(0);
    auto *axisSuccess = AttemptsAxis(chart, QStringLiteral("Réussite (%)"), colours::Blue, Qt::AlignRight);
    axisSuccess->setRange(0, 100);
    axisSuccess->setTickCount(6);
    m_speedGoal = AttemptsLine(chart, colours::Red, true, m_axisAttempts, m_axisSpeed);
    m_successGoal = AttemptsLine(chart, colours::Blue, true, m_axisAttempts, axisSuccess);
    m_speed = AttemptsLine(chart, colours::Red, false, m_axisAttempts, m_axisSpeed);
    m_success = AttemptsLine(chart, colours::Blue, false, m_axisAttempts, axisSuccess);
    GraphiqueEssais = new QChartView(chart);
    Identify(GraphiqueEssais, QStringLiteral("GraphiqueEssais"), QStringLiteral("Essais de la leçon"));
    GraphiqueEssais->setRenderHint(QPainter::Antialiasing);
    GraphiqueEssais->setFocusPolicy(Qt::NoFocus);
    LabelEssais = new QLabel(QStringLiteral("Aucun essai pour cette leçon"));
    LabelEssais->setObjectName(QStringLiteral("LabelEssais"));
    LabelEssais->setAlignment(Qt::AlignCenter);
    m_attemptsShown = new QStackedWidget(this);
    m_attemptsShown->addWidget(GraphiqueEssais);
    m_attemptsShown->addWidget(LabelEssais);
    m_attemptsShown->setMinimumSize(ChartWidth, ChartHeight);

    BoutonCommencer = new QPushButton(QStringLiteral("Commencer"), this);
    BoutonCommencer->setObjectName(QStringLiteral("BoutonCommencer"));
    BoutonCommencer->setDefault(true);
    BoutonFermer = new QPushButton(QStringLiteral("Fermer"), this);
    BoutonFermer->setObjectName(QStringLiteral("BoutonFermer"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BoutonCommencer);
    buttons->addWidget(BoutonFermer);
    auto *lesson = new QHBoxLayout;
    lesson->addWidget(ImageClavier, 0, Qt::AlignTop);
    lesson->addWidget(m_attemptsShown, 1);
    LabelClavier = new QLabel(QStringLiteral("&Clavier :"), this);
    Identify(LabelClavier, QStringLiteral("LabelClavier"), QStringLiteral("Clavier"));
    ListeClaviers = new QComboBox(this);
    Identify(ListeClaviers, QStringLiteral("ListeClaviers"), QStringLiteral("Clavier"));
    for (const layouts::Description &description : layouts::Descriptions)
        ListeClaviers->addItem(QString::fromUtf8(description.Name));
    ListeClaviers->setCurrentIndex(static_cast<int>(m_keyboards.Current));
    ListeClaviers->setEnabled(static_cast<bool>(m_keyboards.Choose));
    LabelClavier->setBuddy(ListeClaviers);
    auto *keyboard = new QHBoxLayout;
    keyboard->addWidget(LabelClavier);
    keyboard->addWidget(ListeClaviers);
    keyboard->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(keyboard);
    layout->addWidget(ListeLecons, 1);
    layout->addWidget(LabelTouches);
    layout->addLayout(lesson);
    layout->addLayout(buttons);

    connect(ListeLecons, &QListWidget::currentRowChanged, this,
            GuardedSlot(this, [this] { ShowLesson(ListeLecons->currentRow() + 1); }));
    connect(ListeLecons, &QListWidget::itemActivated, BoutonCommencer, &QPushButton::click);
    connect(BoutonCommencer, &QPushButton::clicked, this, [this] {
        m_chosen = ListeLecons->currentRow() + 1;
        accept();
    });
    connect(BoutonFermer, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListeClaviers, qOverload<int>(&QComboBox::activated), this, GuardedSlot(this, [this] {
                const auto chosen = static_cast<layouts::Layout>(ListeClaviers->currentIndex());
                if (chosen == m_keyboards.Current)
                    return;
                // The lessons shown follow the keyboard taken up, even when its choice could not be saved: its own
                // course, with its next lesson selected.
                const auto refresh = qScopeGuard([this, chosen] {
                    m_keyboards.Current = chosen;
                    FillLessons();
                    ListeLecons->setCurrentRow(courserules::NextLesson(m_progress) - 1);
                });
                m_keyboards.Choose(chosen);
            }));

    ListeLecons->setCurrentRow(courserules::NextLesson(progress) - 1);
    ListeLecons->setFocus(Qt::OtherFocusReason);
}

TParcours::~TParcours() = default;

void TParcours::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ReadCurrentItemOnceShown(ListeLecons);
}

void TParcours::FillLessons()
{
    const int current = ListeLecons->currentRow();
    {
        const QSignalBlocker quiet(ListeLecons);
        ListeLecons->clear();
        for (const course::Lesson &lesson : m_lessons)
            ListeLecons->addItem(ItemText(lesson, m_progress));
    }
    // The lesson selected stays so, its keys shown on the keyboard chosen.
    if (current >= 0) {
        ListeLecons->setCurrentRow(current);
        ShowLesson(current + 1);
    }
}

QString TParcours::ItemText(const course::Lesson &definition, const CourseProgress &progress)
{
    const int lesson = definition.Number;
    QString text = QStringLiteral("Leçon %1 : %2 — ").arg(lesson).arg(QString::fromStdString(definition.Title));
    const CourseProgress::Best *best = progress.Of(lesson);
    if (!best)
        return text + QStringLiteral("à faire");
    if (!courserules::Reached(progress, lesson))
        return text + QStringLiteral("en cours");
    return text + QStringLiteral("terminée (%1 caractères par minute, %2 % de réussite)")
                      .arg(Figure(best->Speed), Figure(best->Success));
}

void TParcours::ShowLesson(int lesson)
{
    if (lesson < 1 || lesson > static_cast<int>(m_lessons.size()))
        return;
    const course::Lesson &definition = m_lessons[static_cast<std::size_t>(lesson - 1)];
    LabelTouches->setText(QStringLiteral("Nouvelles touches : %1. Objectif : %2 caractères par minute avec %3 % de "
                                         "réussite.")
                              .arg(KeyList(definition.NewKeys))
                              .arg(definition.GoalSpeed)
                              .arg(course::GoalSuccess));
    // The lesson's keys outlined, its new keys marked.
    const QImage keyboard = m_keyboard.Draw({definition.Keys, definition.NewKeys, {}});
    ImageClavier->setPixmap(
        QPixmap::fromImage(keyboard.scaled(ImageClavier->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    ImageClavier->setAccessibleDescription(QStringLiteral("Touches de la leçon : %1").arg(KeyList(definition.Keys)));
    ShowAttempts(lesson);
}

void TParcours::ShowAttempts(int lesson)
{
    const std::vector<LessonAttempts::Attempt> &attempts = m_attempts.Of(lesson);
    if (attempts.empty()) {
        m_attemptsShown->setCurrentWidget(LabelEssais);
        GraphiqueEssais->setAccessibleDescription(QString());
        return;
    }
    const int goalSpeed = course::LessonNumber(lesson).GoalSpeed;
    QList<QPointF> speeds, successes;
    double fastest = goalSpeed;
    for (std::size_t i = 0; i < attempts.size(); ++i) {
        speeds.append(QPointF(double(i + 1), attempts[i].Speed));
        successes.append(QPointF(double(i + 1), attempts[i].Success));
        fastest = std::max(fastest, attempts[i].Speed);
    }
    m_speed->replace(speeds);
    m_success->replace(successes);
    // Half an attempt's room at either end, so that no point is cut and a lone one stands in the middle; the goals
    // run across the whole width.
    const double first = 0.5, last = double(attempts.size()) + 0.5;
    m_speedGoal->replace({QPointF(first, goalSpeed), QPointF(last, goalSpeed)});
    m_successGoal->replace({QPointF(first, course::GoalSuccess), QPointF(last, course::GoalSuccess)});
    m_axisAttempts->setRange(first, last);
    m_axisAttempts->setTickInterval(attempts.size() <= 10 ? 1 : attempts.size() <= 25 ? 5 : 10);
    // Room above the fastest attempt or the goal, whichever is higher.
    m_axisSpeed->setRange(0, fastest * 1.1);
    m_axisSpeed->applyNiceNumbers();
    m_attemptsShown->setCurrentWidget(GraphiqueEssais);

    // The last attempt as the verdicts show it: a figure short of its goal never reads as reaching it.
    const LessonAttempts::Attempt &latest = attempts.back();
    const verdict::Verdict shown =
        verdict::Judge(latest.Speed, latest.Success, LessonGoal{std::string(), goalSpeed, int(course::GoalSuccess)});
    GraphiqueEssais->setAccessibleDescription(
        QStringLiteral("%1 ; dernier : %2 caractères par minute, %3 % de réussite")
            .arg(attempts.size() == 1 ? QStringLiteral("1 essai") : QStringLiteral("%1 essais").arg(attempts.size()))
            .arg(shown.Speed.Shown)
            .arg(shown.Success.Shown));
}
