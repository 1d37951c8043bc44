#include "windows/TStatistiques.h"

#include <QKeyEvent>

#include <algorithm>
#include <cmath>

#include <QChart>
#include <QFrame>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QValueAxis>

#include "lesson/TypingSession.h"
#include "platform/controls/TLabel.h"
#include "platform/dialogs/UserDialogs.h"
#include "platform/drawing/Colour.h"
#include "platform/drawing/ControlIdentity.h"
#include "platform/drawing/Fonts.h"
#include "records/HistoryBlock.h"
#include "windows/TChart.h"
#include "windows/TLineSeries.h"

namespace {

constexpr int Width = 438;
constexpr int Height = 356;
constexpr int ChartHeight = 328;
// Room above 100 % and below 0 % on the success axis, so that the markers there are never cut.
constexpr double SuccessRoom = 3;

const QString DesignCaption = QStringLiteral("Pourcentage d'erreur de frappe : ");

// The success markers: lime discs reaching two pixels around the point.
QImage LimeDisc()
{
    QImage disc(5, 5, QImage::Format_ARGB32_Premultiplied);
    disc.fill(Qt::transparent);
    QPainter painter(&disc);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FromColourValue(colours::Lime));
    painter.drawEllipse(QRectF(0, 0, 5, 5));
    return disc;
}

// The smallest of 1, 2, 5, 10, 20, 50 ... that cuts `span` into at most `most` steps.
double RoundStep(double span, int most)
{
    if (!std::isfinite(span) || span <= 0)
        return 1;
    double scale = std::pow(10.0, std::floor(std::log10(std::max(span / most, 1.0))));
    for (;; scale *= 10)
        for (double factor : {1.0, 2.0, 5.0})
            if (span / (factor * scale) <= most)
                return factor * scale;
}

// A vertical axis titled and written in its series' colour, so that each curve is read against its own.
QValueAxis *ValueAxis(QObject *parent, const QString &title, std::uint32_t colour)
{
    auto *axis = new QValueAxis(parent);
    const QColor shade = FromColourValue(colour);
    axis->setTitleText(title);
    axis->setTitleBrush(shade);
    axis->setLabelsColor(shade);
    axis->setLinePenColor(shade);
    QFont font = axis->titleFont();
    font.setPixelSize(11);
    font.setBold(false);
    axis->setTitleFont(font);
    return axis;
}

TLabel *PanelLabel(QWidget *panel, const QString &name, int left, std::uint32_t colour)
{
    auto *label = new TLabel(panel);
    Identify(label, name);
    label->setFont(DesignFont(QStringLiteral("MS Sans Serif"), 11));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, FromColourValue(colour));
    label->setPalette(palette);
    label->setGeometry(left, 7, 156, 13);
    label->SetCaption(DesignCaption);
    // Read as the learner reads it: by its text.
    label->ReadCaptionAs();
    return label;
}

} // namespace

