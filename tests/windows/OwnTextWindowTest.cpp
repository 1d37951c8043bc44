#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "MainFixture.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TLabel.h"
#include "platform/input/KeyboardLayout.h"
#include "platform/input/KeyboardLayouts.h"
#include "platform/text/Cp1252.h"
#include "windows/TLineSeries.h"
#include "windows/TMonTexte.h"
#include "windows/TParcours.h"
#include "windows/TResultat.h"

namespace {

class OwnText : public MainFixture
{
protected:
    // Clicks "Mon texte"; the learner does `whileShown` in its window, shown on the screen.
    void OpenTexts(const std::function<void(TMonTexte &)> &whileShown)
    {
        ClickOpening(Main().BoutonMonTexte, whileShown);
    }
    QByteArray LearnerFile(const QString &name) const
    {
        QFile file(Folder() + QStringLiteral("Testeur/Textes/") + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(absent)");
    }
    QStringList Items(const TMonTexte &window) const
    {
        QStringList items;
        for (int row = 0; row < window.ListeTextes->count(); ++row)
            items << window.ListeTextes->item(row)->text();
        return items;
    }
};

} // namespace

// A text pasted is kept as it is, and what the keyboard replaces is said; a session types its lines through the
// lesson's engine, ends on the result window with the text's place, and the next session starts where this one
// ended.
TEST_F(OwnText, APastedTextIsTypedSessionAfterSessionFromWhereItStopped)
{
    TMain &m = Main();
    // Nine paragraphs: a first session of eight lines, then one of a single line.
    QString pasted = QStringLiteral("« Le jour », dit-elle.\n\nC’est l’été.\n");
    for (int line = 3; line <= 9; ++line)
        pasted += QStringLiteral("Ligne %1.\n").arg(line);
    QGuiApplication::clipboard()->setText(pasted);
    Dialogs.Messages.clear();
    OpenTexts([&](TMonTexte &window) {
        EXPECT_TRUE(window.LabelConseil->text().startsWith(QStringLiteral("Aucun texte")));
        EXPECT_TRUE(window.BoutonImporter->isDefault()) << "nothing to start yet";
        window.BoutonColler->click();
        ASSERT_EQ(Items(window),
                  QStringList{QStringLiteral("« Le jour », dit-elle. — 98 caractères — pas encore commencé")});
        // The text is kept as it is; the French AZERTY replaces what it lacks at each session.
        EXPECT_EQ(Dialogs.Messages, QStringList{QStringLiteral(
                                        "Mon texte: « « Le jour », dit-elle. » est ajouté à vos textes (9 lignes). "
                                        "Sur votre clavier, 4 caractères seront remplacés (« par \", » par \", "
                                        "’ par ').")});
        EXPECT_TRUE(window.BoutonCommencer->isDefault());
        QTest::keyClick(window.ListeTextes, Qt::Key_Return);
    });
    EXPECT_EQ(m.Session().PracticeMode, Practice::OwnText);
    EXPECT_EQ(m.Session().TargetText, "\" Le jour \", dit-elle.");
    EXPECT_EQ(LearnerFile(QStringLiteral("texte-001.txt")).left(28), QByteArray("« Le jour », dit-elle.\n« "));

    std::vector<QString> titles;
    Dialogs.WhileModal = [&](QDialog &window) {
        if (auto *result = qobject_cast<TResultat *>(&window)) {
            titles.push_back(result->LabelTitre->text());
            result->BoutonSuivante->isEnabled() ? result->BoutonSuivante->click() : result->BoutonRecommencer->click();
        }
    };
    for (int line = 0; line < 8; ++line)
        Type(QString::fromLatin1(m.Session().TargetText.c_str()));
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0], QStringLiteral("Mon texte : « Le jour », dit-elle., lignes 1 à 8 sur 9"));
    EXPECT_EQ(LearnerFile(QStringLiteral("Positions.txt")), QByteArray("texte-001.txt;8\n"));
    QTRY_COMPARE(m.Session().TargetText, std::string("Ligne 9."));

    // The text's end: no more to come, "Recommencer" types its last lines again.
    Type(QStringLiteral("Ligne 9."));
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[1], QStringLiteral("Mon texte : « Le jour », dit-elle., lignes 9 à 9 sur 9 : texte terminé"));
    QTRY_COMPARE(m.Session().TargetText, std::string("Ligne 9."));
    EXPECT_EQ(m.Statistiques().Series1->Count(), 2) << "one result per session";

    // The list says where the learner is; a removal asks first.
    Dialogs.WhileModal = nullptr;
    OpenTexts([&](TMonTexte &window) {
        EXPECT_EQ(Items(window), QStringList{QStringLiteral("« Le jour », dit-elle. — 98 caractères — terminé")});
        Dialogs.Confirmed = false;
        window.BoutonSupprimer->click();
        EXPECT_EQ(window.ListeTextes->count(), 1);
        Dialogs.Confirmed = true;
        window.BoutonSupprimer->click();
        EXPECT_TRUE(window.LabelConseil->text().startsWith(QStringLiteral("Aucun texte")));
        EXPECT_EQ(Dialogs.Questions.size(), 2);
    });
    EXPECT_EQ(LearnerFile(QStringLiteral("texte-001.txt")), QByteArray("(absent)"));
}

