#include "windows/TTouches.h"
#include "windows/Announcement.h"

#include <algorithm>
#include <array>
#include <string>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "guide/KeyDescription.h"
#include "platform/dialogs/ErrorBox.h"
#include "platform/drawing/ControlIdentity.h"
#include "platform/drawing/TDXImageList.h"
#include "platform/text/Cp1252.h"
#include "records/CourseRules.h"
#include "records/KeyFigures.h"

namespace {

// The fingers' labels stand in a row above the two hands.
constexpr int HandWidth = keymap::FingerPictureWidth;
constexpr int HandHeight = keymap::FingerPictureHeight;
constexpr int HandGap = 24;
constexpr int LabelRow = 44;
constexpr int LabelWidth = 38;

// Left to right across the two hands, as the labels stand.
constexpr std::array<int, 10> Fingers{keymap::AuriculaireG, keymap::AnnuaireG,   keymap::MajeurG, keymap::IndexG,
                                      keymap::PouceG,       keymap::PouceD,      keymap::IndexD,  keymap::MajeurD,
                                      keymap::AnnuaireD,    keymap::AuriculaireD};

QString Figures(const KeyFigures::Figures &figures)
{
    QString text = QStringLiteral("%1 % d'erreurs").arg(qRound(figures.ErrorRate()));
    if (figures.Timed > 0)
        text += QStringLiteral(", %1 ms").arg(qRound(figures.MeanMs()));
    return text;
}

// Where a finger's tip is on its hand's picture: the finger pictures share the hands' drawing.
QPoint FingerTip(int finger)
{
    const keymap::Placement offset = keymap::FingerOffset(finger);
    return {std::clamp(-offset.dx, 8, HandWidth - 8), std::clamp(-offset.dy, 8, HandHeight - 8)};
}

// Share of the way from best to worst of a key's figures; nothing for a key without any.
std::optional<double> Share(const KeyFigures::Figures &figures, bool speed)
{
    if (figures.Attempts == 0 || (speed && figures.Timed == 0))
        return std::nullopt;
    const double share = speed ? (figures.MeanMs() - TTouches::FastestMs) / (TTouches::SlowestMs - TTouches::FastestMs)
                               : figures.ErrorRate() / TTouches::WorstErrorRate;
    return std::clamp(share, 0.0, 1.0);
}

// A character as the list writes it, and as a screen reader says it there: by its French name.
QString Written(unsigned char ch)
{
    return cp1252::ToUnicode(keymap::WrittenName(ch));
}

QString Spoken(unsigned char ch)
{
    const std::string name = keymap::CharacterName(ch);
    return name.empty() ? Written(ch) : QString::fromStdString(name);
}

// A key's item, its characters named by `name`: "é : 100 % d'erreurs — souvent tapé à la place : è".
QString Item(unsigned char ch, const KeyFigures &keys, QString (*name)(unsigned char))
{
    const KeyFigures::Figures &figures = keys.Of(ch);
    QString text = name(ch) + QStringLiteral(" : ") + Figures(figures);
    QStringList instead;
    for (const char c : figures.MostTypedInstead(3))
        instead << name(static_cast<unsigned char>(c));
    if (!instead.isEmpty())
        text += QStringLiteral(" — souvent tapé à la place : ") + instead.join(QStringLiteral(", "));
    return text;
}

// The characters a finger types on the keyboard shown.
std::string FingerCharacters(int finger, const keymap::LayoutKeys *layout)
{
    return layout ? layout->FingerCharacters(finger) : keymap::FingerCharacters(finger);
}

} // namespace

