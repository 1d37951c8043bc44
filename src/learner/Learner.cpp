#include "learner/Learner.h"

#include <cerrno>
#include <exception>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "learner/BestScore.h"
#include "learner/HistoryStore.h"
#include "learner/LearnerName.h"
#include "platform/text/SafeFile.h"
#include "platform/text/TutorError.h"
#include "records/CourseRules.h"

namespace {

// Takes what a file was read into when it was understood; whether it was.
template <typename Record>
bool Take(Record &into, std::optional<Record> read)
{
    if (read)
        into = std::move(*read);
    return read.has_value();
}

// The most a progress or key figures file can hold, a line per lesson or per character, with room to spare.
constexpr std::size_t LearnerFileLimit = 64 * 1024;
// A line of about forty bytes for each of the fifty attempts kept of each lesson and of the drills, with room to
// spare for a file that holds more.
constexpr std::size_t AttemptsFileLimit = 1024 * 1024;
// Far more than any score's digits.
constexpr std::size_t ScoreFileLimit = 64;

const QString HistoryName = QStringLiteral("Config.txt");

QString Shown(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

// An error number as the learner reads it, in a sentence about a folder.
QString FolderError(int error)
{
    if (error == ELOOP)
        return QStringLiteral("c'est un lien, qui n'est pas suivi");
    if (error == ENOTDIR)
        return QStringLiteral("ce n'est pas un dossier");
    return safefile::IoErrorText(error);
}

// How a character of the key figures reads in a warning: itself, or its code when it shows nothing.
QString CharacterShown(unsigned char ch)
{
    if (ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch < 0xA1) || ch == 0xAD)
        return QStringLiteral("U+%1").arg(int(ch), 4, 16, QLatin1Char('0')).toUpper();
    return QString(QChar(char16_t(ch)));
}

} // namespace

bool Learner::Refuse(const QString &text)
{
    m_notices.ShowMessage(QStringLiteral("Avertissement"), text, true);
    UserName.clear();
    Place.Release();
    return false;
}

void Learner::TellKeptAside(const QString &text, const QString &aside)
{
    if (!aside.isEmpty())
        m_notices.ShowMessage(QStringLiteral("Information"), text.arg(QDir::toNativeSeparators(aside)), false);
}

QString Learner::FolderProblem(LearnerFolder::Outcome outcome) const
{
    const QString folder = Shown(Folder());
    const QString why = FolderError(Place.Error());
    switch (outcome) {
    case LearnerFolder::Outcome::Held: break;
    case LearnerFolder::Outcome::Busy:
        return QStringLiteral(
                   "L'utilisateur %1 utilise déjà le programme dans une autre fenêtre, veuillez la fermer et "
                   "relancer l'application")
            .arg(UserName);
    case LearnerFolder::Outcome::NoLearnersFolder:
        return QStringLiteral("Le dossier des utilisateurs %1 ne peut pas être créé ni ouvert (%2) : vérifiez ce "
                              "dossier, puis relancez l'application")
            .arg(Shown(ProgramFolder), why);
    case LearnerFolder::Outcome::CannotOpen:
        return QStringLiteral("Le dossier de l'utilisateur %1 ne peut pas être créé ni ouvert (%2), veuillez relancer "
                              "l'application")
            .arg(folder, why);
    case LearnerFolder::Outcome::NotAFolder:
        return QStringLiteral("Nom de l'utilisateur est incorrect, veuillez relancer l'application");
    case LearnerFolder::Outcome::NotOwned:
        return QStringLiteral("Le dossier %1 appartient à un autre utilisateur : vos fichiers n'y seraient pas à "
                              "l'abri. Choisissez un autre nom et relancez l'application")
            .arg(folder);
    case LearnerFolder::Outcome::OpenToOthers:
        return QStringLiteral("D'autres utilisateurs peuvent écrire dans le dossier %1 : vos fichiers n'y seraient pas "
                              "à l'abri. Retirez-leur ce droit (chmod go-w) et relancez l'application")
            .arg(folder);
    case LearnerFolder::Outcome::CannotLock:
        return QStringLiteral("Le dossier %1 ne peut pas être réservé à cette fenêtre (%2) : une autre fenêtre "
                              "pourrait enregistrer par-dessus vos résultats. Veuillez relancer l'application")
            .arg(folder, why);
    }
    return QString();
}