// Files are read in their own encoding, up to 1 Mo exactly; a bigger one is refused with the file's name, and
// nothing is added.
TEST_F(OwnText, FilesAreReadInTheirEncodingUpToOneMo)
{
    QByteArray full("Un mot ");
    full = full.repeated(int(TMonTexte::TextLimit / full.size()) + 1).left(int(TMonTexte::TextLimit));
    const struct {
        const char *Name;
        QByteArray Bytes;
        const char *Shown;
    } files[] = {
        {"lettre.txt",
         QByteArray("Ch\xE8re Mamie, le b\x9C"
                    "uf \xE9tait bon.\r\n"),
         "Chère Mamie, le bœuf était bon. — 31 caractères — pas encore commencé"},
        {"utf16.txt", QByteArray("\xFF\xFE\xC9\0t\0\xE9\0", 8), "Été — 3 caractères — pas encore commencé"},
        {"plein.txt", full, "plein — 1\u202F048\u202F576 caractères — pas encore commencé"},
        {"trop.txt", full + "x", nullptr},
    };
    QStringList expected;
    for (const auto &file : files) {
        const QString path = Folder() + QLatin1String(file.Name);
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file.Bytes);
        out.close();
        Dialogs.ChosenFile = path;
        Dialogs.Errors.clear();
        if (file.Shown)
            expected << QString::fromUtf8(file.Shown);
        OpenTexts([&](TMonTexte &window) {
            window.BoutonImporter->click();
            EXPECT_EQ(Items(window).join(QLatin1Char('|')).toStdString(),
                      expected.join(QLatin1Char('|')).toStdString());
        });
        if (!file.Shown) {
            ASSERT_EQ(Dialogs.Errors.size(), 1);
            EXPECT_TRUE(
                Dialogs.Errors[0].contains(QStringLiteral("trop.txt est trop volumineux : sa taille ne doit pas "
                                                          "dépasser 1 Mo")))
                << Dialogs.Errors[0].toStdString();
        }
    }
}

