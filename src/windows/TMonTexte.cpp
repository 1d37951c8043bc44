#include "windows/TMonTexte.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "learner/Learner.h"
#include "owntext/OwnText.h"
#include "platform/dialogs/ErrorBox.h"
#include "platform/dialogs/TOpenDialog.h"
#include "platform/dialogs/UserDialogs.h"
#include "platform/drawing/ControlIdentity.h"
#include "platform/drawing/Fonts.h"
#include "platform/text/SafeFile.h"
#include "platform/text/TutorError.h"
#include "windows/Announcement.h"

namespace {

const QString Title = QStringLiteral("Mon texte");

QString Count(std::size_t count, const QString &one, const QString &many)
{
    return QLocale(QLocale::French).toString(static_cast<qulonglong>(count)) + QLatin1Char(' ') +
           (count > 1 ? many : one);
}

} // namespace

TMonTexte::TMonTexte(QWidget *main, Learner &learner, std::function<bool(char32_t)> kept,
                     std::function<bool(char32_t)> typeable)
    : QDialog(main), m_learner(learner), m_kept(std::move(kept)), m_typeable(std::move(typeable))
{
    setObjectName(QStringLiteral("MonTexte"));
    setWindowTitle(QStringLiteral("Mon texte - Tapotis2002"));
    setModal(true);

    LabelTextes = new QLabel(QStringLiteral("&Vos textes :"), this);
    Identify(LabelTextes, QStringLiteral("LabelTextes"), QStringLiteral("Vos textes"));
    ListeTextes = new QListWidget(this);
    Identify(ListeTextes, QStringLiteral("ListeTextes"), QStringLiteral("Vos textes"));
    ListeTextes->setMinimumSize(520, 240);
    LabelTextes->setBuddy(ListeTextes);
    LabelConseil = new QLabel(this);
    Identify(LabelConseil, QStringLiteral("LabelConseil"));
    LabelConseil->setWordWrap(true);

    BoutonImporter = DialogButton(this, QStringLiteral("BoutonImporter"), QStringLiteral("&Importer un fichier…"),
                                  QStringLiteral("Alt+I"));
    BoutonColler = DialogButton(this, QStringLiteral("BoutonColler"), QStringLiteral("C&oller le texte copié"),
                                QStringLiteral("Alt+O"));
    BoutonCommencer =
        DialogButton(this, QStringLiteral("BoutonCommencer"), QStringLiteral("&Commencer"), QStringLiteral("Alt+C"));
    BoutonSupprimer =
        DialogButton(this, QStringLiteral("BoutonSupprimer"), QStringLiteral("&Supprimer"), QStringLiteral("Alt+S"));
    BoutonFermer =
        DialogButton(this, QStringLiteral("BoutonFermer"), QStringLiteral("&Fermer"), QStringLiteral("Alt+F"));
    BoutonCommencer->setDefault(true);

    auto *side = new QVBoxLayout;
    for (QPushButton *button : {BoutonImporter, BoutonColler})
        side->addWidget(button);
    side->addSpacing(12);
    side->addWidget(BoutonSupprimer);
    side->addStretch();
    auto *list = new QVBoxLayout;
    list->addWidget(LabelTextes);
    list->addWidget(ListeTextes, 1);
    list->addWidget(LabelConseil);
    auto *top = new QHBoxLayout;
    top->addLayout(list, 1);
    top->addLayout(side);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(BoutonCommencer);
    bottom->addWidget(BoutonFermer);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    setTabOrder(ListeTextes, BoutonCommencer);
    setTabOrder(BoutonCommencer, BoutonFermer);
    setTabOrder(BoutonFermer, BoutonImporter);
    setTabOrder(BoutonImporter, BoutonColler);
    setTabOrder(BoutonColler, BoutonSupprimer);

    connect(BoutonImporter, &QPushButton::clicked, this, GuardedSlot(this, [this] { ImportFile(); }));
    connect(BoutonColler, &QPushButton::clicked, this, GuardedSlot(this, [this] { Paste(); }));
    connect(BoutonCommencer, &QPushButton::clicked, this, GuardedSlot(this, [this] { Start(); }));
    connect(BoutonSupprimer, &QPushButton::clicked, this, GuardedSlot(this, [this] { RemoveSelected(); }));
    connect(BoutonFermer, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListeTextes, &QListWidget::itemActivated, this, GuardedSlot(this, [this] { Start(); }));

    m_learner.LoadTexts();
    Fill(std::string());
    if (ListeTextes->count() > 0) {
        ListeTextes->setFocus(Qt::OtherFocusReason);
        ReadCurrentItemOnceShown(ListeTextes);
    } else {
        BoutonImporter->setFocus(Qt::OtherFocusReason);
    }
}

QString TMonTexte::Describe(const OwnTexts::Entry &entry)
{
    QString where;
    if (entry.Position == 0)
        where = QStringLiteral("pas encore commencé");
    else if (entry.Finished())
        where = QStringLiteral("terminé");
    else
        where = QStringLiteral("ligne %1 sur %2 (%3 %)")
                    .arg(entry.Position + 1)
                    .arg(entry.Lines)
                    .arg(entry.Position * 100 / std::max<std::size_t>(entry.Lines, 1));
    return QString::fromStdString(entry.Title) + QStringLiteral(" — ") +
           Count(entry.Characters, QStringLiteral("caractère"), QStringLiteral("caractères")) + QStringLiteral(" — ") +
           where;
}