TStatistiques::TStatistiques(QWidget *main) : QDialog(main, Qt::Dialog | Qt::FramelessWindowHint), m_main(main)
{
    setObjectName(QStringLiteral("Statistiques"));
    setWindowTitle(QStringLiteral("Tapotis2001 - Statistiques"));
    setFixedSize(Width, Height);
    setModal(true);
    setFont(DesignFont(QStringLiteral("MS Sans Serif"), 11));

    m_chart = new QChart();
    m_chart->setTitle(
        QStringLiteral("<p align=\"center\">Tapotis2002 - Statistiques<br>Vitesse de saisie d'un caractère</p>"));
    QLinearGradient gradient(0, 1, 0, 0); // from the bottom up
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(0, FromColourValue(0x8080FF));
    gradient.setColorAt(1, FromColourValue(colours::White));
    m_chart->setBackgroundBrush(gradient);
    m_chart->setBackgroundRoundness(0);
    // The gradient fills the whole control, up to its bevel.
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    // The back wall is hollow: the gradient shows through the plot area.
    m_chart->setPlotAreaBackgroundVisible(false);
    m_chart->setMargins(
        QMargins(qRound(Width * 0.05), qRound(ChartHeight * 0.05), qRound(Width * 0.05), qRound(ChartHeight * 0.05)));
    m_chart->legend()->hide();

    Chart1 = new TChart(this);
    Identify(Chart1, QStringLiteral("Chart1"));
    // The view lets its own first chart go when it takes ours: nobody else would delete it.
    QChart *first = Chart1->chart();
    Chart1->setChart(m_chart);
    delete first;
    Chart1->setGeometry(0, 0, Width, ChartHeight);
    Chart1->Foot = {QString(), DesignFont(QStringLiteral("Arial"), 11), FromColourValue(colours::Navy)};
    Chart1->OnClick = [this] { Chart1Click(); };
    Chart1->OnDblClick = [this] { Chart1DblClick(); };

    auto *success = new QLineSeries();
    success->setColor(FromColourValue(colours::Blue));
    success->setPointsVisible(true);
    success->setMarkerSize(5);
    success->setLightMarker(LimeDisc());
    m_chart->addSeries(success);
    Series2 = std::make_unique<TLineSeries>(success);

    // Under the chart, which hides it: seen by assistive tools only, and the first to take the keys.
    ListeResultats = new QListWidget(this);
    ListeResultats->setObjectName(QStringLiteral("ListeResultats"));
    ListeResultats->setAccessibleName(QStringLiteral("Résultats"));
    ListeResultats->setGeometry(0, 0, Width, ChartHeight);
    ListeResultats->lower();
    setFocusProxy(ListeResultats);

    Panel1 = new QFrame(this);
    Identify(Panel1, QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(0, ChartHeight, Width, Height - ChartHeight);
    LabelPF = PanelLabel(Panel1, QStringLiteral("LabelPF"), 18, colours::Blue);
    LabelVitesse = PanelLabel(Panel1, QStringLiteral("LabelVitesse"), 250, colours::Red);

    auto *speed = new QLineSeries();
    speed->setColor(FromColourValue(colours::Red));
    // Its marker shows only while it holds one point (see Repaint).
    speed->setMarkerSize(5);
    m_chart->addSeries(speed);
    Series1 = std::make_unique<TLineSeries>(speed);

    // One position axis; each series on its own vertical axis, in its colour: speeds of a few hundred would
    // otherwise flatten percentages.
    m_axisX = new QValueAxis(this);
    m_axisX->setLabelFormat(QStringLiteral("%d"));
    // Ticks stand on the points' positions, not on the ends of the padded range.
    m_axisX->setTickType(QValueAxis::TicksDynamic);
    m_axisX->setTickAnchor(0);
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_axisSpeed = ValueAxis(this, QStringLiteral("Caractères par minute"), colours::Red);
    m_axisSpeed->setLabelFormat(QStringLiteral("%g"));
    m_axisSpeed->setTickType(QValueAxis::TicksDynamic);
    m_axisSpeed->setTickAnchor(0);
    m_chart->addAxis(m_axisSpeed, Qt::AlignLeft);
    m_axisSuccess = ValueAxis(this, QStringLiteral("Réussite (%)"), colours::Blue);
    m_axisSuccess->setLabelFormat(QStringLiteral("%d"));
    // From 0 to 100 whatever the results, with a little room for the markers at either end; the ticks stand on
    // 0, 20 ... 100.
    m_axisSuccess->setRange(-SuccessRoom, 100 + SuccessRoom);
    m_axisSuccess->setTickType(QValueAxis::TicksDynamic);
    m_axisSuccess->setTickAnchor(0);
    m_axisSuccess->setTickInterval(20);
    m_chart->addAxis(m_axisSuccess, Qt::AlignRight);
    // The right axis draws no grid of its own: the left one's lines would cross it.
    m_axisSuccess->setGridLineVisible(false);
    success->attachAxis(m_axisX);
    success->attachAxis(m_axisSuccess);
    speed->attachAxis(m_axisX);
    speed->attachAxis(m_axisSpeed);
    Repaint();
}

TStatistiques::~TStatistiques() = default;

void TStatistiques::Chart1Click()
{
    accept();
}

void TStatistiques::Chart1DblClick()
{
    accept();
}

void TStatistiques::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers().testFlag(Qt::ControlModifier))
        accept();
}

