#include "windows/TParcours.h"
#include "windows/Announcement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "course/Course.h"
#include "guide/KeyDescription.h"
#include "platform/dialogs/ErrorBox.h"
#include "platform/drawing/ControlIdentity.h"
#include "platform/text/Cp1252.h"
#include "records/CourseProgress.h"
#include "records/CourseRules.h"

namespace {

// The keyboard copy is shown at this share of its size.
constexpr double PictureScale = 0.62;

QString Figure(double value)
{
    return QString::number(qRound(value));
}

// The keys as the learner reads them: each character once, the space bar by name.
QString KeyList(const std::string &keys)
{
    return cp1252::ToUnicode(keymap::WrittenNames(keys, " "));
}

} // namespace

TParcours::TParcours(QWidget *main, const CourseProgress &progress, const TDXImageList &pictures,
                     const keymap::KeyCentres &centres)
    : QDialog(main), m_keyboard(pictures, centres)
{
    setObjectName(QStringLiteral("Parcours"));
    setWindowTitle(QStringLiteral("Parcours - Tapotis2002"));
    setModal(true);

    ListeLecons = new QListWidget(this);
    Identify(ListeLecons, QStringLiteral("ListeLecons"), QStringLiteral("Leçons du parcours"));
    for (int n = 1; n <= course::LessonCount(); ++n)
        ListeLecons->addItem(ItemText(n, progress));
    ListeLecons->setMinimumWidth(qRound(KeyboardPicture::Width * PictureScale));

    LabelTouches = new QLabel(this);
    LabelTouches->setObjectName(QStringLiteral("LabelTouches"));
    LabelTouches->setWordWrap(true);

    // The keyboard is drawn full size off screen, then shown smaller.
    ImageClavier = new QLabel(this);
    Identify(ImageClavier, QStringLiteral("ImageClavier"), QStringLiteral("Touches de la leçon"));
    ImageClavier->setFixedSize(qRound(KeyboardPicture::Width * PictureScale),
                               qRound(KeyboardPicture::Height * PictureScale));

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

void TParcours::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ReadCurrentItemOnceShown(ListeLecons);
}

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
    const QImage keyboard = m_keyboard.Draw({definition.Keys, definition.NewKeys, {}});
    ImageClavier->setPixmap(
        QPixmap::fromImage(keyboard.scaled(ImageClavier->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    ImageClavier->setAccessibleDescription(QStringLiteral("Touches de la leçon : %1").arg(KeyList(definition.Keys)));
}
