#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QTreeWidget>

#include "platform/HelpViewer.h"

using helpviewer::BuildIndex;
using helpviewer::FindKeyword;
using helpviewer::FindTopic;
using helpviewer::HelpText;
using helpviewer::IndexEntry;
using helpviewer::Topic;

namespace {

const QString HelpPath = QStringLiteral(TUTOR_HELP_FILE);

QString Plain(const Topic &topic)
{
    return QTextDocumentFragment::fromHtml(topic.Html).toPlainText().simplified();
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

Topic WithKeywords(const QString &id, const QStringList &keywords)
{
    Topic topic;
    topic.Id = id;
    topic.Title = id;
    topic.Keywords = keywords;
    return topic;
}

QStringList Keywords(const QList<IndexEntry> &index)
{
    QStringList words;
    for (const IndexEntry &entry : index)
        words << entry.Keyword;
    return words;
}

// ---- The program's own help file ----

class HelpFile : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        const std::optional<HelpText> help = helpviewer::ReadHelp(HelpPath);
        ASSERT_TRUE(help.has_value()) << HelpPath.toStdString();
        s_help = *help;
    }
    static void TearDownTestSuite() { s_help = HelpText(); }

    static const Topic *ById(const QString &id)
    {
        const int topic = FindTopic(s_help.Topics, id);
        return topic < 0 ? nullptr : &s_help.Topics[topic];
    }

    static inline HelpText s_help;
};

