#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
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

#include "platform/help/HelpViewer.h"
#include "support/HtmlDepth.h"

using helpviewer::BuildIndex;
using helpviewer::FindKeyword;
using helpviewer::FindTopic;
using helpviewer::HelpReading;
using helpviewer::HelpText;
using helpviewer::IndexEntry;
using helpviewer::Refusal;
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
        const HelpReading reading = helpviewer::ReadHelp(HelpPath);
        ASSERT_EQ(reading.Refused, Refusal::None) << HelpPath.toStdString();
        s_help = reading.Text;
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
        {"demarrage",
         {"Cliquez sur l'image", "Entrez votre nom et prénom (A..Z)", "Création du répertoire pour l'utilsateur",
          "Annuler"}},
        {"entrainement", {"premier bouton", "rangée de repos", "Dictees/Level1.dll"}},
        {"phrases", {"deuxième bouton", "accents", "Dictees/Level2.dll"}},
        {"texte-defilant",
         {"troisième bouton", "Vitesse du défilement", "1", "7", "revient par la droite", "Dictees/Level3.dll"}},
        {"dictees", {"Dictée numéro 01", "Dictée numéro 10", "Réécouter la dictée", "Ouvrir une dictée..."}},
        {"dictee-personnelle", {"première ligne", ".wav", "Windows-1252", "UTF-8", "« »"}},
        {"pause-cafe", {"main", "dixièmes de seconde", "pas enregistrés", "autre exercice"}},
        {"chronometre",
         {"première touche juste", "battements", "temps réel", "Justes", "Erreurs", "caractères par minute",
          "réussite"}},
        {"guide-clavier", {"jaune", "Maj", "touche morte", "semi-transparente", "six degrés"}},
        {"sons",
         {"Activer/Désactiver le son", "Activer/Désactiver la prononciation des touches", "Vitesse de la voix en Hz"}},
        {"statistiques", {"rouge", "bleu", "Config.txt", "Marie/Config.txt", "801"}},
        {"disposition", {"Q S D F", "J K L M", "barre d'espace", "AltGr", "@", "€"}},
        {"jeu", {"Zid-Ediveza", "3 vies", "Entrée", "Échap", "score"}},
        {"aide-quitter", {"réduite", "porte"}},
        {"conseils", {"précision", "regardez"}},
        {"parcours", {"Parcours - Tapotis2002", "à faire", "en cours", "terminée", "94 %", "Parcours.txt", "Échap"}},
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
        "<html><head><title>Aide &amp; astuces</title><style>h2 > b::after { content: '<&lt;'; }</style></head><body>\n"
        "<section id=\"avant\" data-keywords=\"début\"><h2>Avant tout</h2><p>Texte.</p></section>\n"
        "<h1>Les <b>exercices</b></h1>\n"
        "<!-- <section id=\"cache\"><h2>Mis de côté</h2></section> -->\n"
        "<SECTION data-keywords=' Lettres ;; lettres; A &amp; B ;é' ID='lettres'>\n"
        "  <h2 class=\"titre\">Les <i>lettres</i></h2><p>Voir <a href=\"#avant\">avant</a>.</p>\n"
        "</SECTION>\n"
        "<section><p>Sans titre.</p></section>\n"
        "</body></html>");
    const std::optional<HelpText> parsed = helpviewer::ParseHelp(html);
    ASSERT_TRUE(parsed.has_value());
    const HelpText &help = *parsed;
    EXPECT_EQ(help.Title, QStringLiteral("Aide & astuces"));
    EXPECT_TRUE(help.Style.contains(QStringLiteral("h2 > b::after { content: '<&lt;'; }")));
    ASSERT_EQ(help.Topics.size(), 3);

    EXPECT_EQ(help.Topics[0].Id, QStringLiteral("avant"));
    EXPECT_EQ(help.Topics[0].Title, QStringLiteral("Avant tout"));
    EXPECT_TRUE(help.Topics[0].Chapter.isEmpty());
    EXPECT_EQ(help.Topics[0].Keywords, QStringList{QStringLiteral("début")});

    const Topic &letters = help.Topics[1];
    EXPECT_EQ(letters.Id, QStringLiteral("lettres"));
    EXPECT_EQ(letters.Title, QStringLiteral("Les lettres"));
    EXPECT_EQ(letters.Chapter, QStringLiteral("Les exercices"));
    EXPECT_EQ(letters.Keywords, (QStringList{QStringLiteral("Lettres"), QStringLiteral("A & B"), QStringLiteral("é")}));
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
    const std::optional<HelpText> page =
        helpviewer::ParseHelp(QStringLiteral("<html><body><h1>Rubriques d'aide</h1><p>Bonjour</p></body></html>"));
    ASSERT_TRUE(page.has_value());
    ASSERT_EQ(page->Topics.size(), 1);
    EXPECT_EQ(page->Topics[0].Title, QStringLiteral("Rubriques d'aide"));
    EXPECT_TRUE(page->Topics[0].Html.contains(QStringLiteral("Bonjour")));
    EXPECT_TRUE(page->Topics[0].Chapter.isEmpty());

    EXPECT_TRUE(helpviewer::ParseHelp(QString())->Topics.isEmpty());
    EXPECT_TRUE(helpviewer::ParseHelp(QStringLiteral("<html><body>  </body></html>"))->Topics.isEmpty());
}