int Learner::FolderForSave()
{
    const LearnerFolder::Outcome outcome = Place.Reach();
    if (outcome == LearnerFolder::Outcome::Held)
        return Place.Descriptor();
    // A folder removed since: the history file cannot be made in a missing folder.
    if (outcome == LearnerFolder::Outcome::CannotOpen && Place.Error() == ENOENT)
        throw TutorError(QStringLiteral("Nom de fichier incorrect"));
    throw TutorError(FolderProblem(outcome));
}

bool Learner::Identify(int lessonCount, const std::function<bool(unsigned char)> &onKeyboard)
{
    const QString refused = QStringLiteral("Nom de l'utilisateur est incorrect, veuillez relancer l'application");
    HistoryBlock.Clear();
    Results.clear();
    ResultsRead = 0;
    UserName.clear();
    m_keepHistoryAside = false;
    const std::optional<QString> answer = m_notices.AskText(QStringLiteral("Nom de l'utilisateur"),
                                                            QStringLiteral("Entrez votre nom et prénom (A..Z)"), 255);
    // A name that could never be saved is refused now rather than at every save.
    const QString name = answer ? learnername::Normalised(*answer) : QString();
    if (!answer || !learnername::Acceptable(ProgramFolder, name))
        return Refuse(refused);
    UserName = name;

    // The folder of all learners is made on first use: the user's data folder may not have it yet.
    bool made = false;
    const LearnerFolder::Outcome outcome = Place.Take(ProgramFolder, UserName, true, &made);
    if (made)
        m_notices.ShowMessage(QStringLiteral("Information"), QStringLiteral("Création du répertoire pour l'utilsateur"),
                              false);
    if (outcome != LearnerFolder::Outcome::Held)
        return Refuse(FolderProblem(outcome));

    SettleLeftovers();
    // Any entry under the history's name counts, a link or a pipe too: reading it then says what is wrong.
    struct stat status {};
    const QByteArray historyName = QFile::encodeName(HistoryName);
    const bool historyExists =
        ::fstatat(Place.Descriptor(), historyName.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    std::exception_ptr unreadHistory;
    if (historyExists) {
        // Until the file has been read whole and clean, the first save keeps it aside rather than over it.
        m_keepHistoryAside = true;
        try {
            ReadHistoryFile(HistoryPath(), HistoryBlock, safefile::RealFileSystem(), Place.Descriptor());
            m_keepHistoryAside = HistoryBlock.Damaged();
            Results = HistoryBlock.LoadedPoints();
            ResultsRead = Results.size();
        } catch (const TutorError &) {
            // The other files are the learner's too: they are read before the history's error is told.
            unreadHistory = std::current_exception();
        }
    }
    m_lessonCount = lessonCount;
    m_onFrenchKeyboard = onKeyboard;
    LoadKeyboard();
    LoadKeyboardRecords();
    LoadScore();
    if (unreadHistory)
        std::rethrow_exception(unreadHistory);
    return true;
}

void Learner::Settle(const QString &path, std::size_t limit, const std::function<bool(const std::string &)> &complete)
{
    const safefile::Leftover settled =
        safefile::SettleLeftover(path, complete, limit, safefile::RealFileSystem(), Place.Descriptor());
    TellKeptAside(QStringLiteral("Un enregistrement interrompu a été terminé ; le fichier qu'il remplace est "
                                 "conservé dans le fichier %1"),
                  settled.KeptAside);
}

void Learner::SettleLeftovers()
{
    Settle(HistoryPath(), std::size_t(HistoryBytes),
           [](const std::string &bytes) { return bytes.size() == std::size_t(HistoryBytes); });
    Settle(KeyboardPath(), LearnerFileLimit,
           [](const std::string &bytes) { return layouts::ParseChoice(bytes).has_value(); });
    Settle(ScorePath(), ScoreFileLimit,
           [](const std::string &bytes) { return !bytes.empty() && bestscore::Parse(bytes).has_value(); });
}

void Learner::SettleKeyboardLeftovers()
{
    const int lessonCount = m_lessonCount;
    Settle(ProgressPath(), LearnerFileLimit,
           [lessonCount](const std::string &bytes) { return CourseProgress::Parse(bytes, lessonCount).has_value(); });
    Settle(AttemptsPath(), AttemptsFileLimit,
           [lessonCount](const std::string &bytes) { return LessonAttempts::Parse(bytes, lessonCount).has_value(); });
    Settle(KeysPath(), LearnerFileLimit, [](const std::string &bytes) { return KeyFigures::Parse(bytes).has_value(); });
}

void Learner::LoadKeyboardRecords()
{
    m_progressUnsaved = false;
    m_attemptsUnsaved = false;
    if (!UserName.isEmpty() && Place.Held())
        SettleKeyboardLeftovers();
    LoadProgress(m_lessonCount);
    LoadAttempts(m_lessonCount);
    LoadKeys([this](unsigned char ch) { return OnKeyboard(ch); });
}

void Learner::Record(const LessonResult &result)
{
    if (result.CourseLesson != 0)
        m_notices.Guarded([&] {
            RecordCourseAttempt(result.CourseLesson, static_cast<double>(result.Speed),
                                static_cast<double>(result.Success));
        });
    if (result.CourseLesson != 0 || result.Drill)
        m_notices.Guarded([&] {
            RecordLessonAttempt(result.CourseLesson != 0 ? result.CourseLesson : LessonAttempts::Drills, result);
        });
    if (result.OwnText.Set())
        m_notices.Guarded([&] { KeepTextPosition(result.OwnText.Text, result.OwnText.End); });
    Results.push_back(result.Kept);
    SaveHistory();
    m_notices.Guarded([&] { SaveKeys(); });
}

void Learner::LoadTexts()
{
    Texts = OwnTexts();
    if (UserName.isEmpty() || !Place.Held())
        return;
    const QStringList problems = Texts.Load(Place.Descriptor(), Folder());
    if (!problems.isEmpty())
        m_notices.ShowMessage(QStringLiteral("Avertissement"), problems.join(QLatin1Char('\n')), true);
}

const OwnTexts::Entry &Learner::AddText(const std::string &title, const std::string &text)
{
    return Texts.Add(FolderForSave(), Folder(), title, text);
}

void Learner::RemoveText(const std::string &file)
{
    Texts.Remove(FolderForSave(), Folder(), file);
}

std::vector<std::string> Learner::TextLines(const std::string &file)
{
    return Texts.Lines(FolderForSave(), Folder(), file);
}

void Learner::KeepTextPosition(const std::string &file, std::size_t position)
{
    if (!UserName.isEmpty())
        Texts.SetPosition(FolderForSave(), Folder(), file, position);
}

void Learner::SaveHistory()
{
    HistoryBlock.StorePoints(Results);
    const int folder = FolderForSave();
    const QString aside =
        WriteHistoryFile(HistoryPath(), HistoryBlock, safefile::RealFileSystem(),
                         m_keepHistoryAside ? safefile::OldFile::KeepAside : safefile::OldFile::Replace, folder);
    m_keepHistoryAside = false;
    TellKeptAside(QStringLiteral("L'ancien historique n'avait pas pu être lu en entier : il est conservé dans le "
                                 "fichier %1"),
                  aside);
}

void Learner::LoadFile(const QString &path, std::size_t limit, const std::function<bool(const std::string &)> &parse,
                       bool &keepAside, const QString &warning)
{
    keepAside = true;
    if (UserName.isEmpty() || !Place.Held())
        return;
    const safefile::Contents contents = safefile::ReadIn(Place.Descriptor(), QFileInfo(path).fileName(), limit);
    if (contents.Refused == safefile::Refusal::CannotOpen && contents.Error == ENOENT) {
        keepAside = false;
        return;
    }
    if (contents.Refused == safefile::Refusal::None && parse(contents.Bytes)) {
        keepAside = false;
        return;
    }
    m_notices.ShowMessage(QStringLiteral("Avertissement"), warning.arg(QDir::toNativeSeparators(path)), true);
}

void Learner::SaveFile(const QString &path, const std::string &bytes, bool &keepAside, const QString &keptAside)
{
    const int folder = FolderForSave();
    const QString aside =
        safefile::WriteFileSafely(path, bytes.data(), bytes.size(), safefile::RealFileSystem(),
                                  keepAside ? safefile::OldFile::KeepAside : safefile::OldFile::Replace, folder);
    keepAside = false;
    TellKeptAside(keptAside, aside);
}

void Learner::LoadProgress(int lessonCount)
{
    Progress = CourseProgress();
    LoadFile(
        ProgressPath(), LearnerFileLimit,
        [&](const std::string &bytes) { return Take(Progress, CourseProgress::Parse(bytes, lessonCount)); },
        m_keepProgressAside,
        QStringLiteral("Le fichier de progression du parcours %1 ne peut pas être lu : le parcours reprend au début, "
                       "et l'ancien fichier sera conservé sous un autre nom."));
}

void Learner::RecordCourseAttempt(int lesson, double speed, double success)
{
    if (UserName.isEmpty())
        return;
    courserules::Record(Progress, lesson, speed, success, QDate::currentDate().toString(Qt::ISODate).toStdString());
    m_progressUnsaved = true;
    SaveProgress();
}

void Learner::SaveProgress()
{
    SaveFile(ProgressPath(), Progress.Format(), m_keepProgressAside,
             QStringLiteral("L'ancien fichier de progression du parcours est conservé dans le fichier %1"));
    m_progressUnsaved = false;
}

void Learner::LoadAttempts(int lessonCount)
{
    Attempts = LessonAttempts();
    LoadFile(
        AttemptsPath(), AttemptsFileLimit,
        [&](const std::string &bytes) { return Take(Attempts, LessonAttempts::Parse(bytes, lessonCount)); },
        m_keepAttemptsAside,
        QStringLiteral("Le fichier des essais des leçons %1 ne peut pas être lu : les essais repartent de zéro, et "
                       "l'ancien fichier sera conservé sous un autre nom."));
}

void Learner::RecordLessonAttempt(int lesson, const LessonResult &result)
{
    if (UserName.isEmpty())
        return;
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    Attempts.Record(lesson, {now.toStdString(), static_cast<double>(result.Speed), static_cast<double>(result.Success),
                             result.Errors});
    m_attemptsUnsaved = true;
    SaveAttempts();
}

void Learner::SaveAttempts()
{
    SaveFile(AttemptsPath(), Attempts.Format(), m_keepAttemptsAside,
             QStringLiteral("L'ancien fichier des essais des leçons est conservé dans le fichier %1"));
    m_attemptsUnsaved = false;
}

void Learner::LoadKeyboard()
{
    Keyboard = DesktopKeyboard.value_or(layouts::Layout::FrenchAzerty);
    LoadFile(
        KeyboardPath(), LearnerFileLimit,
        [&](const std::string &bytes) { return Take(Keyboard, layouts::ParseChoice(bytes)); }, m_keepKeyboardAside,
        QStringLiteral("Le fichier du clavier %1 ne peut pas être lu : le clavier est celui du bureau, et l'ancien "
                       "fichier sera conservé sous un autre nom."));
}

void Learner::ChooseKeyboard(layouts::Layout layout)
{
    const bool another = layout != Keyboard;
    // What was done on the keyboard left is its own: what a failed save left unsaved goes to its files now.
    if (another && !UserName.isEmpty()) {
        if (m_progressUnsaved)
            m_notices.Guarded([&] { SaveProgress(); });
        if (m_attemptsUnsaved)
            m_notices.Guarded([&] { SaveAttempts(); });
        if (!Keys.Empty())
            m_notices.Guarded([&] { SaveKeys(); });
    }
    Keyboard = layout;
    if (UserName.isEmpty())
        return;
    // The records in hand are the new keyboard's before anything can fail: a failed save of the choice must not
    // leave one keyboard's records to be saved as another's.
    if (another)
        LoadKeyboardRecords();
    SaveFile(KeyboardPath(), layouts::ChoiceText(layout), m_keepKeyboardAside,
             QStringLiteral("L'ancien fichier du clavier est conservé dans le fichier %1"));
}

std::optional<QString> Learner::KeyboardNotice() const
{
    const QString followed = QString::fromUtf8(layouts::DescriptionOf(Keyboard).Name);
    QString notice;
    if (DesktopKeyboard && *DesktopKeyboard != Keyboard)
        notice = QStringLiteral("Le parcours suit le clavier « %1 », mais le bureau est réglé sur le clavier « %2 » : "
                                "les touches que vous taperez ne donneront pas toujours les caractères attendus.")
                     .arg(followed, QString::fromUtf8(layouts::DescriptionOf(*DesktopKeyboard).Name));
    else if (!DesktopKeyboard && !DesktopName.isEmpty())
        notice = QStringLiteral("Le clavier du bureau (« %1 ») n'est pas l'un des six claviers que Tapotis2002 "
                                "connaît : le parcours suit le clavier « %2 ».")
                     .arg(DesktopName, followed);
    else
        return std::nullopt;
    return notice + QStringLiteral(" Pour changer le clavier du parcours, ouvrez « Parcours » (Alt+P) et "
                                   "choisissez-en un autre dans la liste « Clavier ».");
}

bool Learner::OnKeyboard(unsigned char ch) const
{
    if (Keyboard == layouts::Layout::FrenchAzerty)
        return !m_onFrenchKeyboard || m_onFrenchKeyboard(ch);
    return ch >= 0x20 && layouts::TableOf(Keyboard)[ch].Typeable();
}

QString Learner::KeyboardFile(const QString &stem) const
{
    QString name = Folder() + QLatin1Char('/') + stem;
    if (Keyboard != layouts::Layout::FrenchAzerty) {
        const layouts::Description &names = layouts::DescriptionOf(Keyboard);
        name += QLatin1Char('_') + QLatin1String(names.XkbLayout);
        if (*names.XkbVariant)
            name += QLatin1Char('_') + QLatin1String(names.XkbVariant);
    }
    return name + QStringLiteral(".txt");
}

void Learner::LoadKeys(const std::function<bool(unsigned char)> &onKeyboard)
{
    Keys = KeyFigures();
    std::string dropped;
    LoadFile(
        KeysPath(), LearnerFileLimit,
        [&](const std::string &bytes) {
            std::optional<KeyFigures> read = KeyFigures::Parse(bytes);
            if (read) {
                Keys = std::move(*read);
                dropped = Keys.Drop(onKeyboard);
            }
            return read.has_value();
        },
        m_keepKeysAside,
        QStringLiteral("Le fichier des touches %1 ne peut pas être lu : les chiffres de vos touches repartent de zéro, "
                       "et l'ancien fichier sera conservé sous un autre nom."));
    if (dropped.empty())
        return;
    // No lesson can bring such figures up to date: they would stay the weakest, and every drill would be on them.
    m_keepKeysAside = true;
    QStringList shown;
    for (const char ch : dropped)
        shown << CharacterShown(static_cast<unsigned char>(ch));
    m_notices.ShowMessage(
        QStringLiteral("Avertissement"),
        QStringLiteral("Le fichier des touches %1 compte des caractères qu'aucune touche du clavier "
                       "ne donne (%2) : leurs chiffres sont laissés de côté, et l'ancien fichier sera "
                       "conservé sous un autre nom.")
            .arg(QDir::toNativeSeparators(KeysPath()), shown.join(QStringLiteral(" "))),
        true);
}

void Learner::SaveKeys()
{
    if (UserName.isEmpty())
        return;
    SaveFile(KeysPath(), Keys.Format(), m_keepKeysAside,
             QStringLiteral("L'ancien fichier des touches est conservé dans le fichier %1"));
}

QString Learner::ScorePath() const
{
    return Folder() + QLatin1Char('/') + bestscore::FileName;
}

void Learner::LoadScore()
{
    LoadFile(
        ScorePath(), ScoreFileLimit, [](const std::string &bytes) { return bestscore::Parse(bytes).has_value(); },
        m_keepScoreAside,
        QStringLiteral("Le fichier du meilleur score %1 ne peut pas être lu : le meilleur score repart de zéro, et "
                       "l'ancien fichier sera conservé sous un autre nom."));
}

std::int64_t Learner::BestScore() const
{
    if (UserName.isEmpty() || !Place.Held())
        return 0;
    return bestscore::Read(ScorePath(), Place.Descriptor()).value_or(0);
}

void Learner::KeepBestScore(std::int64_t previous, std::int64_t score)
{
    if (score <= previous || UserName.isEmpty())
        return;
    const QString aside =
        bestscore::Write(ScorePath(), score,
                         m_keepScoreAside ? safefile::OldFile::KeepAside : safefile::OldFile::Replace, FolderForSave());
    m_keepScoreAside = false;
    TellKeptAside(QStringLiteral("L'ancien fichier du meilleur score est conservé dans le fichier %1"), aside);
}