TEST_F(HelpFile, IsUtf8FrenchText)
{
    QFile file(HelpPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(file.readAll());
    EXPECT_FALSE(utf8.hasError());
    for (const char *word : {"Entrainement", "Dictée", "défilant", "Échap", "à", "ç", "œ", "€"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(word))) << word;
    // UTF-8 read back as Latin-1 somewhere along the way.
    EXPECT_FALSE(text.contains(QString::fromUtf8("Ã©")));
}

TEST_F(HelpFile, EverySectionIsATopicWithItsOwnIdTitleAndKeywords)
{
    QFile file(HelpPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    // Nothing lost to a stray tag, and every topic named in the file rather than by the reader.
    EXPECT_EQ(text.count(QStringLiteral("<section id=\"")), s_help.Topics.size());
    ASSERT_GE(s_help.Topics.size(), 15);

    QSet<QString> ids;
    for (const Topic &topic : s_help.Topics) {
        EXPECT_FALSE(ids.contains(topic.Id)) << topic.Id.toStdString();
        ids.insert(topic.Id);
        EXPECT_NE(topic.Title, topic.Id) << "no heading in " << topic.Id.toStdString();
        EXPECT_FALSE(topic.Keywords.isEmpty()) << topic.Id.toStdString();
        EXPECT_FALSE(topic.Chapter.isEmpty()) << topic.Id.toStdString();
    }
    EXPECT_EQ(s_help.Title, QStringLiteral("Aide de Tapotis2002"));
}

TEST_F(HelpFile, EveryLinkLeadsToATopic)
{
    static const QRegularExpression href(QStringLiteral(R"re(href\s*=\s*"([^"]*)")re"));
    int links = 0;
    QSet<QString> reached;
    for (const Topic &topic : s_help.Topics) {
        for (const QRegularExpressionMatch &match : href.globalMatch(topic.Html)) {
            ++links;
            const QString target = match.captured(1);
            ASSERT_TRUE(target.startsWith(QLatin1Char('#'))) << topic.Id.toStdString() << ": " << target.toStdString();
            EXPECT_GE(FindTopic(s_help.Topics, target.mid(1)), 0)
                << topic.Id.toStdString() << ": " << target.toStdString();
            reached.insert(target.mid(1));
        }
    }
    EXPECT_GT(links, 40);
    EXPECT_GE(reached.size(), 12);
}

TEST_F(HelpFile, EveryIndexEntryLeadsToATopicAndEveryTopicIsIndexed)
{
    const QList<IndexEntry> index = BuildIndex(s_help.Topics);
    ASSERT_GT(index.size(), 100);
    QSet<int> indexed;
    for (const IndexEntry &entry : index) {
        EXPECT_FALSE(entry.Topics.isEmpty()) << entry.Keyword.toStdString();
        for (int topic : entry.Topics) {
            EXPECT_TRUE(topic >= 0 && topic < s_help.Topics.size()) << entry.Keyword.toStdString();
            indexed.insert(topic);
        }
    }
    EXPECT_EQ(indexed.size(), s_help.Topics.size());
}

TEST_F(HelpFile, EachSubjectHasATopicTellingWhatTheLearnerNeeds)
{
    const std::pair<const char *, std::vector<const char *>> subjects[] = {
        {"presentation", {"AZERTY", "rouge", "refusée"}},
        {"demarrage", {"Cliquez sur l'image", "Entrez votre nom et prénom (A..Z)",
                       "Création du répertoire pour l'utilsateur", "Annuler"}},
        {"entrainement", {"premier bouton", "rangée de repos", "Dictees/Level1.dll"}},
        {"phrases", {"deuxième bouton", "accents", "Dictees/Level2.dll"}},
        {"texte-defilant", {"troisième bouton", "Vitesse du défilement", "1", "7", "revient par la droite",
                            "Dictees/Level3.dll"}},
        {"dictees", {"Dictée numéro 01", "Dictée numéro 10", "Réécouter la dictée", "Ouvrir une dictée..."}},
        {"dictee-personnelle", {"première ligne", ".wav", "Windows-1252", "UTF-8", "« »"}},
        {"pause-cafe", {"main", "dixièmes de seconde", "pas enregistrés", "autre exercice"}},
        {"chronometre", {"première touche juste", "battements", "temps réel", "Justes", "Erreurs",
                         "caractères par minute", "réussite"}},
        {"guide-clavier", {"jaune", "Maj", "touche morte", "semi-transparente", "six degrés"}},
        {"sons", {"Activer/Désactiver le son", "Activer/Désactiver la prononciation des touches",
                  "Vitesse de la voix en Hz"}},
        {"statistiques", {"rouge", "bleu", "Config.txt", "Marie/Config.txt", "801"}},
        {"disposition", {"Q S D F", "J K L M", "barre d'espace", "AltGr", "@", "€"}},
        {"jeu", {"Zid-Ediveza", "3 vies", "Entrée", "Échap", "score"}},
        {"aide-quitter", {"réduite", "porte"}},
        {"conseils", {"précision", "regardez"}},
    };
    for (const auto &[id, phrases] : subjects) {
        const Topic *topic = ById(QString::fromUtf8(id));
        ASSERT_NE(topic, nullptr) << id;
        const QString text = Plain(*topic);
        for (const char *phrase : phrases)
            EXPECT_TRUE(text.contains(QString::fromUtf8(phrase), Qt::CaseInsensitive)) << id << ": " << phrase;
    }
}

// ---- Reading a help document ----

TEST(HelpParsing, SectionsBecomeTopicsUnderTheirChapters)
{
    const QString html = QStringLiteral(
        "<html><head><title>Aide &amp; astuces</title><style>h2 { color: red; }</style></head><body>\n"
        "<section id=\"avant\" data-keywords=\"début\"><h2>Avant tout</h2><p>Texte.</p></section>\n"
        "<h1>Les <b>exercices</b></h1>\n"
        "<!-- <section id=\"cache\"><h2>Mis de côté</h2></section> -->\n"
        "<SECTION data-keywords=' Lettres ;; lettres; A &amp; B ;é' ID='lettres'>\n"
        "  <h2 class=\"titre\">Les <i>lettres</i></h2><p>Voir <a href=\"#avant\">avant</a>.</p>\n"
        "</SECTION>\n"
        "<section><p>Sans titre.</p></section>\n"
        "</body></html>");
    const HelpText help = helpviewer::ParseHelp(html);
    EXPECT_EQ(help.Title, QStringLiteral("Aide & astuces"));
    EXPECT_TRUE(help.Style.contains(QStringLiteral("color: red")));
    ASSERT_EQ(help.Topics.size(), 3);

    EXPECT_EQ(help.Topics[0].Id, QStringLiteral("avant"));
    EXPECT_EQ(help.Topics[0].Title, QStringLiteral("Avant tout"));
    EXPECT_TRUE(help.Topics[0].Chapter.isEmpty());
    EXPECT_EQ(help.Topics[0].Keywords, QStringList{QStringLiteral("début")});

    const Topic &letters = help.Topics[1];
    EXPECT_EQ(letters.Id, QStringLiteral("lettres"));
    EXPECT_EQ(letters.Title, QStringLiteral("Les lettres"));
    EXPECT_EQ(letters.Chapter, QStringLiteral("Les exercices"));
    EXPECT_EQ(letters.Keywords,
              (QStringList{QStringLiteral("Lettres"), QStringLiteral("A & B"), QStringLiteral("é")}));
    EXPECT_TRUE(letters.Html.startsWith(QStringLiteral("<h2")));
    EXPECT_TRUE(letters.Html.contains(QStringLiteral("href=\"#avant\"")));

    // Still a topic, reachable from the contents, under a name of its own.
    EXPECT_EQ(help.Topics[2].Chapter, QStringLiteral("Les exercices"));
    EXPECT_FALSE(help.Topics[2].Id.isEmpty());
    EXPECT_EQ(help.Topics[2].Title, help.Topics[2].Id);
    EXPECT_NE(help.Topics[2].Id, letters.Id);
}

TEST(HelpParsing, PlainPageIsOneTopicAndEmptyPageNone)
{
    const HelpText page =
        helpviewer::ParseHelp(QStringLiteral("<html><body><h1>Rubriques d'aide</h1><p>Bonjour</p></body></html>"));
    ASSERT_EQ(page.Topics.size(), 1);
    EXPECT_EQ(page.Topics[0].Title, QStringLiteral("Rubriques d'aide"));
    EXPECT_TRUE(page.Topics[0].Html.contains(QStringLiteral("Bonjour")));
    EXPECT_TRUE(page.Topics[0].Chapter.isEmpty());

    EXPECT_TRUE(helpviewer::ParseHelp(QString()).Topics.isEmpty());
    EXPECT_TRUE(helpviewer::ParseHelp(QStringLiteral("<html><body>  </body></html>")).Topics.isEmpty());
}

TEST(HelpParsing, FileIsReadAsUtf8OrElseWindows1252AndMissingFileGivesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString utf8 = dir.filePath(QStringLiteral("utf8.hlp"));
    ASSERT_TRUE(WriteFile(utf8, "\xEF\xBB\xBF<section id=\"a\"><h2>Pr\xC3\xA9sentation</h2></section>"));
    const std::optional<HelpText> fromUtf8 = helpviewer::ReadHelp(utf8);
    ASSERT_TRUE(fromUtf8.has_value());
    ASSERT_EQ(fromUtf8->Topics.size(), 1);
    EXPECT_EQ(fromUtf8->Topics[0].Title, QStringLiteral("Présentation"));

    const QString cp1252 = dir.filePath(QStringLiteral("cp1252.hlp"));
    ASSERT_TRUE(WriteFile(cp1252, "<section id=\"a\"><h2>Pr\xE9sentation \x80</h2></section>"));
    const std::optional<HelpText> fromCp1252 = helpviewer::ReadHelp(cp1252);
    ASSERT_TRUE(fromCp1252.has_value());
    ASSERT_EQ(fromCp1252->Topics.size(), 1);
    EXPECT_EQ(fromCp1252->Topics[0].Title, QStringLiteral("Présentation €"));

    EXPECT_FALSE(helpviewer::ReadHelp(dir.filePath(QStringLiteral("absent.hlp"))).has_value());
    EXPECT_FALSE(helpviewer::ReadHelp(dir.path()).has_value());
}

// ---- The keyword index ----

TEST(HelpIndex, OneEntryPerWordInFrenchOrderChosenByItsFirstLetters)
{
    const QList<Topic> topics = {
        WithKeywords(QStringLiteral("t0"), {QStringLiteral("zèbre"), QStringLiteral("Élève"), QStringLiteral("abc")}),
        WithKeywords(QStringLiteral("t1"), {QStringLiteral("eleve"), QStringLiteral("école")}),
        WithKeywords(QStringLiteral("t2"), {QStringLiteral("Entrée"), QStringLiteral("ÉLÈVE")}),
    };
    const QList<IndexEntry> index = BuildIndex(topics);
    EXPECT_EQ(Keywords(index), (QStringList{QStringLiteral("abc"), QStringLiteral("école"), QStringLiteral("Élève"),
                                            QStringLiteral("Entrée"), QStringLiteral("zèbre")}));
    ASSERT_EQ(index.size(), 5);
    EXPECT_EQ(index[2].Topics, (QList<int>{0, 1, 2}));
    EXPECT_EQ(index[4].Topics, QList<int>{0});
    EXPECT_TRUE(BuildIndex({}).isEmpty());

    // The first letters typed choose the keyword, whatever their case and accents.
    EXPECT_EQ(FindKeyword(index, QString()), 0);
    EXPECT_EQ(FindKeyword(index, QStringLiteral("ec")), 1);
    EXPECT_EQ(FindKeyword(index, QStringLiteral("ÉL")), 2);
    EXPECT_EQ(FindKeyword(index, QStringLiteral("ele")), 2);
    EXPECT_EQ(FindKeyword(index, QStringLiteral("  entree")), 3);
    // No keyword starts so: the next one in order, or the last.
    EXPECT_EQ(FindKeyword(index, QStringLiteral("f")), 4);
    EXPECT_EQ(FindKeyword(index, QStringLiteral("emu")), 3);
    EXPECT_EQ(FindKeyword(index, QStringLiteral("zz")), 4);
    EXPECT_EQ(FindKeyword({}, QStringLiteral("a")), -1);
}

// ---- The windows ----

class HelpViewer : public ::testing::Test
{
protected:
    void TearDown() override
    {
        delete helpviewer::TopicWindow();
        delete helpviewer::TopicsWindow();
        helpviewer::SetMessageSeen(nullptr);
    }

    template <typename T>
    static T *In(QWidget *window, const char *name)
    {
        return window ? window->findChild<T *>(QLatin1String(name)) : nullptr;
    }

    static QList<QTreeWidgetItem *> TopicItems(QTreeWidget *tree)
    {
        QList<QTreeWidgetItem *> items;
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            if ((*it)->childCount() == 0)
                items << *it;
        }
        return items;
    }

    static QTreeWidgetItem *ItemReading(QTreeWidget *tree, const QString &title)
    {
        for (QTreeWidgetItem *item : TopicItems(tree)) {
            if (item->text(0) == title)
                return item;
        }
        return nullptr;
    }

    static QString TopicText()
    {
        auto *browser = In<QTextBrowser>(helpviewer::TopicWindow(), "TexteRubrique");
        return browser ? browser->toPlainText() : QString();
    }

    static void Click(QWidget *window, const char *button)
    {
        auto *pushButton = In<QPushButton>(window, button);
        ASSERT_NE(pushButton, nullptr) << button;
        ASSERT_TRUE(pushButton->isEnabled()) << button;
        QTest::mouseClick(pushButton, Qt::LeftButton);
    }

    static QString Title(const char *id)
    {
        const std::optional<HelpText> help = helpviewer::ReadHelp(HelpPath);
        const int topic = help ? FindTopic(help->Topics, QLatin1String(id)) : -1;
        return topic < 0 ? QString() : help->Topics[topic].Title;
    }
};

TEST_F(HelpViewer, OpensTheTopicsWindowWithContentsAndIndex)
{
    helpviewer::ShowTopics(HelpPath);
    QWidget *window = helpviewer::TopicsWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Rubriques d'aide - Tapotis2002"));

    auto *tabs = In<QTabWidget>(window, "Onglets");
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Sommaire"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Index"));

    const std::optional<HelpText> help = helpviewer::ReadHelp(HelpPath);
    ASSERT_TRUE(help.has_value());
    auto *tree = In<QTreeWidget>(window, "Sommaire");
    ASSERT_NE(tree, nullptr);
    const QList<QTreeWidgetItem *> items = TopicItems(tree);
    ASSERT_EQ(items.size(), help->Topics.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i]->text(0), help->Topics[i].Title);
        ASSERT_NE(items[i]->parent(), nullptr);
        EXPECT_EQ(items[i]->parent()->text(0), help->Topics[i].Chapter);
    }
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Bienvenue"));
    EXPECT_EQ(tree->currentItem(), items.front());

    auto *list = In<QListWidget>(window, "IndexListe");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), BuildIndex(help->Topics).size());
}

