#include "windows/TResultat.h"

#include <algorithm>
#include <chrono>

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "guide/KeyDescription.h"
#include "platform/drawing/ControlIdentity.h"
#include "platform/drawing/Fonts.h"
#include "platform/text/Cp1252.h"
#include "records/LessonVerdict.h"

namespace {

// Dark enough to read on the window's light grey, for the marks and the verdicts.
const QString MarkColour = QStringLiteral("#c00000");
const QString PassedColour = QStringLiteral("#006400");
const QString NotYetColour = QStringLiteral("#000080");

// The lines area shows this many lines at most before it scrolls.
constexpr int VisibleLines = 12;

QString Unicode(const std::string &bytes)
{
    return cp1252::ToUnicode(bytes);
}

QString Name(unsigned char ch)
{
    return cp1252::ToUnicode(keymap::WrittenName(ch));
}

QString Characters(long long count)
{
    return count > 1 ? QStringLiteral("caractères") : QStringLiteral("caractère");
}

bool QuietKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space || key == Qt::Key_Escape;
}

QLabel *TextLabel(QWidget *window, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, window);
    Identify(label, name, text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

TResultat::TResultat(QWidget *main, const LessonResult &result, bool drillOffered)
    : QDialog(main), Clock([] {
          return static_cast<qint64>(
              std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                  .count());
      })
{
    setObjectName(QStringLiteral("Resultat"));
    setWindowTitle(QStringLiteral("Résultat - Tapotis2002"));
    setModal(true);

    const bool goalSet = result.Goal.Set();
    const verdict::Verdict judged = verdict::Judge(result.Speed, result.Success, result.Goal);
    // A lesson without goals is never said to have reached them.
    const bool passed = goalSet && judged.Passed();
    const QString verdictText = !goalSet ? QStringLiteral("Leçon terminée")
                                : passed ? QStringLiteral("Objectif atteint")
                                         : QStringLiteral("Pas encore");

    // A session of the learner's text says which of its lines it was.
    QString title = QString::fromStdString(result.Goal.Title);
    if (result.OwnText.Set())
        title += QStringLiteral(", lignes %1 à %2 sur %3%4")
                     .arg(result.OwnText.First + 1)
                     .arg(result.OwnText.End)
                     .arg(result.OwnText.Lines)
                     .arg(result.OwnText.Finished() ? QStringLiteral(" : texte terminé") : QString());
    LabelTitre = TextLabel(this, QStringLiteral("LabelTitre"), title);
    LabelTitre->setFont(DesignFont(QStringLiteral("Arial"), 15, true));
    LabelTitre->setVisible(!title.isEmpty());

    LabelVerdict = TextLabel(this, QStringLiteral("LabelVerdict"), verdictText);
    LabelVerdict->setFont(DesignFont(QStringLiteral("Arial"), 30, true));
    QPalette verdictPalette = LabelVerdict->palette();
    verdictPalette.setColor(QPalette::WindowText, QColor(passed ? PassedColour : NotYetColour));
    LabelVerdict->setPalette(verdictPalette);

    QString speed =
        QStringLiteral("Vitesse : %1 %2 par minute").arg(judged.Speed.Shown).arg(Characters(judged.Speed.Shown));
    QString success = QStringLiteral("Réussite : %1 %").arg(judged.Success.Shown);
    QStringList missing;
    if (goalSet) {
        speed += QStringLiteral(" (objectif %1)").arg(judged.Speed.Goal);
        success += QStringLiteral(" (objectif %1 %)").arg(judged.Success.Goal);
        if (!judged.Speed.Reached()) {
            missing << QString::fromStdString(verdict::MissingSpeed(judged.Speed.Missing));
            speed += QStringLiteral(", ") + missing.back();
        }
        if (!judged.Success.Reached()) {
            missing << QString::fromStdString(verdict::MissingSuccess(judged.Success.Missing));
            success += QStringLiteral(", ") + missing.back();
        }
    }
    LabelVitesse = TextLabel(this, QStringLiteral("LabelVitesse"), speed);
    LabelReussite = TextLabel(this, QStringLiteral("LabelReussite"), success);
    // A figure and what it lacks read as one line; the window takes their width.
    for (QLabel *label : {LabelVitesse, LabelReussite}) {
        label->setFont(DesignFont(QStringLiteral("Arial"), 15));
        label->setWordWrap(false);
    }

    auto *linesTitle = TextLabel(this, QStringLiteral("LabelLignes"),
                                 QStringLiteral("Lignes tapées (en rouge souligné, là où une autre touche a été "
                                                "tapée) :"));
    TexteLignes = new QLabel(this);
    Identify(TexteLignes, QStringLiteral("TexteLignes"), QStringLiteral("Lignes tapées"));
    TexteLignes->setTextFormat(Qt::RichText);
    TexteLignes->setText(MarkedLines(result.Lines, result.Mistakes));
    QStringList plainLines;
    for (const std::string &line : result.Lines)
        plainLines << Unicode(line);
    TexteLignes->setAccessibleDescription(plainLines.join(QLatin1Char('\n')));
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(15);
    TexteLignes->setFont(fixed);
    TexteLignes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    TexteLignes->setTextInteractionFlags(Qt::NoTextInteraction);
    TexteLignes->setFocusPolicy(Qt::TabFocus);
    TexteLignes->setContentsMargins(4, 4, 4, 4);
    linesTitle->setBuddy(TexteLignes);
    auto *linesArea = new QScrollArea(this);
    linesArea->setObjectName(QStringLiteral("ZoneLignes"));
    linesArea->setWidget(TexteLignes);
    linesArea->setWidgetResizable(true);
    linesArea->setFocusPolicy(Qt::NoFocus);
    linesArea->setBackgroundRole(QPalette::Base);
    const QSize linesSize = TexteLignes->sizeHint();
    const int lineHeight = QFontMetrics(fixed).lineSpacing();
    linesArea->setMinimumSize(std::min(linesSize.width(), 720) + 2 * linesArea->frameWidth() + 20,
                              std::min(linesSize.height(), VisibleLines * lineHeight + 8) +
                                  2 * linesArea->frameWidth());

    const auto count = result.Mistakes.size();
    const QString errors = count == 0   ? QStringLiteral("Aucune erreur")
                           : count == 1 ? QStringLiteral("1 erreur")
                                        : QStringLiteral("%1 erreurs").arg(count);
    LabelErreurs = TextLabel(this, QStringLiteral("LabelErreurs"), count == 0 ? errors : errors + QStringLiteral(" :"));
    ListeErreurs = new QListWidget(this);
    Identify(ListeErreurs, QStringLiteral("ListeErreurs"), errors);
    for (const Mistake &mistake : result.Mistakes)
        ListeErreurs->addItem(Name(mistake.Typed) + QStringLiteral(" tapé à la place de ") + Name(mistake.Expected));
    ListeErreurs->setCurrentRow(0);
    // Without a wrong key the heading says it all.
    ListeErreurs->setVisible(count > 0);
    // Whole rows, five at most before it scrolls.
    if (count > 0)
        ListeErreurs->setFixedHeight(ListeErreurs->sizeHintForRow(0) *
                                         static_cast<int>(std::min<std::size_t>(count, 5)) +
                                     2 * ListeErreurs->frameWidth());
    LabelErreurs->setBuddy(ListeErreurs);

    const std::string mostMissed = verdict::MostMissed(result.Mistakes, 3);
    LabelManquees = TextLabel(this, QStringLiteral("LabelManquees"),
                              (mostMissed.size() > 1 ? QStringLiteral("Touches les plus manquées : ")
                                                     : QStringLiteral("Touche la plus manquée : ")) +
                                  Unicode(keymap::WrittenNames(mostMissed, ", ")));
    LabelManquees->setVisible(!mostMissed.empty());

    // After a session of the learner's text comes the text's next lines, when it has more.
    BoutonSuivante = result.OwnText.Set() ? DialogButton(this, QStringLiteral("BoutonSuivante"),
                                                         QStringLiteral("&Suite du texte"), QStringLiteral("Alt+S"))
                                          : DialogButton(this, QStringLiteral("BoutonSuivante"),
                                                         QStringLiteral("&Leçon suivante"), QStringLiteral("Alt+L"));
    BoutonSuivante->setEnabled(!(result.OwnText.Set() && result.OwnText.Finished()));
    BoutonRecommencer = DialogButton(this, QStringLiteral("BoutonRecommencer"), QStringLiteral("&Recommencer"),
                                     QStringLiteral("Alt+R"));
    BoutonEntrainer = DialogButton(this, QStringLiteral("BoutonEntrainer"),
                                   QStringLiteral("S'&entraîner sur mes touches"), QStringLiteral("Alt+E"));
    BoutonEntrainer->setEnabled(drillOffered);
    BoutonFermer =
        DialogButton(this, QStringLiteral("BoutonFermer"), QStringLiteral("&Fermer"), QStringLiteral("Alt+F"));
    QPushButton *byDefault = !(passed || !goalSet)         ? BoutonRecommencer
                             : BoutonSuivante->isEnabled() ? BoutonSuivante
                                                           : BoutonFermer;
    byDefault->setDefault(true);

    auto *figures = new QVBoxLayout;
    figures->setSpacing(2);
    figures->addWidget(LabelTitre);
    figures->addWidget(LabelVerdict);
    figures->addWidget(LabelVitesse);
    figures->addWidget(LabelReussite);
    auto *mistakes = new QVBoxLayout;
    mistakes->setSpacing(2);
    mistakes->addWidget(LabelErreurs);
    mistakes->addWidget(ListeErreurs);
    mistakes->addWidget(LabelManquees);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : {BoutonSuivante, BoutonRecommencer, BoutonEntrainer, BoutonFermer})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(figures);
    layout->addSpacing(8);
    layout->addWidget(linesTitle);
    layout->addWidget(linesArea, 1);
    layout->addSpacing(4);
    layout->addLayout(mistakes);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    setTabOrder(TexteLignes, ListeErreurs);
    setTabOrder(ListeErreurs, BoutonSuivante);
    setTabOrder(BoutonSuivante, BoutonRecommencer);
    setTabOrder(BoutonRecommencer, BoutonEntrainer);
    setTabOrder(BoutonEntrainer, BoutonFermer);

    connect(BoutonSuivante, &QPushButton::clicked, this, [this] { Choose(Choice::NextLesson); });
    connect(BoutonRecommencer, &QPushButton::clicked, this, [this] { Choose(Choice::Again); });
    connect(BoutonEntrainer, &QPushButton::clicked, this, [this] { Choose(Choice::Drill); });
    connect(BoutonFermer, &QPushButton::clicked, this, &QDialog::reject);

    QString summary = verdictText + QStringLiteral(" : %1 %2 par minute, %3 % de réussite")
                                        .arg(judged.Speed.Shown)
                                        .arg(Characters(judged.Speed.Shown))
                                        .arg(judged.Success.Shown);
    for (const QString &amount : missing)
        summary += QStringLiteral(", ") + amount;
    setAccessibleDescription(summary + QLatin1Char('.'));

    // Every control holds back the keys of the quiet moment, whichever has the focus.
    installEventFilter(this);
    for (QWidget *control : findChildren<QWidget *>())
        control->installEventFilter(this);
    byDefault->setFocus(Qt::OtherFocusReason);
}

