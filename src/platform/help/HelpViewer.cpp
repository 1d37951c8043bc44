#include "platform/help/HelpViewer.h"

#include <memory>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/drawing/ControlIdentity.h"
#include "platform/text/SafeFile.h"

namespace helpviewer {

namespace {

const QString ProgramName = QStringLiteral("Tapotis2002");

// One reading of the help file, shared by the windows that show it; a new reading replaces it without
// disturbing a window still on the old one.
struct Help {
    HelpText Text;
    QList<IndexEntry> Index;
};
using SharedHelp = std::shared_ptr<const Help>;

void BringToFront(QWidget *window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void CentreOnScreen(QWidget *window, QPoint offset = {})
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center() + offset);
        window->move(frame.topLeft());
    }
}

QPushButton *Button(QWidget *parent, const QString &name, const QString &text, const QString &hint = QString())
{
    auto *button = new QPushButton(text, parent);
    Identify(button, name, hint, hint.isEmpty() ? HintShown::No : HintShown::Yes);
    // The button is read by its text; the hint tells more.
    button->setAccessibleName(text);
    button->setAccessibleDescription(hint);
    button->setAutoDefault(false);
    return button;
}

void OpenContents(const SharedHelp &help, int topic);

// The document a topic is shown in: nothing it names is ever loaded, from the disk, the network or the help file
// itself. A picture gets a blank one rather than nothing, since Qt opens an image file by its name itself when it
// is given nothing.
class SealedDocument : public QTextDocument
{
public:
    explicit SealedDocument(QObject *parent) : QTextDocument(parent)
    {
        setResourceProvider([](const QUrl &) { return QVariant(); });
    }

protected:
    QVariant loadResource(int type, const QUrl &) override
    {
        if (type != QTextDocument::ImageResource)
            return QVariant();
        static const QImage blank = [] {
            QImage image(1, 1, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            return image;
        }();
        return blank;
    }
};

// What to do once the last help window has gone (see ShowTopics).
std::function<void()> &WhenAllClosed()
{
    static std::function<void()> then;
    return then;
}

void CheckAllClosed();

// A help window hidden or closed: the reader may have left the help. Checked once the event is over, since a
// window is hidden just after the other one is shown in its place.
void NoteHidden()
{
    QTimer::singleShot(0, qApp, [] { CheckAllClosed(); });
}

// The topic window: one topic's text, with the way back to the contents, to the topic seen before and to its
// neighbours in the contents. Links to other topics open them here.
class TopicView : public QWidget
{
public:
    TopicView()
    {
        setAttribute(Qt::WA_DeleteOnClose);
        Identify(this, QStringLiteral("HelpTopic"));
        auto *layout = new QVBoxLayout(this);
        auto *buttons = new QHBoxLayout;
        m_contents = Button(this, QStringLiteral("BoutonSommaire"), QStringLiteral("Sommaire"),
                            QStringLiteral("Revenir aux rubriques d'aide"));
        m_back = Button(this, QStringLiteral("BoutonRetour"), QStringLiteral("Retour"),
                        QStringLiteral("Revenir à la rubrique lue avant celle-ci"));
        m_previous = Button(this, QStringLiteral("BoutonPrecedent"), QStringLiteral("Précédent"),
                            QStringLiteral("Rubrique précédente du sommaire"));
        m_next = Button(this, QStringLiteral("BoutonSuivant"), QStringLiteral("Suivant"),
                        QStringLiteral("Rubrique suivante du sommaire"));
        for (QPushButton *button : {m_contents, m_back, m_previous, m_next})
            buttons->addWidget(button);
        buttons->addStretch();
        layout->addLayout(buttons);

        m_browser = new QTextBrowser(this);
        Identify(m_browser, QStringLiteral("TexteRubrique"));
        m_browser->setDocument(new SealedDocument(m_browser));
        // Links are followed here, among the topics; nothing is ever loaded from elsewhere.
        m_browser->setOpenLinks(false);
        m_browser->setOpenExternalLinks(false);
        layout->addWidget(m_browser);
        resize(620, 560);

        connect(m_contents, &QPushButton::clicked, this, [this] { OpenContents(m_help, m_current); });
        connect(m_back, &QPushButton::clicked, this, [this] { GoBack(); });
        connect(m_previous, &QPushButton::clicked, this, [this] { GoTo(m_current - 1); });
        connect(m_next, &QPushButton::clicked, this, [this] { GoTo(m_current + 1); });
        connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) { Follow(url); });
        auto *back = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this);
        connect(back, &QShortcut::activated, this, [this] { GoBack(); });
        auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        connect(escape, &QShortcut::activated, this, [this] { close(); });
    }

    void Show(const SharedHelp &help, int topic)
    {
        // The history belongs to one reading of the file: its positions mean nothing in another.
        if (help != m_help) {
            m_help = help;
            m_history.clear();
            m_current = -1;
            m_browser->document()->setDefaultStyleSheet(m_help->Text.Style);
        }
        GoTo(topic);
    }

