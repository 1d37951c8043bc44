// The result window that ends a course lesson or a drill: what it says of each verdict, how it marks the places of
// the wrong keys in the lines typed, and the keys of the lesson's end that it lets go by.

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "records/LessonResult.h"
#include "windows/TResultat.h"

namespace {

LessonResult Result(const char *title, long double speed, long double success, std::vector<Mistake> mistakes)
{
    LessonResult result;
    result.Speed = speed;
    result.Success = success;
    result.Goal = {title, 89, 94};
    result.Lines = {"kaki dada", "sel"};
    result.Mistakes = std::move(mistakes);
    result.Errors = static_cast<int>(result.Mistakes.size());
    return result;
}

QStringList Items(const QListWidget *list)
{
    QStringList items;
    for (int row = 0; row < list->count(); ++row)
        items << list->item(row)->text();
    return items;
}

// The lines as a reader of the label sees them, and under each a caret where a character is red and underlined.
std::vector<std::pair<QString, QString>> Shown(const QString &richText)
{
    QTextDocument document;
    document.setHtml(richText);
    std::vector<std::pair<QString, QString>> lines(1);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            const bool marked = format.fontUnderline() && format.foreground().color().red() > 150 &&
                                format.foreground().color().green() < 50;
            for (const QChar ch : fragment.fragment().text()) {
                if (ch == QChar::LineSeparator) {
                    lines.emplace_back();
                    continue;
                }
                lines.back().first += ch;
                lines.back().second += marked ? QLatin1Char('^') : QLatin1Char(' ');
            }
        }
    return lines;
}

} // namespace