TEST_F(HelpViewer, ChosenTopicShowsWithItsNeighboursAndLinks)
{
    helpviewer::ShowTopics(HelpPath);
    QWidget *topics = helpviewer::TopicsWindow();
    auto *tree = In<QTreeWidget>(topics, "Sommaire");
    ASSERT_NE(tree, nullptr);
    QTreeWidgetItem *item = ItemReading(tree, Title("presentation"));
    ASSERT_NE(item, nullptr);
    tree->setCurrentItem(item);
    Click(topics, "Afficher");

    QWidget *topic = helpviewer::TopicWindow();
    ASSERT_NE(topic, nullptr);
    EXPECT_TRUE(topic->isVisible());
    EXPECT_FALSE(topics->isVisible());
    EXPECT_TRUE(TopicText().startsWith(Title("presentation")));
    EXPECT_TRUE(topic->windowTitle().startsWith(Title("presentation")));
    EXPECT_FALSE(In<QPushButton>(topic, "BoutonPrecedent")->isEnabled());
    EXPECT_FALSE(In<QPushButton>(topic, "BoutonRetour")->isEnabled());

    Click(topic, "BoutonSuivant");
    EXPECT_TRUE(TopicText().startsWith(Title("demarrage")));
    Click(topic, "BoutonPrecedent");
    EXPECT_TRUE(TopicText().startsWith(Title("presentation")));

    // The first link of the topic, reached and followed from the keyboard.
    auto *browser = In<QTextBrowser>(topic, "TexteRubrique");
    browser->setFocus();
    QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Return);
    EXPECT_TRUE(TopicText().startsWith(Title("guide-clavier")));
    Click(topic, "BoutonRetour");
    EXPECT_TRUE(TopicText().startsWith(Title("presentation")));

    // A link to nowhere leaves the topic as it is.
    Q_EMIT browser->anchorClicked(QUrl(QStringLiteral("#nulle-part")));
    Q_EMIT browser->anchorClicked(QUrl(QStringLiteral("https://example.org/#jeu")));
    EXPECT_TRUE(TopicText().startsWith(Title("presentation")));

    // Back to the contents, on the topic being read.
    tree->setCurrentItem(tree->topLevelItem(0));
    Click(topic, "BoutonSuivant");
    Click(topic, "BoutonSommaire");
    EXPECT_TRUE(topics->isVisible());
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), Title("demarrage"));
}