TEST(HelpParsing, FileIsReadAsUtf8OrElseWindows1252AndMissingFileGivesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString utf8 = dir.filePath(QStringLiteral("utf8.hlp"));
    ASSERT_TRUE(WriteFile(utf8, "\xEF\xBB\xBF<section id=\"a\"><h2>Pr\xC3\xA9sentation</h2></section>"));
    const HelpReading fromUtf8 = helpviewer::ReadHelp(utf8);
    ASSERT_EQ(fromUtf8.Refused, Refusal::None);
    ASSERT_EQ(fromUtf8.Text.Topics.size(), 1);
    EXPECT_EQ(fromUtf8.Text.Topics[0].Title, QStringLiteral("Présentation"));

    const QString cp1252 = dir.filePath(QStringLiteral("cp1252.hlp"));
    ASSERT_TRUE(WriteFile(cp1252, "<section id=\"a\"><h2>Pr\xE9sentation \x80</h2></section>"));
    const HelpReading fromCp1252 = helpviewer::ReadHelp(cp1252);
    ASSERT_EQ(fromCp1252.Refused, Refusal::None);
    ASSERT_EQ(fromCp1252.Text.Topics.size(), 1);
    EXPECT_EQ(fromCp1252.Text.Topics[0].Title, QStringLiteral("Présentation €"));

    EXPECT_EQ(helpviewer::ReadHelp(dir.filePath(QStringLiteral("absent.hlp"))).Refused, Refusal::CannotOpen);
}

TEST(HelpParsing, TopicHtmlIsRebuiltWellFormedWithEachElementWhereQtWouldPutIt)
{
    const std::pair<const char *, const char *> cases[] = {
        {"<p>un<p>deux", "<p>un</p><p>deux</p>"},
        {"<b><i>x</b>y</i>", "<b><i>x</i></b>y"},
        {"<ul><li>a<li>b</ul>", "<ul><li>a</li><li>b</li></ul>"},
        {"<td>x<td>y</tr><th>z", "<table><tr><td>x</td><td>y</td></tr><tr><th>z</th></tr></table>"},
        {"<dd>x", "<dl><dd>x</dd></dl>"},
        {"<div/>a < b &amp; c", "<div></div>a &lt; b &amp; c"},
        {"<IMG SRC=x.png><br/><link href='y\">'>", "<img src=\"x.png\" /><br /><link href=\"y&quot;&gt;\" />"},
        // A tooltip would be rich text of its own, outside the rebuilt document.
        {"<span title=\"<img src=x>\" class=c>y", "<span class=\"c\">y</span>"},
        {"<script>alert(1)</script><!-- <b> -->z<?php ?>", "z"},
        {"<style>a > b::after { content: '<&lt;' }</style>", "<style>a > b::after { content: '&lt;&amp;lt;' }</style>"},
    };
    for (const auto &[source, rebuilt] : cases) {
        const std::optional<HelpText> help =
            helpviewer::ParseHelp(QStringLiteral("<section id=\"s\">%1</section>").arg(QString::fromUtf8(source)));
        ASSERT_TRUE(help.has_value()) << source;
        ASSERT_EQ(help->Topics.size(), 1) << source;
        EXPECT_EQ(help->Topics[0].Html.toStdString(), rebuilt) << source;
    }
}