// Both verdicts, with the figures beside their goals and what is missing, the wrong keys and the keys most missed.
TEST(ResultWindow, SaysTheVerdictTheFiguresAndTheWrongKeys)
{
    QWidget main;
    const struct {
        const char *name;
        LessonResult result;
        bool drillOffered;
        QString verdict, speed, success, summary, errorsHeading;
        QStringList errors;
        QString mostMissed; // empty: not shown
        bool passed;
    } rows[] = {
        {"passed",
         Result("Leçon 9 : a et p", 142.3L, 97.2L, {{0, 1, 'k', 'l'}, {0, 4, ' ', 'j'}, {1, 0, 'k', 's'}}),
         true,
         QStringLiteral("Objectif atteint"),
         QStringLiteral("Vitesse : 142 caractères par minute (objectif 89)"),
         QStringLiteral("Réussite : 97 % (objectif 94 %)"),
         QStringLiteral("Objectif atteint : 142 caractères par minute, 97 % de réussite."),
         QStringLiteral("3 erreurs :"),
         {QStringLiteral("l tapé à la place de k"), QStringLiteral("j tapé à la place de espace"),
          QStringLiteral("s tapé à la place de k")},
         QStringLiteral("Touches les plus manquées : k, espace"),
         true},
        {"short of both goals",
         Result("Entraînement ciblé", 77, 90.5L, {{1, 2, 0xE9, '2'}}),
         false,
         QStringLiteral("Pas encore"),
         QStringLiteral("Vitesse : 77 caractères par minute (objectif 89), il manque 12 caractères par minute"),
         QStringLiteral("Réussite : 90 % (objectif 94 %), il manque 4 % de réussite"),
         QStringLiteral("Pas encore : 77 caractères par minute, 90 % de réussite, il manque 12 caractères par minute, "
                        "il manque 4 % de réussite."),
         QStringLiteral("1 erreur :"),
         {QStringLiteral("2 tapé à la place de é")},
         QStringLiteral("Touche la plus manquée : é"),
         false},
        {"short of one character a minute, without a wrong key",
         Result("Leçon 1 : f et j", 88.96L, 100, {}),
         true,
         QStringLiteral("Pas encore"),
         QStringLiteral("Vitesse : 88 caractères par minute (objectif 89), il manque 1 caractère par minute"),
         QStringLiteral("Réussite : 100 % (objectif 94 %)"),
         QStringLiteral("Pas encore : 88 caractères par minute, 100 % de réussite, il manque 1 caractère par minute."),
         QStringLiteral("Aucune erreur"),
         {},
         QString(),
         false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TResultat window(&main, row.result, row.drillOffered);
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Résultat - Tapotis2002"));
        EXPECT_EQ(window.LabelTitre->text(), QString::fromStdString(row.result.Goal.Title));
        EXPECT_EQ(window.LabelVerdict->text(), row.verdict);
        EXPECT_EQ(window.LabelVitesse->text(), row.speed);
        EXPECT_EQ(window.LabelReussite->text(), row.success);
        EXPECT_EQ(window.accessibleDescription(), row.summary);
        EXPECT_EQ(window.LabelErreurs->text(), row.errorsHeading);
        EXPECT_EQ(Items(window.ListeErreurs), row.errors);
        EXPECT_EQ(window.ListeErreurs->isHidden(), row.errors.isEmpty());
        EXPECT_EQ(window.LabelManquees->isHidden(), row.mostMissed.isEmpty());
        if (!row.mostMissed.isEmpty()) {
            EXPECT_EQ(window.LabelManquees->text(), row.mostMissed);
        }
        EXPECT_EQ(window.BoutonSuivante->isDefault(), row.passed);
        EXPECT_EQ(window.BoutonRecommencer->isDefault(), !row.passed);
        EXPECT_EQ(window.focusWidget(), row.passed ? window.BoutonSuivante : window.BoutonRecommencer);
        EXPECT_EQ(window.BoutonEntrainer->isEnabled(), row.drillOffered);
        EXPECT_EQ(window.BoutonEntrainer->accessibleName(), QStringLiteral("S'entraîner sur mes touches"));
        EXPECT_FALSE(window.BoutonEntrainer->shortcut().isEmpty());
    }
}

// Each place of a wrong key is marked once, whatever was typed there and however often; the lines show as typed,
// markup characters and runs of spaces too; a place outside the lines marks nothing.
TEST(ResultWindow, MarksThePlacesOfTheWrongKeysInTheLinesTyped)
{
    LessonResult result = Result("Leçon 3 : s et l", 100, 90, {});
    result.Lines = {"a<b & c\xE9", "  <i>x</i>", ""};
    result.Mistakes = {{0, 1, '<', 'w'}, {0, 1, '<', 'x'}, {0, 4, '&', 'r'},  {0, 7, 0xE9, '2'},
                       {1, 0, ' ', 'n'}, {1, 3, 'i', 'o'}, {1, 40, 'z', 'e'}, {5, 0, 'a', 'q'}};
    QWidget main;
    TResultat window(&main, result, true);
    const std::vector<std::pair<QString, QString>> expected{
        {QStringLiteral("a<b & cé"), QStringLiteral(" ^  ^  ^")},
        {QStringLiteral("  <i>x</i>"), QStringLiteral("^  ^      ")},
        {QString(), QString()},
    };
    EXPECT_EQ(Shown(window.TexteLignes->text()), expected);
    EXPECT_EQ(window.TexteLignes->accessibleDescription(), QStringLiteral("a<b & cé\n  <i>x</i>\n"));
    EXPECT_EQ(window.ListeErreurs->count(), 8) << "every wrong key is listed, even one whose place is not shown";
}

// Return, Enter, Space and Escape may be the lesson's last keys, typed in flight: for half a second they do nothing,
// wherever the focus is, nor does a key pressed then and released later or one held down; then Return presses the
// default button.
TEST(ResultWindow, TheKeysOfTheLessonsEndDoNothingAtFirst)
{
    QWidget main;
    main.show();
    for (const bool fromTheList : {false, true}) {
        SCOPED_TRACE(fromTheList ? "from the list of wrong keys" : "from the default button");
        TResultat window(&main, Result("Leçon 9 : a et p", 142, 97, {{0, 1, 'k', 'l'}}), true);
        qint64 now = 10000;
        window.Clock = [&now] { return now; };
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QWidget *focus = fromTheList ? static_cast<QWidget *>(window.ListeErreurs) : window.BoutonSuivante;
        focus->setFocus();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape})
            QTest::keyClick(focus, key);
        now += TResultat::QuietMs - 1;
        QTest::keyClick(focus, Qt::Key_Return);
        QTest::keyPress(focus, Qt::Key_Space);
        now += 1;
        QTest::keyRelease(focus, Qt::Key_Space);
        QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(focus, &repeated);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.Chosen(), TResultat::Choice::Close);

        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.Chosen(), TResultat::Choice::NextLesson);
    }
}