TTouches::TTouches(QWidget *main, const KeyFigures &keys, const TDXImageList &pictures,
                   const keymap::KeyCentres &centres, const keymap::LayoutKeys *keyboard)
    : QDialog(main), m_keys(keys), m_layout(keyboard), m_pictures(pictures), m_keyboard(pictures, centres)
{
    setObjectName(QStringLiteral("Touches"));
    setWindowTitle(QStringLiteral("Mes touches - Tapotis2002"));
    setModal(true);

    ImageClavier = new QLabel(this);
    Identify(ImageClavier, QStringLiteral("ImageClavier"), QStringLiteral("Clavier de vos touches"));
    ImageClavier->setFixedSize(KeyboardPicture::Width, KeyboardPicture::Height);
    ImageClavier->setFocusPolicy(Qt::TabFocus);

    ImageLegende = new QLabel(this);
    ImageLegende->setObjectName(QStringLiteral("ImageLegende"));
    ImageLegende->setFixedSize(KeyboardPicture::Width - 120, 22);
    CaseVitesse = new QCheckBox(QStringLiteral("Vitesse"), this);
    CaseVitesse->setObjectName(QStringLiteral("CaseVitesse"));

    auto *listTitle = new QLabel(QStringLiteral("Touches les plus faibles :"), this);
    ListeTouches = new QListWidget(this);
    Identify(ListeTouches, QStringLiteral("ListeTouches"), QStringLiteral("Touches les plus faibles"));
    listTitle->setBuddy(ListeTouches);
    // Long items wrap rather than hide what is typed instead.
    ListeTouches->setWordWrap(true);
    ListeTouches->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const char ch : keys.Weakest(256)) {
        auto *item = new QListWidgetItem(ItemText(static_cast<unsigned char>(ch), keys), ListeTouches);
        item->setData(Qt::AccessibleTextRole, ItemSpoken(static_cast<unsigned char>(ch), keys));
    }
    if (ListeTouches->count() == 0)
        ListeTouches->addItem(QStringLiteral("Aucune touche tapée pour l'instant : faites d'abord une leçon."));
    ListeTouches->setCurrentRow(0);

    ImageDoigts = new QLabel(this);
    Identify(ImageDoigts, QStringLiteral("ImageDoigts"), QStringLiteral("Vos doigts"));
    ImageDoigts->setFixedSize(2 * HandWidth + HandGap, LabelRow + HandHeight);
    ImageDoigts->setFocusPolicy(Qt::TabFocus);

    BoutonEntrainer = new QPushButton(QStringLiteral("S'entraîner sur ces touches"), this);
    BoutonEntrainer->setObjectName(QStringLiteral("BoutonEntrainer"));
    BoutonEntrainer->setEnabled(!courserules::WeakKeysToDrill(keys).empty());
    BoutonEntrainer->setDefault(true);
    BoutonFermer = new QPushButton(QStringLiteral("Fermer"), this);
    BoutonFermer->setObjectName(QStringLiteral("BoutonFermer"));

    auto *legend = new QHBoxLayout;
    legend->addWidget(ImageLegende);
    legend->addStretch();
    legend->addWidget(CaseVitesse);
    auto *list = new QVBoxLayout;
    list->addWidget(listTitle);
    list->addWidget(ListeTouches, 1);
    auto *middle = new QHBoxLayout;
    middle->addLayout(list, 1);
    middle->addWidget(ImageDoigts, 0, Qt::AlignBottom);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BoutonEntrainer);
    buttons->addWidget(BoutonFermer);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ImageClavier, 0, Qt::AlignHCenter);
    layout->addLayout(legend);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    setTabOrder(ListeTouches, CaseVitesse);
    setTabOrder(CaseVitesse, ImageClavier);
    setTabOrder(ImageClavier, ImageDoigts);
    setTabOrder(ImageDoigts, BoutonEntrainer);
    setTabOrder(BoutonEntrainer, BoutonFermer);

    connect(CaseVitesse, &QCheckBox::toggled, this, GuardedSlot(this, [this] {
                DrawKeyboard();
                DrawLegend();
            }));
    connect(BoutonEntrainer, &QPushButton::clicked, this, [this] {
        m_drillChosen = true;
        accept();
    });
    connect(BoutonFermer, &QPushButton::clicked, this, &QDialog::reject);

    DrawKeyboard();
    DrawLegend();
    DrawFingers();
    ListeTouches->setFocus(Qt::OtherFocusReason);
}

TTouches::~TTouches() = default;

void TTouches::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ReadCurrentItemOnceShown(ListeTouches);
}

QString TTouches::ItemText(unsigned char ch, const KeyFigures &keys)
{
    return Item(ch, keys, Written);
}

QString TTouches::ItemSpoken(unsigned char ch, const KeyFigures &keys)
{
    return Item(ch, keys, Spoken);
}

QString TTouches::FingerText(int finger, const KeyFigures &keys, const keymap::LayoutKeys *layout)
{
    QString name = QString::fromStdString(keymap::FingerName(finger));
    if (name.isEmpty())
        return QString();
    // A label starts with a capital.
    name[0] = name[0].toUpper();
    const KeyFigures::Figures figures = keys.Sum(FingerCharacters(finger, layout));
    return name + QStringLiteral(" : ") +
           (figures.Attempts == 0 ? QStringLiteral("aucune touche tapée") : Figures(figures));
}

QColor TTouches::Heat(double share)
{
    // Hue from green (120) through yellow to red (0).
    return QColor::fromHsvF(static_cast<float>((1 - std::clamp(share, 0.0, 1.0)) / 3), 0.85f, 0.95f);
}