TEST_F(HelpViewer, IndexSelectsTheKeywordFromItsFirstLetters)
{
    helpviewer::ShowTopics(HelpPath);
    QWidget *window = helpviewer::TopicsWindow();
    auto *tabs = In<QTabWidget>(window, "Onglets");
    auto *search = In<QLineEdit>(window, "IndexSaisie");
    auto *list = In<QListWidget>(window, "IndexListe");
    ASSERT_TRUE(tabs && search && list);
    tabs->setCurrentIndex(1);

    QTest::keyClicks(search, QStringLiteral("Zid"));
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Zid-Ediveza"));

    search->clear();
    QTest::keyClicks(search, QStringLiteral("chrono"));
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("chronomètre"));
    // The arrow keys move in the list without leaving the field.
    const int row = list->currentRow();
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_EQ(list->currentRow(), row + 1);
    QTest::keyClick(search, Qt::Key_Up);
    EXPECT_EQ(list->currentRow(), row);

    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_TRUE(TopicText().startsWith(Title("chronometre")));
}

TEST_F(HelpViewer, KeywordOfSeveralTopicsOffersTheTopicsFound)
{
    helpviewer::ShowTopics(HelpPath);
    QWidget *window = helpviewer::TopicsWindow();
    In<QTabWidget>(window, "Onglets")->setCurrentIndex(1);
    auto *search = In<QLineEdit>(window, "IndexSaisie");
    QTest::keyClicks(search, QStringLiteral("vitesse"));
    ASSERT_EQ(In<QListWidget>(window, "IndexListe")->currentItem()->text(), QStringLiteral("vitesse"));
    Click(window, "Afficher");

    auto *chooser = In<QDialog>(window, "RubriquesTrouvees");
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Rubriques trouvées"));
    auto *found = In<QListWidget>(chooser, "ListeRubriques");
    ASSERT_NE(found, nullptr);
    QStringList titles;
    for (int i = 0; i < found->count(); ++i)
        titles << found->item(i)->text();
    EXPECT_EQ(titles, (QStringList{Title("texte-defilant"), Title("chronometre"), Title("statistiques")}));
    EXPECT_EQ(helpviewer::TopicWindow(), nullptr);

    found->setCurrentRow(2);
    Click(chooser, "Afficher");
    EXPECT_TRUE(TopicText().startsWith(Title("statistiques")));
}