private:
    void GoTo(int topic)
    {
        if (topic < 0 || topic >= m_help->Text.Topics.size() || topic == m_current)
            return;
        if (m_current >= 0)
            m_history << m_current;
        Display(topic);
    }

    void GoBack()
    {
        if (!m_history.isEmpty())
            Display(m_history.takeLast());
    }

    // Only "#id" leads anywhere: another file or a web address is never opened.
    void Follow(const QUrl &url)
    {
        if (!url.scheme().isEmpty() || !url.path().isEmpty() || !url.hasFragment())
            return;
        const int topic = FindTopic(m_help->Text.Topics, url.fragment());
        if (topic >= 0)
            GoTo(topic);
        else
            m_browser->scrollToAnchor(url.fragment());
    }

    void Display(int topic)
    {
        m_current = topic;
        const Topic &shown = m_help->Text.Topics[topic];
        m_browser->setHtml(QStringLiteral("<html><body>") + shown.Html + QStringLiteral("</body></html>"));
        setWindowTitle(shown.Title + QStringLiteral(" - Aide de ") + ProgramName);
        m_back->setEnabled(!m_history.isEmpty());
        m_previous->setEnabled(topic > 0);
        m_next->setEnabled(topic + 1 < m_help->Text.Topics.size());
    }

    SharedHelp m_help;
    int m_current = -1;
    QList<int> m_history;
    QTextBrowser *m_browser = nullptr;
    QPushButton *m_contents = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;

protected:
    void hideEvent(QHideEvent *event) override
    {
        QWidget::hideEvent(event);
        NoteHidden();
    }
};

QPointer<TopicView> &CurrentTopicView()
{
    static QPointer<TopicView> view;
    return view;
}

void OpenTopic(const SharedHelp &help, int topic)
{
    QPointer<TopicView> &view = CurrentTopicView();
    if (!view) {
        view = new TopicView;
        CentreOnScreen(view, QPoint(40, 20));
    }
    view->Show(help, topic);
    BringToFront(view);
}