TResultat::~TResultat() = default;

QString TResultat::MarkedLines(const std::vector<std::string> &lines, const std::vector<Mistake> &mistakes)
{
    QStringList shown;
    for (std::size_t line = 0; line < lines.size(); ++line) {
        // Several wrong keys at one place mark it once; a place past the line's end marks nothing.
        std::vector<bool> marked(lines[line].size(), false);
        for (const Mistake &mistake : mistakes)
            if (mistake.Line == line && mistake.Position < marked.size())
                marked[mistake.Position] = true;
        QString text;
        for (std::size_t i = 0; i < marked.size(); ++i) {
            const QString ch = QString(cp1252::ToUnicode(static_cast<unsigned char>(lines[line][i]))).toHtmlEscaped();
            text += marked[i] ? QStringLiteral("<span style=\"color:%1; text-decoration:underline\">%2</span>")
                                    .arg(MarkColour, ch)
                              : ch;
        }
        shown << text;
    }
    // Spaces stand as typed, several in a row too.
    return QStringLiteral("<div style=\"white-space:pre\">") + shown.join(QStringLiteral("<br>")) +
           QStringLiteral("</div>");
}

void TResultat::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_shownAt = Clock();
    m_held.clear();
}

bool TResultat::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (!QuietKey(key->key()))
        return QDialog::eventFilter(watched, event);
    // A key held down never acts by repeating: only a fresh press chooses.
    if (key->isAutoRepeat())
        return true;
    const bool quiet = !m_shownAt || Clock() - *m_shownAt < QuietMs;
    if (event->type() == QEvent::KeyRelease)
        return m_held.erase(key->key()) > 0 || quiet;
    if (quiet)
        m_held.insert(key->key());
    return quiet;
}

void TResultat::Choose(Choice choice)
{
    m_chosen = choice;
    accept();
}
