#include <fstream>

#include <QAbstractProxyModel>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>

#include "MainFixture.h"
#include "lesson/LessonReader.h"
#include "platform/controls/TBitBtn.h"
#include "platform/dialogs/TOpenDialog.h"
#include "platform/drawing/TDXDraw.h"
#include "platform/input/KeyboardLayout.h"
#include "platform/sound/WaveFile.h"
#include "platform/text/Cp1252.h"
#include "windows/TLineSeries.h"

// The voice dictations: the text is hidden and read aloud, the learner types what is heard, and the finished
// dictation is recorded; the learner's own text files, in either encoding, give the same lesson.

namespace {

// A second of a quiet tone, 8 kHz 16-bit mono, as a RIFF/WAVE file.
QByteArray ToneWave()
{
    const int rate = 8000;
    QByteArray samples;
    for (int i = 0; i < rate; ++i) {
        const qint16 value = static_cast<qint16>(i % 16 < 8 ? 3000 : -3000);
        samples.append(static_cast<char>(value & 0xFF)).append(static_cast<char>((value >> 8) & 0xFF));
    }
    auto u32 = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        return b;
    };
    QByteArray file = "RIFF" + u32(36 + static_cast<quint32>(samples.size())) + "WAVEfmt " + u32(16);
    file += QByteArray::fromHex("01000100") + u32(rate) + u32(rate * 2) + QByteArray::fromHex("02001000");
    return file + "data" + u32(static_cast<quint32>(samples.size())) + samples;
}

bool HasYellow(const QImage &line)
{
    for (int y = 0; y < line.height(); ++y)
        for (int x = 0; x < line.width(); ++x)
            if ((line.pixel(x, y) & 0xFFFFFF) == 0xFFFF00)
                return true;
    return false;
}

class Dictation : public MainFixture
{
protected:
    void WriteFile(const QString &relative, const QByteArray &bytes)
    {
        QFile file(Folder() + relative);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QAction *Item(const char *name) { return Main().PopupMenu2->findChild<QAction *>(QLatin1String(name)); }
    int PlayingVoices()
    {
        if (Main().DXWaveList2.Count() == 0)
            return 0;
        int playing = 0;
        for (const auto &voice : Main().DXWaveList2.Items(0).Voice)
            playing += voice->Playing();
        return playing;
    }
};

} // namespace

TEST_F(Dictation, ChosenDictationIsHiddenReadAloudAndRecorded)
{
    WriteFile(QStringLiteral("Dictees/Dictee03.txt"), "Le chat dort.\r\nune autre ligne\r\n");
    WriteFile(QStringLiteral("Dictees/Dictee03.wav"), ToneWave());
    TMain &m = Main();
    const QImage bare = m.PaintBoxKey->Shown().copy();
    ASSERT_FALSE(Item("ReecouterDictee1")->isEnabled());
    Item("Dictesnumro31")->trigger();
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(m.Session().TargetText, "Le chat dort.");
    EXPECT_EQ(m.Session().PracticeMode, Practice::Scrolling);
    EXPECT_FALSE(HasYellow(m.DXPaintBoxTexte->Shown())) << "the text stays hidden";
    ASSERT_EQ(m.DXWaveList2.Count(), 1);
    EXPECT_EQ(m.DXWaveList2.Items(0).Name, QStringLiteral("Dictee03.wav"));
    EXPECT_EQ(PlayingVoices(), 1);
    EXPECT_TRUE(Item("ReecouterDictee1")->isEnabled());

    // A fifth of the way into the recording, however long that takes on a loaded machine.
    const auto position = [&] { return m.DXWaveList2.Items(0).Voice.at(0)->Position(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return position() >= 1600; }, 5000));
    const int before = position();
    Item("ReecouterDictee1")->trigger();
    EXPECT_EQ(PlayingVoices(), 1) << "heard again, not over itself";
    EXPECT_EQ(m.DXWaveList2.Items(0).Voice.size(), 1u);
    EXPECT_LT(position(), before) << "from its beginning";

    // The guide gives nothing away until the learner has missed the key once.
    EXPECT_EQ(m.PaintBoxKey->Shown(), bare);
    EXPECT_EQ(m.PaintBoxKey->accessibleDescription(), QString());
    EXPECT_EQ(m.DXPaintBoxTexte->accessibleDescription(),
              QStringLiteral("Écoutez la dictée, puis tapez ce que vous entendez."));
    Type(QStringLiteral("x"));
    EXPECT_NE(m.PaintBoxKey->Shown(), bare);
    EXPECT_EQ(m.PaintBoxKey->accessibleDescription(),
              QStringLiteral("Prochaine touche : L majuscule, annulaire droit"));
    Type(QStringLiteral("L"));
    EXPECT_EQ(m.PaintBoxKey->Shown(), bare);

    Type(QStringLiteral("e chat"));
    EXPECT_FALSE(HasYellow(m.DXPaintBoxTexte->Shown())) << "still hidden while typing";
    Type(QStringLiteral(" dort."));
    ASSERT_EQ(m.Statistiques().Series2->Count(), 1);
    EXPECT_DOUBLE_EQ(m.Statistiques().Series2->YValue(0), 100 - 100.0 / 14) << "one miss in 14 keys";
    EXPECT_TRUE(QFile::exists(m.HistoryPath()));

    // Another lesson takes the recording away.
    WriteLesson(1, "abc\r\n");
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    EXPECT_EQ(m.DXWaveList2.Count(), 0);
    Item("ReecouterDictee1")->trigger();
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(Dictation, WithoutRecordingTheTextIsShownAsASentence)
{
    WriteFile(QStringLiteral("Dictees/Dictee05.txt"), "Bonjour\r\n");
    TMain &m = Main();
    Item("Dictesnumro51")->trigger();
    EXPECT_EQ(m.Session().TargetText, "Bonjour");
    EXPECT_EQ(m.Session().PracticeMode, Practice::Sentences);
    EXPECT_TRUE(HasYellow(m.DXPaintBoxTexte->Shown()));
    EXPECT_EQ(m.DXWaveList2.Count(), 0);
}