TEST_F(HelpViewer, UnreadableFileIsReportedAndOpensNothing)
{
    QStringList seen;
    helpviewer::SetMessageSeen([&](const QString &title, const QString &text) { seen << title << text; });
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    const QString missing = dir.filePath(QStringLiteral("AIDE.HLP"));
    helpviewer::ShowTopics(missing);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Aide"),
                                 QStringLiteral("Impossible d'ouvrir le fichier d'aide %1.").arg(missing)}));
    EXPECT_EQ(helpviewer::TopicsWindow(), nullptr);

    seen.clear();
    helpviewer::ShowTopics(dir.path());
    EXPECT_EQ(seen.value(1), QStringLiteral("Impossible d'ouvrir le fichier d'aide %1.").arg(dir.path()));
    EXPECT_EQ(helpviewer::TopicsWindow(), nullptr);
}

TEST_F(HelpViewer, AskingAgainKeepsOneWindowAndReadsTheFileAnew)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("AIDE.HLP"));
    ASSERT_TRUE(WriteFile(path, "<section id=\"a\" data-keywords=\"un\"><h2>Un</h2></section>"
                                "<section id=\"b\" data-keywords=\"deux\"><h2>Deux</h2></section>"));
    helpviewer::ShowTopics(path);
    QWidget *window = helpviewer::TopicsWindow();
    ASSERT_NE(window, nullptr);
    auto *tree = In<QTreeWidget>(window, "Sommaire");
    ASSERT_EQ(TopicItems(tree).size(), 2);
    tree->setCurrentItem(TopicItems(tree)[1]);
    Click(window, "Afficher");
    EXPECT_FALSE(window->isVisible());

    ASSERT_TRUE(WriteFile(path, "<section id=\"z\" data-keywords=\"zéro\"><h2>Zéro</h2></section>"
                                "<section id=\"a\" data-keywords=\"un\"><h2>Un</h2></section>"
                                "<section id=\"b\" data-keywords=\"deux\"><h2>Deux</h2></section>"));
    helpviewer::ShowTopics(path);
    EXPECT_EQ(helpviewer::TopicsWindow(), window);
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(TopicItems(tree).size(), 3);
    EXPECT_EQ(TopicItems(tree)[0]->text(0), QStringLiteral("Zéro"));
    // Still on the topic chosen before, though it moved.
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("Deux"));
    EXPECT_EQ(In<QListWidget>(window, "IndexListe")->count(), 3);

    window->showMinimized();
    helpviewer::ShowTopics(path);
    EXPECT_FALSE(window->isMinimized());
    int shown = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        shown += w->objectName() == QStringLiteral("HelpViewer") && w->isVisible();
    EXPECT_EQ(shown, 1);

    // Once closed, asking again opens a fresh window.
    Click(window, "Fermer");
    EXPECT_TRUE(QTest::qWaitFor([] { return helpviewer::TopicsWindow() == nullptr; }, 2000));
    helpviewer::ShowTopics(path);
    ASSERT_NE(helpviewer::TopicsWindow(), nullptr);
    EXPECT_TRUE(helpviewer::TopicsWindow()->isVisible());
}

} // namespace