TEST(HelpParsing, DocumentNestedTooDeepIsRefusedAndNothingDeeperIsKept)
{
    constexpr int Many = 200000;
    const struct {
        const char *What;
        QString Html;
        bool Refused;
    } cases[] = {
        {"nested divisions", QStringLiteral("<div>").repeated(Many), true},
        {"bold never closed", QStringLiteral("<b>x").repeated(Many), true},
        {"closing tags for nothing open", QStringLiteral("<div></span>").repeated(Many), true},
        {"as deep as allowed, with the section", QStringLiteral("<div>").repeated(helpviewer::NestingLimit - 1), false},
        {"one level more", QStringLiteral("<div>").repeated(helpviewer::NestingLimit), true},
        {"paragraphs never closed", QStringLiteral("<p>x").repeated(Many), false},
        {"list items never closed", QStringLiteral("<ul>") + QStringLiteral("<li>x").repeated(Many), false},
        {"cells outside any table", QStringLiteral("<td></td></tr>").repeated(Many), false},
        {"empty elements", QStringLiteral("<div/><br><img><link><input><wbr><hr>").repeated(Many / 10), false},
    };
    for (const auto &c : cases) {
        const std::optional<HelpText> help =
            helpviewer::ParseHelp(QStringLiteral("<section id=\"s\">") + c.Html + QStringLiteral("</section>"));
        EXPECT_EQ(!help.has_value(), c.Refused) << c.What;
        if (help) {
            ASSERT_EQ(help->Topics.size(), 1) << c.What;
            const int depth = HtmlDepth(help->Topics[0].Html, true);
            EXPECT_GE(depth, 0) << c.What;
            EXPECT_LT(depth, helpviewer::NestingLimit) << c.What;
        }
    }
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
    // A help that opens gives no warning.
    const helpviewer::Report Unexpected = [](const QString &title, const QString &text) {
        ADD_FAILURE() << title.toStdString() << ": " << text.toStdString();
    };

    void TearDown() override
    {
        delete helpviewer::TopicWindow();
        delete helpviewer::TopicsWindow();
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
        const HelpReading help = helpviewer::ReadHelp(HelpPath);
        const int topic = FindTopic(help.Text.Topics, QLatin1String(id));
        return topic < 0 ? QString() : help.Text.Topics[topic].Title;
    }
};

TEST_F(HelpViewer, OpensTheTopicsWindowWithContentsAndIndex)
{
    helpviewer::ShowTopics(HelpPath, {}, Unexpected);
    QWidget *window = helpviewer::TopicsWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Rubriques d'aide - Tapotis2002"));

    auto *tabs = In<QTabWidget>(window, "Onglets");
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Sommaire"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Index"));

    const HelpReading reading = helpviewer::ReadHelp(HelpPath);
    ASSERT_EQ(reading.Refused, Refusal::None);
    const HelpText *help = &reading.Text;
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
    helpviewer::ShowTopics(HelpPath, {}, Unexpected);
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
    Q_EMIT browser->anchorClicked(QUrl(QStringLiteral("AUTRE.HLP#jeu")));
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
    helpviewer::ShowTopics(HelpPath, {}, Unexpected);
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
    helpviewer::ShowTopics(HelpPath, {}, Unexpected);
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

