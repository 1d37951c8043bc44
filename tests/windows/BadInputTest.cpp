#include <sys/stat.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>

#include "MainFixture.h"
#include "platform/controls/TBitBtn.h"
#include "platform/drawing/TDXDraw.h"
#include "platform/text/Cp1252.h"
#include "windows/TLineSeries.h"
#include "windows/TMain.h"

// What the learner meets when the files beside the program are not what they should be: odd lessons are taken
// as the bytes they are, made typeable on the learner's keyboard, and a history that cannot be saved is reported
// without losing a single point.

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
    std::string printable;
    for (char c = '!'; c <= '~'; ++c)
        printable.push_back(c);
    const Row rows[] = {
        {"a megabyte on one line", std::string((1 << 20) - 2, 'a') + "\r\n", std::string((1 << 20) - 2, 'a')},
        // Codes 1 to 32 (less the two breaks) are trimmed; the NUL ends the text. Every printable ASCII character
        // stays; of the others, those the French AZERTY does not type are replaced or left out (checked below).
        {"binary bytes", binary, printable},
        // A UTF-8 file: its bytes read as Windows-1252, so "Été" is "Ã‰tÃ©", whose ‰ and © the keyboard lacks.
        {"UTF-8", "\xC3\x89t\xC3\xA9\n", "\xC3t\xC3"},
    };
    TMain &m = Main();
    for (const Row &row : rows) {
        WriteLesson(1, row.bytes);
        QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
        ASSERT_TRUE(Errors.isEmpty()) << row.name << ": " << Errors.join(QLatin1Char('|')).toStdString();
        const std::string &target = m.Session().TargetText;
        if (row.bytes == binary) {
            EXPECT_EQ(target.substr(0, printable.size()), printable);
            EXPECT_GT(target.size(), printable.size()) << "letters with the accents of the dead keys";
        } else {
            EXPECT_TRUE(target == row.target) << row.name;
        }
        for (const char c : target)
            EXPECT_TRUE(m.TypesOnKeyboard(cp1252::ToUnicode(static_cast<unsigned char>(c)).unicode()))
                << row.name << ": " << int(static_cast<unsigned char>(c));
        EXPECT_EQ(m.LessonLines().size(), 1u) << row.name << ": only the first line is kept";
    }
    Type(QStringLiteral("\u00C3"));
    EXPECT_EQ(m.Session().CorrectCount, 1) << "the first byte of the UTF-8 text is typed as the letter it stands for";
}

TEST_F(BadInput, LessonsWithNothingToTypeAreRefused)
{
    TMain &m = Main();
    for (const std::string &bytes :
         {std::string(4096, '\0'), std::string("\r\n\r\n\n\r"), std::string(" \t\x01\r\n")}) {
        Errors.clear();
        WriteLesson(2, bytes);
        QTest::mouseClick(m.BoutonMoyen, Qt::LeftButton);
        ASSERT_EQ(Errors.size(), 1);
        EXPECT_TRUE(Errors[0].startsWith(QStringLiteral("Indice de liste hors limites")) ||
                    Errors[0].contains(QStringLiteral("est vide")))
            << Errors[0].toStdString();
        EXPECT_TRUE(m.Session().TargetText.empty());
    }
}

// A character no way of the keyboard gives shows the bare keyboard; a lesson never puts one on the line.
TEST_F(BadInput, CharacterWithoutAKeyShowsTheBareKeyboard)
{
    TMain &m = Main();
    const QImage bare = m.PaintBoxKey->Shown().copy();
    m.DrawKeyboardGuide(0x9C);
    m.PaintBoxKey->Flip();
    EXPECT_EQ(m.PaintBoxKey->Shown(), bare) << "œ has no key on the French AZERTY";
    WriteLesson(1, "\x9C"
                   "a\r\n");
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    EXPECT_EQ(m.Session().TargetText, "oea") << "œ written as French typists write it without one";
    EXPECT_NE(m.PaintBoxKey->Shown(), bare);
    Type(QStringLiteral("oea"));
    EXPECT_EQ(m.PaintBoxKey->Shown(), bare);
}

