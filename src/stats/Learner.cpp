#include "stats/Learner.h"

#include <optional>
#include <vector>

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include "platform/dialogs/UserDialogs.h"
#include "platform/text/FileIO.h"
#include "stats/BestScore.h"
#include "stats/HistoryStore.h"
#include "stats/LearnerName.h"
#include "stats/TLineSeries.h"
#include "stats/TStatistiques.h"

bool Learner::Refuse(const QString &text)
{
    m_dialogs.ShowMessage(QStringLiteral("Avertissement"), text, dialogs::Icon::Warning);
    UserName.clear();
    return false;
}

void Learner::TellKeptAside(const QString &text, const QString &aside)
{
    if (!aside.isEmpty())
        m_dialogs.ShowMessage(QStringLiteral("Information"), text.arg(QDir::toNativeSeparators(aside)),
                              dialogs::Icon::Information);
}

bool Learner::Identify(TStatistiques &window)
{
    const QString refused = QStringLiteral("Nom de l'utilisateur est incorrect, veuillez relancer l'application");
    HistoryBlock.Clear();
    UserName.clear();
    m_keepHistoryAside = false;
    const std::optional<QString> answer = m_dialogs.AskText(QStringLiteral("Nom de l'utilisateur"),
                                                            QStringLiteral("Entrez votre nom et prénom (A..Z)"), 255);
    if (answer)
        UserName = *answer;
    // A name that could never be saved is refused now rather than at every save.
    if (!answer || !learnername::Acceptable(ProgramFolder, UserName))
        return Refuse(refused);

    // The folder of all learners is made on first use: the user's data folder may not have it yet.
    QDir().mkpath(ProgramFolder);
    // Any entry under the history's name counts, a link or a pipe too: reading it then says what is wrong.
    const bool historyExists = QFileInfo(HistoryPath()).exists() || QFileInfo(HistoryPath()).isSymLink();
    if (!historyExists) {
        // Folder errors are not reported: a folder that cannot be made is refused just below.
        QDir folder;
        if (folder.mkdir(Folder())) {
            m_dialogs.ShowMessage(QStringLiteral("Information"),
                                  QStringLiteral("Création du répertoire pour l'utilsateur"),
                                  dialogs::Icon::Information);
        } else {
            // An existing empty folder is replaced by a new one; a folder holding files cannot be removed and stays.
            folder.rmdir(Folder());
            folder.mkdir(Folder());
        }
    }
    if (!learnername::IsRealFolder(Folder()))
        return Refuse(refused);
    if (Lock.Take(Folder()) == LearnerLock::Outcome::Busy) {
        return Refuse(QStringLiteral("L'utilisateur %1 utilise déjà le programme dans une autre fenêtre, veuillez la "
                                     "fermer et relancer l'application")
                          .arg(UserName));
    }

    if (historyExists) {
        // Until the file has been read whole and clean, the first save keeps it aside rather than over it.
        m_keepHistoryAside = true;
        ReadHistoryFile(HistoryPath(), HistoryBlock);
        m_keepHistoryAside = HistoryBlock.Damaged();
        for (const HistoryRecord &record : HistoryBlock.LoadedPoints()) {
            window.Series1->AddY(record.Speed);
            window.Series2->AddY(record.Success);
        }
    }
    return true;
}

void Learner::SaveHistory(const TStatistiques &window)
{
    std::vector<HistoryRecord> points;
    for (int i = 0; i < window.Series1->Count(); ++i)
        points.push_back({window.Series1->YValue(i), window.Series2->YValue(i)});
    HistoryBlock.StorePoints(points);
    const QString aside = WriteHistoryFile(HistoryPath(), HistoryBlock, RealFileSystem(),
                                           m_keepHistoryAside ? OldFile::KeepAside : OldFile::Replace);
    m_keepHistoryAside = false;
    TellKeptAside(QStringLiteral("L'ancien historique n'avait pas pu être lu en entier : il est conservé dans le "
                                 "fichier %1"),
                  aside);
}

namespace {

// The most a progress or key figures file can hold, a line per lesson or per character, with room to spare.
constexpr std::size_t LearnerFileLimit = 64 * 1024;

} // namespace

void Learner::LoadFile(const QString &path, const std::function<bool(const std::string &)> &parse, bool &keepAside,
                       const QString &warning)
{
    keepAside = false;
    const QFileInfo file(path);
    if (UserName.isEmpty() || (!file.exists() && !file.isSymLink()))
        return;
    const safefile::Contents contents = safefile::Read(path, LearnerFileLimit);
    if (contents.Refused == safefile::Refusal::None && parse(contents.Bytes))
        return;
    keepAside = true;
    m_dialogs.ShowMessage(QStringLiteral("Avertissement"), warning.arg(QDir::toNativeSeparators(path)),
                          dialogs::Icon::Warning);
}

void Learner::SaveFile(const QString &path, const std::string &bytes, bool &keepAside, const QString &keptAside)
{
    const QString aside = WriteFileSafely(path, bytes.data(), bytes.size(), RealFileSystem(),
                                          keepAside ? OldFile::KeepAside : OldFile::Replace);
    keepAside = false;
    TellKeptAside(keptAside, aside);
}

void Learner::LoadProgress(int lessonCount)
{
    Progress = CourseProgress();
    LoadFile(
        ProgressPath(),
        [&](const std::string &bytes) {
            std::optional<CourseProgress> read = CourseProgress::Parse(bytes, lessonCount);
            if (read)
                Progress = std::move(*read);
            return read.has_value();
        },
        m_keepProgressAside,
        QStringLiteral("Le fichier de progression du parcours %1 ne peut pas être lu : le parcours reprend au début, "
                       "et l'ancien fichier sera conservé sous un autre nom."));
}

void Learner::RecordCourseAttempt(int lesson, double speed, double success, double goalSuccess)
{
    if (UserName.isEmpty())
        return;
    Progress.Record(lesson, speed, success, QDate::currentDate().toString(Qt::ISODate).toStdString(), goalSuccess);
    SaveFile(ProgressPath(), Progress.Format(), m_keepProgressAside,
             QStringLiteral("L'ancien fichier de progression du parcours est conservé dans le fichier %1"));
}

void Learner::LoadKeys()
{
    Keys = KeyFigures();
    LoadFile(
        KeysPath(),
        [&](const std::string &bytes) {
            std::optional<KeyFigures> read = KeyFigures::Parse(bytes);
            if (read)
                Keys = std::move(*read);
            return read.has_value();
        },
        m_keepKeysAside,
        QStringLiteral("Le fichier des touches %1 ne peut pas être lu : les chiffres de vos touches repartent de zéro, "
                       "et l'ancien fichier sera conservé sous un autre nom."));
}

void Learner::SaveKeys()
{
    if (UserName.isEmpty())
        return;
    SaveFile(KeysPath(), Keys.Format(), m_keepKeysAside,
             QStringLiteral("L'ancien fichier des touches est conservé dans le fichier %1"));
}

std::int64_t Learner::BestScore() const
{
    return UserName.isEmpty() ? 0 : bestscore::Read(Folder() + QLatin1Char('/') + bestscore::FileName).value_or(0);
}

void Learner::KeepBestScore(std::int64_t previous, std::int64_t score)
{
    if (score > previous && !UserName.isEmpty())
        bestscore::Write(Folder() + QLatin1Char('/') + bestscore::FileName, score);
}
