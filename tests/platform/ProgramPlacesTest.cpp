#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "platform/text/ProgramPlaces.h"

// Where the program looks for its files and keeps its learners, in a build or copied folder and installed.

namespace {

class Places : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Root.isValid());
        m_data = qgetenv("XDG_DATA_HOME");
        m_home = qgetenv("HOME");
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_HOME", m_data);
        qputenv("HOME", m_home);
    }
    // Makes the folders, each relative to the root, and returns the root's path ending with "/".
    QString Make(std::initializer_list<const char *> folders)
    {
        for (const char *folder : folders)
            EXPECT_TRUE(QDir(Root.path()).mkpath(QLatin1String(folder)));
        return Root.path() + QLatin1Char('/');
    }

    QTemporaryDir Root;

private:
    QByteArray m_data;
    QByteArray m_home;
};

} // namespace

TEST_F(Places, FilesAreBesideTheProgramElseInTheInstalledShareFolder)
{
    const struct {
        std::initializer_list<const char *> Folders;
        const char *Executable; // relative to the root, as the files' folder
        const char *Files;
    } rows[] = {
        {{"copy/Dictees"}, "copy", "copy/"},
        {{"usr/bin", "usr/share/tapotis2002/Dictees"}, "usr/bin", "usr/share/tapotis2002/"},
        {{"usr/bin/Dictees", "usr/share/tapotis2002/Dictees"}, "usr/bin", "usr/bin/"}, // beside comes first
        {{"usr/bin"}, "usr/bin", "usr/bin/"},                                          // nowhere: beside
    };
    for (const auto &row : rows) {
        QTemporaryDir root;
        for (const char *folder : row.Folders)
            ASSERT_TRUE(QDir(root.path()).mkpath(QLatin1String(folder)));
        const QString at = root.path() + QLatin1Char('/');
        EXPECT_EQ(places::FilesFolder(at + QLatin1String(row.Executable)), at + QLatin1String(row.Files)) << row.Files;
    }
}

TEST_F(Places, LearnersStayBesideAWritableCopyAndGoToTheUserDataFolderWhenInstalled)
{
    const QString root = Make({"copy/Dictees", "usr/bin", "usr/share/tapotis2002/Dictees", "home"});
    const auto at = [&root](const char *path) { return root + QLatin1String(path); };
    EXPECT_EQ(places::LearnersFolder(at("copy"), places::FilesFolder(at("copy"))), at("copy/"));

    const QString installed = places::FilesFolder(at("usr/bin"));
    qputenv("XDG_DATA_HOME", at("data").toUtf8());
    EXPECT_EQ(places::LearnersFolder(at("usr/bin"), installed), at("data/tapotis2002/"))
        << "even where the user may write in the shared files";
    EXPECT_FALSE(QFileInfo::exists(at("data"))) << "made on first use only";
    qputenv("HOME", at("home").toUtf8());
    // A relative data folder would depend on where the program was started from: it is not one.
    for (const char *ignored : {"", "data", "./data"}) {
        qputenv("XDG_DATA_HOME", ignored);
        EXPECT_EQ(places::LearnersFolder(at("usr/bin"), installed), at("home/.local/share/tapotis2002/")) << ignored;
    }
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(places::LearnersFolder(at("usr/bin"), installed), at("home/.local/share/tapotis2002/"));
    qunsetenv("HOME");
    if (const passwd *account = ::getpwuid(::geteuid())) {
        EXPECT_EQ(places::LearnersFolder(at("usr/bin"), installed),
                  QDir::cleanPath(QFile::decodeName(account->pw_dir)) + QStringLiteral("/.local/share/tapotis2002/"))
            << "without HOME, the account's home";
    }
    qputenv("HOME", at("home").toUtf8());

    if (geteuid() == 0)
        GTEST_SKIP() << "an administrator may write anywhere: a read-only copy cannot be made";
    ASSERT_TRUE(QFile::setPermissions(at("copy"), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_EQ(places::LearnersFolder(at("copy"), at("copy/")), at("home/.local/share/tapotis2002/"));
    QFile::setPermissions(at("copy"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