// A text imported on BÉPO is practised on every keyboard in turn: each session's lines hold only characters that
// keyboard's keys type, what it lacks replaced, a line it types nothing of passed over; each session starts where
// the one before ended, whatever the keyboard.
TEST_F(OwnText, ATextImportedOnOneKeyboardIsTypedOnEveryKeyboard)
{
    using layouts::Layout;
    ASSERT_TRUE(QDir(Folder()).mkpath(QStringLiteral("Testeur")));
    QFile keyboard(Folder() + QStringLiteral("Testeur/Clavier.txt"));
    ASSERT_TRUE(keyboard.open(QIODevice::WriteOnly));
    keyboard.write("fr(bepo)\n");
    keyboard.close();
    TMain &m = Main();
    QString pasted = QStringLiteral("École de l’œuvre.\n¡ ¿\n");
    for (int line = 3; line <= 49; ++line)
        pasted += QStringLiteral("%1 «\u00A0École\u00A0», l’œuvre… Ça !\n").arg(line);
    QGuiApplication::clipboard()->setText(pasted);
    Dialogs.Messages.clear();
    OpenTexts([](TMonTexte &window) { window.BoutonColler->click(); });
    EXPECT_EQ(Dialogs.Messages, QStringList{QStringLiteral("Mon texte: « École de l’œuvre. » est ajouté à vos textes "
                                                           "(49 lignes). Quel que soit le clavier, 94 caractères ont "
                                                           "été remplacés (les espaces insécables par des espaces).")});

    const struct {
        Layout Keyboard;
        const char *FirstLine;
        // The text's lines the session spans, as the result says them.
        int First, Last;
    } sessions[] = {
        {Layout::FrenchAzerty, "Ecole de l'oeuvre.", 1, 9},
        {Layout::FrenchAfnor, "10 « École », l’œuvre… Ça !", 10, 17},
        {Layout::Belgian, "18 « École », l’œuvre... Ça !", 18, 25},
        {Layout::SwissFrench, "26 « École », l’œuvre... Ca !", 26, 33},
        {Layout::CanadianFrench, "34 « École », l'oeuvre... Ça !", 34, 41},
        {Layout::Bepo, "42 « École », l’œuvre… Ça !", 42, 49},
    };
    QStringList results;
    Dialogs.WhileModal = [&](QDialog &window) {
        if (auto *result = qobject_cast<TResultat *>(&window))
            results << result->LabelTitre->text();
    };
    for (const auto &session : sessions) {
        const char *name = layouts::DescriptionOf(session.Keyboard).Name;
        ClickOpening<TParcours>(m.BoutonParcours, [&](TParcours &window) {
            window.ListeClaviers->setFocus();
            while (window.ListeClaviers->currentIndex() != static_cast<int>(session.Keyboard))
                QTest::keyClick(window.ListeClaviers,
                                window.ListeClaviers->currentIndex() < static_cast<int>(session.Keyboard) ? Qt::Key_Down
                                                                                                          : Qt::Key_Up);
            window.BoutonFermer->click();
        });
        OpenTexts([](TMonTexte &window) { QTest::keyClick(window.ListeTextes, Qt::Key_Return); });
        ASSERT_EQ(m.Session().PracticeMode, Practice::OwnText) << name;
        EXPECT_EQ(cp1252::ToUnicode(m.Session().TargetText).toStdString(), session.FirstLine) << name;
        const qsizetype before = results.size();
        for (int line = 0; line < 8 && results.size() == before; ++line) {
            for (const char c : m.Session().TargetText) {
                const auto byte = static_cast<unsigned char>(c);
                EXPECT_TRUE(session.Keyboard == Layout::FrenchAzerty
                                ? kbdlayout::Types(byte)
                                : layouts::TableOf(session.Keyboard)[byte].Typeable())
                    << name << ": " << cp1252::ToUnicode(m.Session().TargetText).toStdString();
            }
            Type(cp1252::ToUnicode(m.Session().TargetText));
        }
        ASSERT_EQ(results.size(), before + 1) << name;
        EXPECT_EQ(results.back().toStdString(),
                  QStringLiteral("Mon texte : École de l’œuvre., lignes %1 à %2 sur 49%3")
                      .arg(session.First)
                      .arg(session.Last)
                      .arg(session.Last == 49 ? QStringLiteral(" : texte terminé") : QString())
                      .toStdString())
            << name;
    }
}
