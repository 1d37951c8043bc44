#include "MainFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"

void MainFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    QDir(m_dir.path()).mkdir(QStringLiteral("Dictees"));
    NameAnswer = QStringLiteral("Testeur");
    Dialogs.WhileModal = [this](QDialog &window) {
        if (auto *statistics = qobject_cast<TStatistiques *>(&window); statistics && WhileStatisticsShown)
            WhileStatisticsShown(*statistics);
    };
}

void MainFixture::CloseMain()
{
    m_main.reset();
}

void MainFixture::TearDown()
{
    CloseMain();
}

void MainFixture::WriteLesson(int level, const std::string &bytes)
{
    QFile file(Folder() + QStringLiteral("Dictees/Level%1.dll").arg(level));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

TMain &MainFixture::Main()
{
    if (!m_main) {
        m_main = std::make_unique<TMain>(ExecutableFolder.isEmpty() ? Folder() : ExecutableFolder, Dialogs);
        m_main->show();
        m_main->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_main.get()));
    }
    return *m_main;
}

QString MainFixture::Shown(const TLabel *label)
{
    return label->Caption();
}

QString MainFixture::BoxText() const
{
    return m_main->EditText->text();
}

void MainFixture::Type(const QString &text)
{
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 128;
    if (ascii) {
        QTest::keyClicks(Main().EditText, text);
        return;
    }
    // Qt Test types ASCII only: other characters go as one key press and release each, with their text, as a
    // keyboard sends them.
    for (const QChar c : text) {
        const Qt::Key key =
            c.isLetterOrNumber() && c.unicode() < 128 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, Main().EditText, key, QString(c), Qt::NoModifier);
    }
}