void TStatistiques::Draw(const std::vector<HistoryRecord> &results, std::size_t read)
{
    for (std::size_t i = static_cast<std::size_t>(Series1->Count()); i < results.size(); ++i) {
        ListeResultats->addItem(QStringLiteral("Résultat %1 : %2 caractères par minute, %3 % de réussite")
                                    .arg(i + 1)
                                    .arg(results[i].Speed)
                                    .arg(RoundHalfEven(results[i].Success)));
        const bool ofThisRun = i >= read;
        Series2->AddY(results[i].Success, QString(), ofThisRun ? std::optional(colours::Blue) : std::nullopt);
        Series1->AddY(results[i].Speed, QString(), ofThisRun ? std::optional(colours::Red) : std::nullopt);
    }
    if (results.size() > read)
        Series1->SetLineWidth(1);
    ListeResultats->setCurrentRow(ListeResultats->count() - 1);
    const QString next = QStringLiteral("Appuyez sur Ctrl+Entrée pour continuer.");
    setAccessibleDescription(results.empty() ? QStringLiteral("Aucun résultat pour l'instant. ") + next
                                             : QStringLiteral("Dernier résultat : %1 caractères par minute, %2 % de "
                                                              "réussite. ")
                                                       .arg(results.back().Speed)
                                                       .arg(RoundHalfEven(results.back().Success)) +
                                                   next);
    Repaint();
}

void TStatistiques::ShowResult(long double speed, long double success)
{
    LabelVitesse->SetCaption(QStringLiteral("Nombre de caractere par minute : %1").arg(RoundHalfEven(speed)));
    LabelPF->SetCaption(QStringLiteral("Pourcentage de réussite : %1%").arg(RoundHalfEven(success)));
}

void TStatistiques::Repaint()
{
    const int count = Series1->Count();
    double low = count == 0 ? 0 : Series1->YValue(0);
    double high = count == 0 ? 100 : low;
    for (int i = 1; i < count; ++i) {
        low = std::min(low, Series1->YValue(i));
        high = std::max(high, Series1->YValue(i));
    }
    // A little room around the speeds so that the markers of the extreme points are never cut, and a lone speed
    // stands amid a few ticks rather than on a scale one character wide.
    const double room = std::max({(high - low) * 0.05, high * 0.05, 1.0});
    m_axisSpeed->setRange(std::max(low - room, 0.0), high + room);
    // The curve spans the plot's height; the ticks stand on round numbers inside it.
    m_axisSpeed->setTickInterval(RoundStep(m_axisSpeed->max() - m_axisSpeed->min(), 6));
    // A line of one point draws nothing: a lone speed shows as its marker.
    Series1->Series()->setPointsVisible(count == 1);
    const int points = std::max(Series1->Count(), Series2->Count());
    const int last = std::max(points - 1, 1);
    m_axisX->setRange(-0.25, last + 0.25);
    // About ten ticks at most, on whole positions.
    m_axisX->setTickInterval(RoundStep(last, 10));
    // The strip's labels take the width of their text.
    for (TLabel *label : {LabelPF, LabelVitesse})
        label->resize(label->sizeHint().width(), label->height());
    Chart1->viewport()->update();
    update();
}

void TStatistiques::ShowModal()
{
    UserDialogs::Of(this).ShowModal(*this);
}

int TStatistiques::exec()
{
    if (m_main) {
        QRect frame = frameGeometry();
        frame.moveCenter(m_main->frameGeometry().center());
        move(frame.topLeft());
    }
    return QDialog::exec();
}