// Anyone who may write beside the program could leave a pipe, a folder, a link or a huge file where a lesson, a
// dictation or a recording is read: each is refused at once, by name, and the running lesson stays as it was.
TEST_F(BadInput, FilesThatAreNotPlainOrTooBigAreRefusedWithoutWaiting)
{
    enum class Kind { Pipe, Folder, Link, TooBig };
    struct Row {
        const char *name;
        const char *file;
        Kind kind;
        const char *text; // the dictation's text, when the row is a recording
        qint64 limit;
    };
    const qint64 megabyte = 1 << 20;
    const Row rows[] = {
        {"lesson pipe", "Dictees/Level1.dll", Kind::Pipe, nullptr, 0},
        {"lesson folder", "Dictees/Level1.dll", Kind::Folder, nullptr, 0},
        {"lesson link", "Dictees/Level1.dll", Kind::Link, nullptr, 0},
        {"lesson over 1 Mo", "Dictees/Level1.dll", Kind::TooBig, nullptr, megabyte},
        {"dictation pipe", "Dictees/Dictee01.txt", Kind::Pipe, nullptr, 0},
        {"dictation over 1 Mo", "Dictees/Dictee01.txt", Kind::TooBig, nullptr, megabyte},
        {"recording pipe", "Dictees/Dictee01.wav", Kind::Pipe, "Le chat.", 0},
        {"recording link", "Dictees/Dictee01.wav", Kind::Link, "Le chat.", 0},
        {"recording over 64 Mo", "Dictees/Dictee01.wav", Kind::TooBig, "Le chat.", 64 * megabyte},
    };
    WriteLesson(2, "abc\r\n");
    TMain &m = Main();
    QAction *dictation = m.PopupMenu2->findChild<QAction *>(QStringLiteral("Dictesnumro11"));
    ASSERT_NE(dictation, nullptr);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = Folder() + QLatin1String(row.file);
        QFile::remove(Folder() + QStringLiteral("Dictees/Dictee01.txt"));
        if (row.text) {
            QFile text(Folder() + QStringLiteral("Dictees/Dictee01.txt"));
            ASSERT_TRUE(text.open(QIODevice::WriteOnly));
            text.write(row.text);
        }
        QFile plain(Folder() + QStringLiteral("plain"));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
        plain.write("abc\r\n");
        plain.close();
        switch (row.kind) {
        case Kind::Pipe: ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); break;
        case Kind::Folder: ASSERT_TRUE(QDir().mkdir(path)); break;
        case Kind::Link: ASSERT_TRUE(QFile::link(Folder() + QStringLiteral("plain"), path)); break;
        case Kind::TooBig: {
            // Sparse: the size is what counts, not a single byte is read.
            QFile big(path);
            ASSERT_TRUE(big.open(QIODevice::WriteOnly));
            ASSERT_TRUE(big.resize(row.limit + 1));
            break;
        }
        }
        QTest::mouseClick(m.BoutonMoyen, Qt::LeftButton);
        Errors.clear();
        if (QLatin1String(row.file).endsWith(QLatin1String(".dll")))
            QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
        else
            dictation->trigger();

        const QString expected =
            row.kind == Kind::TooBig
                ? QStringLiteral("Le fichier %1 est trop volumineux : sa taille ne doit pas dépasser %2 Mo.")
                      .arg(path)
                      .arg(row.limit / megabyte)
                : QStringLiteral("Impossible d'ouvrir le fichier %1.").arg(path);
        EXPECT_EQ(Errors, QStringList{expected});
        EXPECT_EQ(m.Session().TargetText, "abc") << "the running lesson stays";
        if (row.kind == Kind::Folder)
            ASSERT_TRUE(QDir().rmdir(path));
        else
            ASSERT_TRUE(QFile::remove(path));
    }
}