void TTouches::DrawKeyboard()
{
    const bool speed = CaseVitesse->isChecked();
    KeyboardPicture::Marks marks;
    std::vector<std::string> keys;
    if (m_layout)
        keys = m_layout->KeyCharacters();
    else
        for (const keymap::KeyRow &row : keymap::KeyRows())
            keys.emplace_back(row.Characters);
    for (const std::string &key : keys)
        if (const std::optional<double> share = Share(m_keys.Sum(key), speed))
            marks.Tinted.push_back({static_cast<unsigned char>(key[0]), Heat(*share)});
    ImageClavier->setPixmap(QPixmap::fromImage(m_keyboard.Draw(marks)));
    ImageClavier->setAccessibleDescription(speed ? QStringLiteral("Chaque touche tapée est teintée du vert au rouge "
                                                                  "selon son temps moyen, les touches jamais tapées "
                                                                  "restent sans teinte.")
                                                 : QStringLiteral("Chaque touche tapée est teintée du vert au rouge "
                                                                  "selon son taux d'erreurs, les touches jamais tapées "
                                                                  "restent sans teinte."));
}

void TTouches::DrawLegend()
{
    const bool speed = CaseVitesse->isChecked();
    const QString best = speed ? QStringLiteral("%1 ms").arg(FastestMs) : QStringLiteral("0 %");
    const QString worst = speed ? QStringLiteral("%1 ms et plus").arg(SlowestMs)
                                : QStringLiteral("%1 % d'erreurs et plus").arg(WorstErrorRate);
    QImage legend(ImageLegende->size(), QImage::Format_ARGB32_Premultiplied);
    legend.fill(Qt::transparent);
    {
        QPainter painter(&legend);
        const QFontMetrics metrics(font());
        const int left = metrics.horizontalAdvance(best) + 8;
        const int right = legend.width() - metrics.horizontalAdvance(worst) - 8;
        QLinearGradient gradient(left, 0, right, 0);
        for (const double stop : {0.0, 0.5, 1.0})
            gradient.setColorAt(stop, Heat(stop));
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(0, 0, left, legend.height()), Qt::AlignVCenter | Qt::AlignLeft, best);
        painter.drawText(QRect(right + 8, 0, legend.width() - right - 8, legend.height()),
                         Qt::AlignVCenter | Qt::AlignLeft, worst);
        painter.setBrush(gradient);
        painter.drawRect(left, 4, right - left, legend.height() - 9);
    }
    ImageLegende->setPixmap(QPixmap::fromImage(legend));
    ImageLegende->setAccessibleName(QStringLiteral("Légende : du vert, %1, au rouge, %2").arg(best, worst));
}

void TTouches::DrawFingers()
{
    QImage hands(ImageDoigts->size(), QImage::Format_ARGB32_Premultiplied);
    hands.fill(Qt::transparent);
    QStringList spoken;
    {
        QPainter painter(&hands);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const int hand : {keymap::MainG, keymap::MainD}) {
            // The hand's white background stays transparent.
            QImage picture = m_pictures.Items(hand).Picture.convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < picture.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
                for (int x = 0; x < picture.width(); ++x)
                    if ((line[x] & 0xFFFFFF) == 0xFFFFFF)
                        line[x] = 0;
            }
            painter.drawImage(hand == keymap::MainG ? 0 : HandWidth + HandGap, LabelRow, picture);
        }
        QFont small = font();
        small.setPixelSize(10);
        painter.setFont(small);
        for (std::size_t i = 0; i < Fingers.size(); ++i) {
            const int finger = Fingers[i];
            const bool left = i < 5;
            const KeyFigures::Figures figures = m_keys.Sum(FingerCharacters(finger, m_layout));
            const QPoint tip = FingerTip(finger) + QPoint(left ? 0 : HandWidth + HandGap, LabelRow);
            const QRect label(static_cast<int>(i % 5) * (HandWidth / 5) + (left ? 0 : HandWidth + HandGap), 0,
                              LabelWidth, LabelRow - 10);
            const std::optional<double> share = Share(figures, false);
            painter.setPen(QPen(QColor(60, 60, 60), 1));
            painter.drawLine(QPoint(label.center().x(), label.bottom()), tip);
            painter.setBrush(share ? Heat(*share) : QColor(235, 235, 235));
            painter.drawRoundedRect(label, 4, 4);
            painter.drawEllipse(tip, 4, 4);
            painter.setPen(Qt::black);
            const QString text =
                figures.Attempts == 0
                    ? QStringLiteral("—")
                    : QStringLiteral("%1 %").arg(qRound(figures.ErrorRate())) +
                          (figures.Timed > 0 ? QStringLiteral("\n%1 ms").arg(qRound(figures.MeanMs())) : QString());
            painter.drawText(label, Qt::AlignCenter, text);
            spoken << FingerText(finger, m_keys, m_layout);
        }
    }
    ImageDoigts->setPixmap(QPixmap::fromImage(hands));
    ImageDoigts->setAccessibleDescription(spoken.join(QStringLiteral(" ; ")));
}