TEST_F(Dictation, MissingOrEmptyDictationLeavesTheRunningLessonAlone)
{
    WriteLesson(1, "abc\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("a"));
    Item("Dictenumro101")->trigger();
    WriteFile(QStringLiteral("Dictees/Dictee01.txt"), "   \r\nsuite\r\n");
    Item("Dictesnumro11")->trigger();
    WriteFile(QStringLiteral("Dictees/Dictee02.txt"), "Texte\r\n");
    WriteFile(QStringLiteral("Dictees/Dictee02.wav"), "RIFF pas un son");
    Item("Dictesnumro12")->trigger();
    ASSERT_EQ(Errors.size(), 3);
    EXPECT_TRUE(Errors[0].startsWith(QStringLiteral("Impossible d'ouvrir le fichier "))) << Errors[0].toStdString();
    EXPECT_TRUE(Errors[0].contains(QStringLiteral("Dictee10.txt")));
    EXPECT_TRUE(Errors[1].contains(QStringLiteral("est vide"))) << Errors[1].toStdString();
    EXPECT_EQ(m.Session().TargetText, "abc");
    EXPECT_EQ(m.Session().TypedText, "a");
    EXPECT_EQ(m.Session().PracticeMode, Practice::Training);
}

TEST_F(Dictation, OwnTextInEitherEncodingGivesTheSameLesson)
{
    TMain &m = Main();
    QDir(Folder()).mkdir(QStringLiteral("mes dictées"));
    // Windows-1252, with a typographic apostrophe and a no-break space; then the same in UTF-8 with its mark.
    WriteFile(QStringLiteral("mes dictées/fenetre.txt"), "L\x92\xe9t\xe9 \xe0 la fen\xeatre\xa0!\r\n");
    WriteFile(QStringLiteral("mes dictées/utf8.txt"), "\xEF\xBB\xBFL\xE2\x80\x99\xC3\xA9t\xC3\xA9 \xC3\xA0 la "
                                                      "fen\xC3\xAAtre\xE2\x80\xAF!\n");
    const std::string expected = "L'\xe9t\xe9 \xe0 la fen\xeatre !";
    for (const char *name : {"fenetre.txt", "utf8.txt"}) {
        const QString path = Folder() + QStringLiteral("mes dictées/") + QLatin1String(name);
        Dialogs.ChosenFile = path;
        Item("OuvrirDictee1")->trigger();
        EXPECT_EQ(m.Session().TargetText, expected) << name;
        EXPECT_EQ(m.Session().PracticeMode, Practice::Sentences) << "no recording beside it: shown";
    }

    // A recording of the same name beside the text makes it a dictation.
    WriteFile(QStringLiteral("mes dictées/utf8.wav"), ToneWave());
    Item("OuvrirDictee1")->trigger();
    EXPECT_EQ(m.Session().PracticeMode, Practice::Scrolling);
    EXPECT_EQ(PlayingVoices(), 1);

    // Cancelling the dialog changes nothing.
    Dialogs.ChosenFile.clear();
    Item("OuvrirDictee1")->trigger();
    EXPECT_EQ(m.Session().TargetText, expected);
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('|')).toStdString();
}

