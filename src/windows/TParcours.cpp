#include "windows/TParcours.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "course/Course.h"
#include "guide/KeyDescription.h"
#include "guide/KeyboardGuide.h"
#include "platform/dialogs/ErrorBox.h"
#include "platform/drawing/Colour.h"
#include "platform/drawing/ControlIdentity.h"
#include "platform/drawing/TDXDraw.h"
#include "records/CourseProgress.h"
#include "records/CourseRules.h"

namespace {

constexpr int PictureWidth = 632;
constexpr int PictureHeight = 248;
// The keyboard copy is shown at this share of its size.
constexpr double PictureScale = 0.62;

QString Figure(double value)
{
    return QString::number(qRound(value));
}

// The keys as the learner reads them: each character once, the space bar by name.
QString KeyList(const std::string &keys)
{
    return QString::fromStdString(keymap::WrittenNames(keys, " "));
}

} // namespace

TParcours::TParcours(QWidget *main, const CourseProgress &progress, const TDXImageList &pictures,
                     const keymap::KeyCentres &centres)
    : QDialog(main), m_pictures(pictures), m_centres(centres)
{
    setObjectName(QStringLiteral("Parcours"));
    setWindowTitle(QStringLiteral("Parcours - Tapotis2002"));
    setModal(true);

    ListeLecons = new QListWidget(this);
    Identify(ListeLecons, QStringLiteral("ListeLecons"), QStringLiteral("Leçons du parcours"));
    for (int n = 1; n <= course::LessonCount(); ++n)
        ListeLecons->addItem(ItemText(n, progress));
    ListeLecons->setMinimumWidth(qRound(PictureWidth * PictureScale));

    LabelTouches = new QLabel(this);
    LabelTouches->setObjectName(QStringLiteral("LabelTouches"));
    LabelTouches->setWordWrap(true);

    // The keyboard is drawn full size off screen, then shown smaller.
    m_keyboard = std::make_unique<TDXDraw>(nullptr, QSize(PictureWidth, PictureHeight));
    m_keyboard->Initialize();
    ImageClavier = new QLabel(this);
    Identify(ImageClavier, QStringLiteral("ImageClavier"), QStringLiteral("Touches de la leçon"));
    ImageClavier->setFixedSize(qRound(PictureWidth * PictureScale), qRound(PictureHeight * PictureScale));

    BoutonCommencer = new QPushButton(QStringLiteral("Commencer"), this);
    BoutonCommencer->setObjectName(QStringLiteral("BoutonCommencer"));
    BoutonCommencer->setDefault(true);
    BoutonFermer = new QPushButton(QStringLiteral("Fermer"), this);
    BoutonFermer->setObjectName(QStringLiteral("BoutonFermer"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BoutonCommencer);
    buttons->addWidget(BoutonFermer);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ListeLecons, 1);
    layout->addWidget(LabelTouches);
    layout->addWidget(ImageClavier, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);

    connect(ListeLecons, &QListWidget::currentRowChanged, this,
            GuardedSlot(this, [this] { ShowLesson(ListeLecons->currentRow() + 1); }));
    connect(ListeLecons, &QListWidget::itemActivated, BoutonCommencer, &QPushButton::click);
    connect(BoutonCommencer, &QPushButton::clicked, this, [this] {
        m_chosen = ListeLecons->currentRow() + 1;
        accept();
    });
    connect(BoutonFermer, &QPushButton::clicked, this, &QDialog::reject);

    ListeLecons->setCurrentRow(courserules::NextLesson(progress) - 1);
    ListeLecons->setFocus(Qt::OtherFocusReason);
}

TParcours::~TParcours() = default;

QString TParcours::ItemText(int lesson, const CourseProgress &progress)
{
    const course::Lesson &definition = course::LessonNumber(lesson);
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
    if (lesson < 1 || lesson > course::LessonCount())
        return;
    const course::Lesson &definition = course::LessonNumber(lesson);
    LabelTouches->setText(QStringLiteral("Nouvelles touches : %1. Objectif : %2 caractères par minute avec %3 % de "
                                         "réussite.")
                              .arg(KeyList(definition.NewKeys))
                              .arg(definition.GoalSpeed)
                              .arg(course::GoalSuccess));
    // The lesson's keys outlined, its new keys marked.
    DrawKeyboardPicture(*m_keyboard, m_pictures);
    for (const char c : definition.Keys)
        DrawKeyOutline(*m_keyboard, m_centres, static_cast<unsigned char>(c));
    for (const char c : definition.NewKeys)
        DrawKeyMarker(*m_keyboard, m_centres, static_cast<unsigned char>(c));
    m_keyboard->ReleaseCanvas();
    ImageClavier->setPixmap(QPixmap::fromImage(
        m_keyboard->Surface().scaled(ImageClavier->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    ImageClavier->setAccessibleDescription(QStringLiteral("Touches de la leçon : %1").arg(KeyList(definition.Keys)));
}