void TMonTexte::Fill(const std::string &selected)
{
    ListeTextes->clear();
    int current = 0;
    for (const OwnTexts::Entry &entry : m_learner.Texts.Entries()) {
        if (entry.File == selected)
            current = ListeTextes->count();
        auto *item = new QListWidgetItem(Describe(entry), ListeTextes);
        item->setData(Qt::UserRole, QString::fromStdString(entry.File));
    }
    const bool any = ListeTextes->count() > 0;
    if (any)
        ListeTextes->setCurrentRow(current);
    // The window keeps its size: the line under the list only changes its words.
    LabelConseil->setText(
        any ? QStringLiteral("Choisissez un texte et appuyez sur Commencer : 8 lignes vous attendent, "
                             "à partir de là où vous vous êtes arrêté.")
            : QStringLiteral("Aucun texte pour l'instant : importez un fichier texte, ou copiez un "
                             "texte ailleurs et collez-le ici."));
    LabelConseil->setAccessibleName(LabelConseil->text());
    BoutonCommencer->setEnabled(any);
    BoutonSupprimer->setEnabled(any);
    // Without a text to start, Return imports one.
    (any ? BoutonCommencer : BoutonImporter)->setDefault(true);
    (any ? BoutonImporter : BoutonCommencer)->setDefault(false);
}

std::string TMonTexte::Selected() const
{
    const QListWidgetItem *item = ListeTextes->currentItem();
    return item ? item->data(Qt::UserRole).toString().toStdString() : std::string();
}

void TMonTexte::Import(const std::string &bytes, const std::string &fileName)
{
    if (bytes.size() > TextLimit)
        throw TutorError(QStringLiteral("Ce texte dépasse %1 : il ne peut pas être ajouté à vos textes")
                             .arg(safefile::LimitText(TextLimit)));
    const owntext::Conversion conversion = owntext::MakeTypeable(owntext::Decode(bytes).Text, m_kept);
    // What the learner's keyboard makes of the text as kept, as its sessions will, line by line.
    const owntext::Conversion onKeyboard = owntext::MakeTypeable(owntext::Decode(conversion.Text).Text, m_typeable);
    if (onKeyboard.Text.empty())
        throw TutorError(QStringLiteral("Ce texte n'a rien que votre clavier puisse taper"));
    const std::string title = owntext::TitleOf(conversion.Text, fileName);
    const OwnTexts::Entry &entry = m_learner.AddText(title, conversion.Text);
    const std::string file = entry.File;
    const QString added =
        QStringLiteral("« %1 » est ajouté à vos textes (%2). ")
            .arg(QString::fromStdString(title), Count(entry.Lines, QStringLiteral("ligne"), QStringLiteral("lignes")));
    Fill(file);
    UserDialogs::Of(this).ShowMessage(Title, added + QString::fromStdString(owntext::Report(conversion, onKeyboard)),
                                      dialogs::Icon::Information);
    // The new text is the current one, and a screen reader says so.
    ReadCurrentItemOnceShown(ListeTextes);
}

void TMonTexte::ImportFile()
{
    TOpenDialog chooser(QStringLiteral("Fichiers texte|*.txt *.TXT *.text"), QStringLiteral("*.txt"));
    chooser.InitialDir = QDir::homePath();
    const QString path = UserDialogs::Of(this).ChooseFile(this, chooser, QStringLiteral("Importer un fichier"));
    if (path.isEmpty())
        return;
    Import(safefile::ReadWholeFile(path, TextLimit), QFileInfo(path).fileName().toStdString());
}

void TMonTexte::Paste()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (text.trimmed().isEmpty()) {
        UserDialogs::Of(this).ShowMessage(Title, QStringLiteral("Il n'y a aucun texte copié à coller."),
                                          dialogs::Icon::Warning);
        return;
    }
    const QByteArray bytes = text.toUtf8();
    Import(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())), std::string());
}

void TMonTexte::Start()
{
    m_chosen = Selected();
    if (!m_chosen.empty())
        accept();
}

void TMonTexte::RemoveSelected()
{
    const std::string file = Selected();
    const OwnTexts::Entry *entry = m_learner.Texts.Find(file);
    if (!entry)
        return;
    if (!UserDialogs::Of(this).Confirm(Title, QStringLiteral("Supprimer le texte « %1 » ? Il ne pourra pas être "
                                                             "retrouvé.")
                                                  .arg(QString::fromStdString(entry->Title))))
        return;
    const int row = ListeTextes->currentRow();
    m_learner.RemoveText(file);
    const auto &entries = m_learner.Texts.Entries();
    Fill(entries.empty() ? std::string() : entries[std::min<std::size_t>(row, entries.size() - 1)].File);
    if (ListeTextes->count() > 0)
        ReadCurrentItemOnceShown(ListeTextes);
    else
        BoutonImporter->setFocus(Qt::OtherFocusReason);
}
