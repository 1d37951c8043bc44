#include <QDir>
#include <QFile>
#include <QTest>

#include "MainFixture.h"
#include "platform/TBitBtn.h"
#include "platform/TDXDraw.h"
#include "stats/TLineSeries.h"

// What the learner meets when the files beside the program are not what they should be: odd lessons are taken
// as the bytes they are, and a history that cannot be saved is reported without losing a single point.

using BadInput = MainFixture;

TEST_F(BadInput, OddLessonsAreTakenAsTheirBytes)
{
    struct Row {
        const char *name;
        std::string bytes;
        std::string target;
    };
    std::string binary;
    for (int i = 1; i < 256; ++i)
        if (i != '\r' && i != '\n')
            binary.push_back(static_cast<char>(i));
    binary += std::string("\0\r\nsuite", 8);
    const Row rows[] = {
        {"a megabyte on one line", std::string(1 << 20, 'a') + "\r\n", std::string(1 << 20, 'a')},
        // Codes 1 to 32 (less the two breaks) are trimmed; the NUL ends the text.
        {"binary bytes", binary, binary.substr(30, 223)},
        // A UTF-8 file: its bytes read as Windows-1252, so "Été" is five characters.
        {"UTF-8", "\xC3\x89t\xC3\xA9\n", "\xC3\x89t\xC3\xA9"},
    };
    TMain &m = Main();
    for (const Row &row : rows) {
        WriteLesson(1, row.bytes);
        QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
        ASSERT_TRUE(Errors.isEmpty()) << row.name << ": " << Errors.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(m.Session.TargetText.size(), row.target.size()) << row.name;
        EXPECT_TRUE(m.Session.TargetText == row.target) << row.name;
    }
    Type(QStringLiteral("\u00C3"));
    EXPECT_EQ(m.Session.CorrectCount, 1) << "the first byte of the UTF-8 text is typed as the letter it stands for";
}

TEST_F(BadInput, LessonsWithNothingToTypeAreRefused)
{
    TMain &m = Main();
    for (const std::string &bytes : {std::string(4096, '\0'), std::string("\r\n\r\n\n\r"), std::string(" \t\x01\r\n")}) {
        Errors.clear();
        WriteLesson(2, bytes);
        QTest::mouseClick(m.BoutonMoyen, Qt::LeftButton);
        ASSERT_EQ(Errors.size(), 1);
        EXPECT_TRUE(Errors[0].startsWith(QStringLiteral("Indice de liste hors limites")) ||
                    Errors[0].contains(QStringLiteral("est vide")))
            << Errors[0].toStdString();
        EXPECT_TRUE(m.Session.TargetText.empty());
    }
}

TEST_F(BadInput, CharacterWithoutAKeyShowsTheBareKeyboard)
{
    TMain &m = Main();
    const QImage bare = m.PaintBoxKey->Shown().copy();
    WriteLesson(1, "\x9C" "a\r\n");
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    EXPECT_EQ(m.PaintBoxKey->Shown(), bare) << "œ has no key of its own";
    WriteLesson(1, "a\x9C\r\n");
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    EXPECT_NE(m.PaintBoxKey->Shown(), bare);
    Type(QStringLiteral("a"));
    EXPECT_EQ(m.PaintBoxKey->Shown(), bare);
}

TEST_F(BadInput, HistoryThatCannotBeSavedLosesNoPoint)
{
    WriteLesson(1, "ab\r\n");
    TMain &m = Main();
    // The learner's folder disappears after the identification.
    ASSERT_TRUE(QDir(m.UserFolder()).removeRecursively());
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("ab"));
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors[0], QStringLiteral("Nom de fichier incorrect."));
    EXPECT_EQ(m.Statistiques->Series1->Count(), 1) << "the point stays on the chart";
    EXPECT_FALSE(QFileInfo::exists(m.HistoryPath()));

    // Once the folder is back, the next save writes both lessons.
    ASSERT_TRUE(QDir().mkpath(m.UserFolder()));
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("ab"));
    EXPECT_EQ(Errors.size(), 1);
    QFile saved(m.HistoryPath());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    ASSERT_EQ(bytes.size(), 12816);
    EXPECT_NE(bytes.left(32), QByteArray(32, '\0'));
    EXPECT_EQ(bytes.mid(32, 16), QByteArray(16, '\0'));
    EXPECT_NE(bytes.mid(16, 16), QByteArray(16, '\0'));
}