TEST_F(HelpViewer, FileNotSafeToReadIsReportedAtOnceAndOpensNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray topic = "<section id=\"a\"><h2>Un</h2></section>";
    const QString valid = dir.filePath(QStringLiteral("valide.hlp"));
    ASSERT_TRUE(WriteFile(valid, topic));
    const QString pipe = dir.filePath(QStringLiteral("tube.hlp"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString link = dir.filePath(QStringLiteral("lien.hlp"));
    ASSERT_TRUE(QFile::link(valid, link));
    const QString large = dir.filePath(QStringLiteral("gros.hlp"));
    ASSERT_TRUE(WriteFile(large, topic + QByteArray(4 << 20, ' ')));
    const QString deep = dir.filePath(QStringLiteral("profond.hlp"));
    ASSERT_TRUE(WriteFile(deep, "<section id=\"a\"><h2>Un</h2>" + QByteArray("<div>").repeated(200000) + "</section>"));

    const QString crowded = dir.filePath(QStringLiteral("charge.hlp"));
    ASSERT_TRUE(WriteFile(crowded, "<section id=\"a\"><h2>Un</h2><ul>" + QByteArray("<li>x").repeated(1000) +
                                       "</ul></section>"));
    const QString styled = dir.filePath(QStringLiteral("styles.hlp"));
    ASSERT_TRUE(WriteFile(styled, "<style>" + QByteArray("* {color:red}\n").repeated(300) + "</style>" + topic));
    const QString tooComplex = QStringLiteral("Le fichier d'aide %1 est trop chargé : une rubrique ne doit pas "
                                              "compter plus de 1000 balises, ni ses styles plus de 1024 caractères.");

    const QString cannotOpen = QStringLiteral("Impossible d'ouvrir le fichier d'aide %1.");
    const std::pair<QString, QString> cases[] = {
        {dir.filePath(QStringLiteral("absent.hlp")), cannotOpen},
        {dir.path(), cannotOpen},
        // Never waited on, nor followed.
        {pipe, cannotOpen},
        {link, cannotOpen},
        {large, QStringLiteral("Le fichier d'aide %1 est trop volumineux : sa taille ne doit pas dépasser 4 Mo.")},
        {deep, QStringLiteral("Le fichier d'aide %1 est trop profondément imbriqué : ses balises ne doivent pas "
                              "s'imbriquer sur plus de 100 niveaux.")},
        {crowded, tooComplex},
        {styled, tooComplex},
    };
    for (const auto &[path, warning] : cases) {
        QStringList seen;
        bool back = false;
        helpviewer::ShowTopics(
            path, [&] { back = true; }, [&](const QString &title, const QString &text) { seen << title << text; });
        EXPECT_EQ(seen.join(u'|').toStdString(), (QStringLiteral("Aide|") + warning.arg(path)).toStdString());
        EXPECT_EQ(helpviewer::TopicsWindow(), nullptr) << path.toStdString();
        EXPECT_TRUE(back) << path.toStdString();
    }
}

TEST_F(HelpViewer, TopicLoadsNoPictureNorStyleSheetItNames)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage red(64, 64, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString picture = dir.filePath(QStringLiteral("rouge.png"));
    ASSERT_TRUE(red.save(picture));
    const QString sheet = dir.filePath(QStringLiteral("rouge.css"));
    ASSERT_TRUE(WriteFile(sheet, "* { background-color: red; color: red; }"));
    // Names without a folder are looked for in the current one.
    struct CurrentFolder {
        QString Previous = QDir::currentPath();
        ~CurrentFolder() { QDir::setCurrent(Previous); }
    } restore;
    ASSERT_TRUE(QDir::setCurrent(dir.path()));

    const QString references[] = {
        QStringLiteral("<img src=\"%1\">").arg(picture),
        QStringLiteral("<img src=\"%1\">").arg(QUrl::fromLocalFile(picture).toString()),
        QStringLiteral("<img src=\"rouge.png\">"),
        QStringLiteral("<table background=\"%1\" width=\"300\" height=\"100\"><tr><td>x</td></tr></table>")
            .arg(picture),
        QStringLiteral("<p style=\"background-image: url(%1)\">texte</p>").arg(picture),
        QStringLiteral("<link rel=\"stylesheet\" type=\"text/css\" href=\"%1\" /><p>texte</p>").arg(sheet),
        QStringLiteral("<style>@import url(%1);</style><p>texte</p>").arg(sheet),
    };
    const QString path = dir.filePath(QStringLiteral("AIDE.HLP"));
    for (const QString &reference : references) {
        ASSERT_TRUE(
            WriteFile(path, QStringLiteral("<section id=\"a\"><h2>Rubrique</h2>%1</section>").arg(reference).toUtf8()));
        helpviewer::ShowTopics(path, {}, Unexpected);
        Click(helpviewer::TopicsWindow(), "Afficher");
        auto *browser = In<QTextBrowser>(helpviewer::TopicWindow(), "TexteRubrique");
        ASSERT_NE(browser, nullptr);
        const QImage shown = browser->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int redPixels = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb pixel = shown.pixel(x, y);
                redPixels += qRed(pixel) > 200 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
            }
        }
        EXPECT_EQ(redPixels, 0) << reference.toStdString();
    }
}

TEST_F(HelpViewer, AskingAgainKeepsOneWindowAndReadsTheFileAnew)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("AIDE.HLP"));
    ASSERT_TRUE(WriteFile(path, "<section id=\"a\" data-keywords=\"un\"><h2>Un</h2></section>"
                                "<section id=\"b\" data-keywords=\"deux\"><h2>Deux</h2></section>"));
    helpviewer::ShowTopics(path, {}, Unexpected);
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
    helpviewer::ShowTopics(path, {}, Unexpected);
    EXPECT_EQ(helpviewer::TopicsWindow(), window);
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(TopicItems(tree).size(), 3);
    EXPECT_EQ(TopicItems(tree)[0]->text(0), QStringLiteral("Zéro"));
    // Still on the topic chosen before, though it moved.
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("Deux"));
    EXPECT_EQ(In<QListWidget>(window, "IndexListe")->count(), 3);

    window->showMinimized();
    helpviewer::ShowTopics(path, {}, Unexpected);
    EXPECT_FALSE(window->isMinimized());
    int shown = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        shown += w->objectName() == QStringLiteral("HelpViewer") && w->isVisible();
    EXPECT_EQ(shown, 1);

    // Once closed, asking again opens a fresh window.
    Click(window, "Fermer");
    EXPECT_TRUE(QTest::qWaitFor([] { return helpviewer::TopicsWindow() == nullptr; }, 2000));
    helpviewer::ShowTopics(path, {}, Unexpected);
    ASSERT_NE(helpviewer::TopicsWindow(), nullptr);
    EXPECT_TRUE(helpviewer::TopicsWindow()->isVisible());
}

} // namespace