// The "Help Topics" window: the contents as a tree of chapters and topics, and the index of keywords.
class TopicsView : public QWidget
{
public:
    TopicsView()
    {
        setAttribute(Qt::WA_DeleteOnClose);
        Identify(this, QStringLiteral("HelpViewer"));
        setWindowTitle(QStringLiteral("Rubriques d'aide - ") + ProgramName);
        auto *layout = new QVBoxLayout(this);

        m_tabs = new QTabWidget(this);
        Identify(m_tabs, QStringLiteral("Onglets"));
        layout->addWidget(m_tabs);

        auto *contentsPage = new QWidget(m_tabs);
        auto *contentsLayout = new QVBoxLayout(contentsPage);
        contentsLayout->addWidget(
            new QLabel(QStringLiteral("Cliquez sur une rubrique, puis sur Afficher."), contentsPage));
        m_tree = new QTreeWidget(contentsPage);
        Identify(m_tree, QStringLiteral("Sommaire"));
        m_tree->setHeaderHidden(true);
        m_tree->setColumnCount(1);
        contentsLayout->addWidget(m_tree);
        m_tabs->addTab(contentsPage, QStringLiteral("Sommaire"));

        auto *indexPage = new QWidget(m_tabs);
        auto *indexLayout = new QVBoxLayout(indexPage);
        auto *prompt = new QLabel(QStringLiteral("&Tapez les premières lettres du mot recherché"), indexPage);
        indexLayout->addWidget(prompt);
        m_search = new QLineEdit(indexPage);
        Identify(m_search, QStringLiteral("IndexSaisie"));
        prompt->setBuddy(m_search);
        indexLayout->addWidget(m_search);
        indexLayout->addWidget(
            new QLabel(QStringLiteral("Cliquez sur l'entrée d'index, puis sur Afficher."), indexPage));
        m_list = new QListWidget(indexPage);
        Identify(m_list, QStringLiteral("IndexListe"));
        indexLayout->addWidget(m_list);
        m_tabs->addTab(indexPage, QStringLiteral("Index"));

        auto *buttons = new QHBoxLayout;
        buttons->addStretch();
        auto *show = Button(this, QStringLiteral("Afficher"), QStringLiteral("Afficher"));
        auto *close = Button(this, QStringLiteral("Fermer"), QStringLiteral("Fermer"));
        buttons->addWidget(show);
        buttons->addWidget(close);
        layout->addLayout(buttons);
        resize(440, 520);

        connect(show, &QPushButton::clicked, this, [this] { ShowSelected(); });
        connect(close, &QPushButton::clicked, this, [this] { this->close(); });
        auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        connect(escape, &QShortcut::activated, this, [this] { this->close(); });
        connect(m_tree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
            if (item->data(0, Qt::UserRole).toInt() >= 0)
                ShowSelected();
        });
        connect(m_list, &QListWidget::itemActivated, this, [this] { ShowSelected(); });
        connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
            const QSignalBlocker quiet(m_search);
            m_search->setText(item->text());
        });
        connect(m_search, &QLineEdit::textChanged, this, [this](const QString &typed) { SelectKeyword(typed); });
        connect(m_search, &QLineEdit::returnPressed, this, [this] { ShowSelected(); });
        connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
            if (tab == IndexTab)
                m_search->setFocus();
            else
                m_tree->setFocus();
        });
        // The arrow keys in the search field move in the list, as the reader expects while typing.
        m_search->installEventFilter(this);
    }

    // Shows a new reading of the file, staying on the topic chosen before when it is still there.
    void Load(const SharedHelp &help)
    {
        const QString kept = m_help && m_tree->currentItem() ? CurrentTopicId() : QString();
        m_help = help;
        setWindowTitle(QStringLiteral("Rubriques d'aide - ") + ProgramName);

        m_tree->clear();
        QTreeWidgetItem *chapter = nullptr;
        QString chapterTitle;
        const QList<Topic> &topics = m_help->Text.Topics;
        for (qsizetype i = 0; i < topics.size(); ++i) {
            if (topics[i].Chapter != chapterTitle) {
                chapterTitle = topics[i].Chapter;
                chapter = nullptr;
                if (!chapterTitle.isEmpty()) {
                    chapter = new QTreeWidgetItem(m_tree, QStringList{chapterTitle});
                    chapter->setData(0, Qt::UserRole, -1);
                    chapter->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
                }
            }
            auto *item = chapter ? new QTreeWidgetItem(chapter, QStringList{topics[i].Title})
                                 : new QTreeWidgetItem(m_tree, QStringList{topics[i].Title});
            item->setData(0, Qt::UserRole, static_cast<int>(i));
            item->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
        }
        m_tree->expandAll();
        const int keptTopic = FindTopic(topics, kept);
        SelectTopic(keptTopic >= 0 ? keptTopic : 0);

        m_list->clear();
        for (const IndexEntry &entry : m_help->Index)
            m_list->addItem(entry.Keyword);
        SelectKeyword(m_search->text());
    }

    void SelectTopic(int topic)
    {
        for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
            if ((*it)->data(0, Qt::UserRole).toInt() == topic) {
                m_tree->setCurrentItem(*it);
                m_tree->scrollToItem(*it);
                return;
            }
        }
    }

    // The topic of that id in this window's reading, which may be newer than the one it was seen in.
    void SelectTopicId(const QString &id)
    {
        m_tabs->setCurrentIndex(ContentsTab);
        const int topic = FindTopic(m_help->Text.Topics, id);
        if (topic >= 0)
            SelectTopic(topic);
    }

protected:
    void hideEvent(QHideEvent *event) override
    {
        QWidget::hideEvent(event);
        NoteHidden();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_search && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
                QCoreApplication::sendEvent(m_list, event);
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }

private:
    static constexpr int ContentsTab = 0;
    static constexpr int IndexTab = 1;

    QString CurrentTopicId() const
    {
        const int topic = m_tree->currentItem()->data(0, Qt::UserRole).toInt();
        return topic >= 0 && topic < m_help->Text.Topics.size() ? m_help->Text.Topics[topic].Id : QString();
    }

    void SelectKeyword(const QString &typed)
    {
        const int row = FindKeyword(m_help->Index, typed);
        if (row < 0)
            return;
        m_list->setCurrentRow(row);
        m_list->scrollToItem(m_list->item(row), QAbstractItemView::PositionAtTop);
    }

    void ShowSelected()
    {
        if (m_tabs->currentIndex() == ContentsTab) {
            QTreeWidgetItem *item = m_tree->currentItem();
            if (!item)
                return;
            const int topic = item->data(0, Qt::UserRole).toInt();
            if (topic < 0)
                item->setExpanded(!item->isExpanded());
            else
                Open(topic);
            return;
        }
        const int row = m_list->currentRow();
        if (row < 0 || row >= m_help->Index.size())
            return;
        const IndexEntry &entry = m_help->Index[row];
        if (entry.Topics.size() == 1)
            Open(entry.Topics.front());
        else
            Choose(entry);
    }

    void Open(int topic)
    {
        OpenTopic(m_help, topic);
        hide();
    }

    // A keyword carried by several topics: the reader picks one from a short list.
    void Choose(const IndexEntry &entry)
    {
        auto *dialog = new QDialog(this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        Identify(dialog, QStringLiteral("RubriquesTrouvees"));
        dialog->setWindowTitle(QStringLiteral("Rubriques trouvées"));
        auto *layout = new QVBoxLayout(dialog);
        layout->addWidget(new QLabel(QStringLiteral("Cliquez sur une rubrique, puis sur Afficher."), dialog));
        auto *list = new QListWidget(dialog);
        Identify(list, QStringLiteral("ListeRubriques"));
        for (int topic : entry.Topics) {
            auto *item = new QListWidgetItem(m_help->Text.Topics[topic].Title, list);
            item->setData(Qt::UserRole, topic);
        }
        list->setCurrentRow(0);
        layout->addWidget(list);
        auto *buttons = new QDialogButtonBox(dialog);
        QPushButton *show = buttons->addButton(QStringLiteral("Afficher"), QDialogButtonBox::AcceptRole);
        show->setObjectName(QStringLiteral("Afficher"));
        buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole)
            ->setObjectName(QStringLiteral("Annuler"));
        show->setDefault(true);
        layout->addWidget(buttons);

        connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
        connect(list, &QListWidget::itemActivated, dialog, &QDialog::accept);
        // The reading is held by the dialog's handler: a new reading meanwhile does not shift the topics chosen.
        connect(dialog, &QDialog::accepted, this, [this, list, help = m_help] {
            if (const QListWidgetItem *item = list->currentItem()) {
                OpenTopic(help, item->data(Qt::UserRole).toInt());
                hide();
            }
        });
        dialog->open();
    }

    SharedHelp m_help;
    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_tree = nullptr;
    QLineEdit *m_search = nullptr;
    QListWidget *m_list = nullptr;
};