// A dictation the learner brings is made typeable on their keyboard as their own texts are: the French AZERTY gets
// what French typists type without the signs it lacks, BÉPO keeps its own; either way the line can be typed to its end.
TEST_F(Dictation, OwnDictationIsMadeTypeableOnTheLearnersKeyboard)
{
    const struct {
        const char *keyboard;
        std::string line;
        QString firstKey;
    } rows[] = {
        {"fr\n", "\" Ca co\xFBte 5 \x80 \", dit-elle : Ecole, oeuvre.", QStringLiteral("guillemet, annulaire gauche")},
        {"fr(bepo)\n",
         "\xAB \xC7"
         "a co\xFBte 5 \x80 \xBB, dit-elle : \xC9"
         "cole, \x9Cuvre.",
         QStringLiteral("guillemet ouvrant, auriculaire gauche")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.keyboard);
        ASSERT_TRUE(QDir(Folder()).mkpath(QStringLiteral("Testeur")));
        WriteFile(QStringLiteral("Testeur/Clavier.txt"), row.keyboard);
        WriteFile(QStringLiteral("oeuvre.txt"), "\xC2\xAB \xC3\x87"
                                                "a co\xC3\xBBte 5 \xE2\x82\xAC \xC2\xBB, dit-elle : "
                                                "\xC3\x89"
                                                "cole, \xC5\x93uvre.\n");
        TMain &m = Main();
        Dialogs.ChosenFile = Folder() + QStringLiteral("oeuvre.txt");
        Item("OuvrirDictee1")->trigger();
        ASSERT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(m.Session().TargetText, row.line);
        EXPECT_EQ(m.PaintBoxKey->accessibleDescription(), QStringLiteral("Prochaine touche : ") + row.firstKey);
        Type(cp1252::ToUnicode(m.Session().TargetText));
        EXPECT_TRUE(m.Session().FullyTyped());
        CloseMain();
    }
}

TEST(DictationLine, TypographicSignsBecomeTypeableOnes)
{
    struct Row {
        const char *bytes;
        const char *line;
    };
    for (const Row &row :
         {Row{"\x93Oui\x94, dit-il\x85", "\"Oui\", dit-il..."}, Row{"\xab c\x9cur \xbb", "\" coeur \""},
          Row{"\x8c"
              "uvre \x96 \x97 fin",
              "OEuvre - - fin"},
          Row{"\xa0 l\x91un\xa0", "l'un"}, Row{"", ""}, Row{"\r\ndeux", ""}, Row{"  une\r\ndeux", "une"}})
        EXPECT_EQ(DictationLine(row.bytes), row.line) << row.bytes;
}

TEST(ShippedDictations, EveryDictationCanBeTypedAndHasItsRecording)
{
    for (int n = 1; n <= 10; ++n) {
        const QString name = QStringLiteral("Dictee%1").arg(n, 2, 10, QLatin1Char('0'));
        QFile text(QStringLiteral(TUTOR_PROGRAM_DIR "/Dictees/") + name + QStringLiteral(".txt"));
        ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << name.toStdString();
        const std::string line = DictationLine(text.readAll().toStdString());
        EXPECT_GT(line.size(), 20u) << name.toStdString();
        for (char c : line)
            EXPECT_NE(kbdlayout::VkKeyScan(static_cast<unsigned char>(c)), kbdlayout::NoKey)
                << name.toStdString() << ": a key for " << int(static_cast<unsigned char>(c));

        QFile recording(QStringLiteral(TUTOR_PROGRAM_DIR "/Dictees/") + name + QStringLiteral(".wav"));
        ASSERT_TRUE(recording.open(QIODevice::ReadOnly)) << name.toStdString();
        const PcmWave wave = ReadWave(recording.readAll());
        EXPECT_EQ(wave.SamplesPerSec, 22050);
        EXPECT_EQ(wave.Channels, 1);
        // Read slowly, signs included: about a second for every six characters, never cut short.
        EXPECT_GT(wave.Seconds(), static_cast<double>(line.size()) / 12) << name.toStdString();
        EXPECT_LT(wave.Seconds(), 30) << name.toStdString();
    }
}

TEST_F(Dictation, TheOpenDialogStartsAmongTheDictationsAndSpeaksFrench)
{
    WriteFile(QStringLiteral("Dictees/Dictee01.txt"), "Bonjour\r\n");
    TMain &m = Main();
    std::unique_ptr<QFileDialog> dialog = m.OpenDialog1.MakeDialog(&m, QStringLiteral("Ouvrir une dictée"));
    EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(Folder() + QStringLiteral("Dictees")).canonicalPath());
    dialog->show();
    const auto *files = dialog->findChild<QFileSystemModel *>();
    ASSERT_NE(files, nullptr);
    const QString path = QDir(Folder() + QStringLiteral("Dictees/Dictee01.txt")).canonicalPath();
    auto shown = [&](int column) {
        return dialog->proxyModel()->mapFromSource(files->index(path, column)).data().toString();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown(3).isEmpty(); }, 3000));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$")).match(shown(3)).hasMatch())
        << shown(3).toStdString();
    EXPECT_EQ(shown(1), QStringLiteral("9 octets"));
    EXPECT_EQ(files->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Dernière modification"));
}
