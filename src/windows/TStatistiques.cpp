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
    speed->setPointsVisible(false);
    m_chart->addSeries(speed);
    Series1 = std::make_unique<TLineSeries>(speed);

    // Both series share one pair of axes: speeds and percentages on one vertical scale.
    m_axisX = new QValueAxis(this);
    m_axisX->setLabelFormat(QStringLiteral("%d"));
    // Ticks stand on the points' positions, not on the ends of the padded range.
    m_axisX->setTickType(QValueAxis::TicksDynamic);
    m_axisX->setTickAnchor(0);
    m_axisY = new QValueAxis(this);
    m_axisY->setLabelFormat(QStringLiteral("%g"));
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);
    for (QLineSeries *series : {success, speed}) {
        series->attachAxis(m_axisX);
        series->attachAxis(m_axisY);
    }
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
    int count = 0;
    double low = 0;
    double high = 0;
    for (const TLineSeries *series : {Series1.get(), Series2.get()}) {
        for (int i = 0; i < series->Count(); ++i) {
            const double y = series->YValue(i);
            low = count == 0 ? y : std::min(low, y);
            high = count == 0 ? y : std::max(high, y);
            ++count;
        }
    }
    const int points = std::max(Series1->Count(), Series2->Count());
    if (count == 0) {
        low = 0;
        high = 100;
    }
    // A little room around the values so that the markers of the extreme points are never cut.
    const double room = std::max((high - low) * 0.05, 1.0);
    m_axisY->setRange(low - room, high + room);
    m_axisY->applyNiceNumbers();
    const int last = std::max(points - 1, 1);
    m_axisX->setRange(-0.25, last + 0.25);
    // About ten ticks at most, on whole positions: 1, 2, 5, 10, 20, 50 ... apart.
    double step = 1;
    for (double scale = 1; last / step > 10; scale *= 10)
        for (double factor : {1.0, 2.0, 5.0})
            if (last / step > 10)
                step = factor * scale;
    m_axisX->setTickInterval(step);
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