QPointer<TopicsView> &CurrentTopicsView()
{
    static QPointer<TopicsView> view;
    return view;
}

TopicsView *EnsureTopicsView()
{
    QPointer<TopicsView> &view = CurrentTopicsView();
    if (!view) {
        view = new TopicsView;
        CentreOnScreen(view);
    }
    return view;
}

void OpenContents(const SharedHelp &help, int topic)
{
    const bool open = !CurrentTopicsView().isNull();
    TopicsView *view = EnsureTopicsView();
    if (!open)
        view->Load(help);
    if (topic >= 0 && topic < help->Text.Topics.size())
        view->SelectTopicId(help->Text.Topics[topic].Id);
    BringToFront(view);
}

QString RefusalText(Refusal refusal, const QString &path)
{
    switch (refusal) {
    case Refusal::TooLarge:
        return QStringLiteral("Le fichier d'aide %1 est trop volumineux : sa taille ne doit pas dépasser %2.")
            .arg(path, safefile::LimitText(safefile::HelpLimit));
    case Refusal::TooDeep:
        return QStringLiteral("Le fichier d'aide %1 est trop profondément imbriqué : ses balises ne doivent pas "
                              "s'imbriquer sur plus de %2 niveaux.")
            .arg(path, QString::number(NestingLimit));
    case Refusal::TooComplex:
        return QStringLiteral("Le fichier d'aide %1 est trop chargé : une rubrique ne doit pas compter plus de %2 "
                              "balises, ni ses styles plus de %3 caractères.")
            .arg(path, QString::number(TopicElementLimit), QString::number(StyleLimit));
    case Refusal::None:
    case Refusal::CannotOpen: break;
    }
    return QStringLiteral("Impossible d'ouvrir le fichier d'aide %1.").arg(path);
}

void CheckAllClosed()
{
    const QWidget *topics = CurrentTopicsView();
    const QWidget *topic = CurrentTopicView();
    if ((topics && topics->isVisible()) || (topic && topic->isVisible()) || !WhenAllClosed())
        return;
    const std::function<void()> then = std::move(WhenAllClosed());
    WhenAllClosed() = nullptr;
    then();
}

} // namespace

void ShowTopics(const QString &helpFile, std::function<void()> whenAllClosed, const Report &report)
{
    WhenAllClosed() = std::move(whenAllClosed);
    HelpReading reading = ReadHelp(helpFile);
    if (reading.Refused != Refusal::None) {
        const QString path = QDir::isAbsolutePath(helpFile) ? helpFile : QDir::current().absoluteFilePath(helpFile);
        report(QStringLiteral("Aide"), RefusalText(reading.Refused, QDir::toNativeSeparators(path)));
        // Nothing opened: the reader is back where they were at once.
        CheckAllClosed();
        return;
    }
    auto help = std::make_shared<Help>();
    help->Index = BuildIndex(reading.Text.Topics);
    help->Text = std::move(reading.Text);
    TopicsView *view = EnsureTopicsView();
    view->Load(help);
    BringToFront(view);
}

QWidget *TopicsWindow()
{
    return CurrentTopicsView();
}

QWidget *TopicWindow()
{
    return CurrentTopicView();
}

} // namespace helpviewer
