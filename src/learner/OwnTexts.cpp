#include "learner/OwnTexts.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <map>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>

#include "owntext/OwnText.h"
#include "platform/text/SafeFile.h"
#include "platform/text/TutorError.h"

const char OwnTexts::FolderName[] = "Textes";

namespace {

const char PositionsName[] = "Positions.txt";
constexpr std::size_t PositionsLimit = 64 * 1024;

// "texte-001.txt" stands for 1; any other name for 0.
int NumberOf(const std::string &name)
{
    if (name.size() != 13 || name.compare(0, 6, "texte-") != 0 || name.compare(9, 4, ".txt") != 0)
        return 0;
    int number = 0;
    const char *first = name.data() + 6;
    const auto [end, error] = std::from_chars(first, first + 3, number);
    return error == std::errc() && end == first + 3 ? number : 0;
}

std::string NameOf(int number)
{
    char name[16];
    std::snprintf(name, sizeof name, "texte-%03d.txt", number);
    return name;
}

std::size_t CodePoints(const std::string &text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

QString TextsPath(const QString &learnerPath)
{
    return learnerPath + QLatin1Char('/') + QLatin1String(OwnTexts::FolderName);
}

QString PathOf(const QString &learnerPath, const std::string &file)
{
    return QDir::toNativeSeparators(TextsPath(learnerPath) + QLatin1Char('/') + QString::fromStdString(file));
}

// The texts' folder in the learner's folder, never through a link; -1 when it does not exist and is not to be made.
safefile::Descriptor OpenTexts(int learnerFolder, const QString &learnerPath, bool make)
{
    int fd = openat(learnerFolder, OwnTexts::FolderName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && make && mkdirat(learnerFolder, OwnTexts::FolderName, 0700) == 0)
        fd = openat(learnerFolder, OwnTexts::FolderName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && !(errno == ENOENT && !make))
        throw TutorError(QStringLiteral("Le dossier de vos textes %1 ne peut pas être ouvert : %2")
                             .arg(QDir::toNativeSeparators(TextsPath(learnerPath)), safefile::IoErrorText(errno)));
    return safefile::Descriptor(fd);
}

// The text files in the folder, by number, with their sizes; nothing followed through a link.
std::map<int, std::size_t> TextFiles(int textsFolder)
{
    std::map<int, std::size_t> files;
    const int listed = fcntl(textsFolder, F_DUPFD_CLOEXEC, 0);
    if (listed < 0)
        return files;
    DIR *dir = fdopendir(listed);
    if (!dir) {
        close(listed);
        return files;
    }
    while (const dirent *entry = readdir(dir)) {
        const int number = NumberOf(entry->d_name);
        struct stat status {};
        if (number > 0 && fstatat(textsFolder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0)
            files[number] = static_cast<std::size_t>(status.st_size);
    }
    closedir(dir);
    return files;
}

} // namespace

std::string OwnTexts::FileBytes(const std::string &title, const std::string &text)
{
    return title + '\n' + text + '\n';
}

bool OwnTexts::ParseFile(const std::string &bytes, std::string &title, std::string &text)
{
    const std::size_t end = bytes.find('\n');
    if (end == std::string::npos || end == 0 || bytes.size() < end + 3 || bytes.back() != '\n')
        return false;
    // Only clean UTF-8 without a mark is a file this program wrote.
    const owntext::Decoded decoded = owntext::Decode(bytes);
    if (decoded.From != owntext::Encoding::Utf8 || decoded.Text.find(U'\uFFFD') != std::u32string::npos)
        return false;
    title = bytes.substr(0, end);
    text = bytes.substr(end + 1, bytes.size() - end - 2);
    return !text.empty();
}

std::string OwnTexts::PositionsBytes() const
{
    std::string bytes;
    for (const auto &[file, position] : m_otherPositions)
        bytes += file + ';' + std::to_string(position) + '\n';
    for (const Entry &entry : m_entries)
        bytes += entry.File + ';' + std::to_string(entry.Position) + '\n';
    return bytes;
}

bool OwnTexts::ParsePositions(const std::string &bytes, std::vector<std::pair<std::string, std::size_t>> &positions)
{
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            return false;
        const std::string line = bytes.substr(start, end - start);
        start = end + 1;
        const std::size_t separator = line.find(';');
        if (separator == std::string::npos || NumberOf(line.substr(0, separator)) == 0)
            return false;
        std::size_t position = 0;
        const char *first = line.data() + separator + 1;
        const char *last = line.data() + line.size();
        const auto [stop, error] = std::from_chars(first, last, position);
        if (error != std::errc() || stop != last || first == last)
            return false;
        positions.emplace_back(line.substr(0, separator), position);
    }
    return true;
}

QStringList OwnTexts::Load(int learnerFolder, const QString &learnerPath)
{
    m_entries.clear();
    m_numbers.clear();
    m_otherPositions.clear();
    m_bytes = 0;
    m_keepPositionsAside = false;
    QStringList problems;
    const safefile::Descriptor texts = OpenTexts(learnerFolder, learnerPath, false);
    if (texts.Get() < 0)
        return problems;
    for (const auto &[number, size] : TextFiles(texts.Get())) {
        m_numbers.push_back(number);
        m_bytes += size;
        const std::string file = NameOf(number);
        const safefile::Contents contents = safefile::ReadIn(texts.Get(), QString::fromStdString(file), FileLimit);
        Entry entry;
        entry.File = file;
        std::string text;
        if (contents.Refused != safefile::Refusal::None || !ParseFile(contents.Bytes, entry.Title, text)) {
            problems << QStringLiteral("Le texte %1 ne peut pas être lu : il reste dans le dossier, mais n'est pas "
                                       "dans la liste.")
                            .arg(PathOf(learnerPath, file));
            continue;
        }
        entry.Characters = CodePoints(text);
        entry.Lines = owntext::CutLines(text).size();
        m_entries.push_back(std::move(entry));
    }

    const safefile::Contents contents = safefile::ReadIn(texts.Get(), QLatin1String(PositionsName), PositionsLimit);
    std::vector<std::pair<std::string, std::size_t>> positions;
    if (contents.Refused == safefile::Refusal::CannotOpen && contents.Error == ENOENT)
        return problems;
    if (contents.Refused != safefile::Refusal::None || !ParsePositions(contents.Bytes, positions)) {
        m_keepPositionsAside = true;
        problems << QStringLiteral("Le fichier %1, où chaque texte reprend, ne peut pas être lu : vos textes "
                                   "reprennent au début, et l'ancien fichier sera conservé sous un autre nom.")
                        .arg(PathOf(learnerPath, PositionsName));
        return problems;
    }
    for (const auto &[file, position] : positions) {
        if (Entry *entry = Lookup(file))
            entry->Position = std::min(position, entry->Lines);
        else if (std::find(m_numbers.begin(), m_numbers.end(), NumberOf(file)) != m_numbers.end())
            // The position of a text that could not be read waits for it to be mended.
            m_otherPositions[file] = position;
    }
    return problems;
}

OwnTexts::Entry *OwnTexts::Lookup(const std::string &file)
{
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry &e) { return e.File == file; });
    return entry == m_entries.end() ? nullptr : &*entry;
}

const OwnTexts::Entry *OwnTexts::Find(const std::string &file) const
{
    return const_cast<OwnTexts *>(this)->Lookup(file);
}

const OwnTexts::Entry &OwnTexts::Add(int learnerFolder, const QString &learnerPath, const std::string &title,
                                     const std::string &text)
{
    if (m_numbers.size() >= MostTexts)
        throw TutorError(
            QStringLiteral("Vous avez déjà %1 textes : supprimez-en un pour en ajouter un autre.").arg(MostTexts));
    const std::string bytes = FileBytes(title, text);
    if (m_bytes + bytes.size() > MostBytes)
        throw TutorError(QStringLiteral("Ce texte ne tient plus dans la place de vos textes (%1 en tout) : "
                                        "supprimez-en un pour faire de la place.")
                             .arg(safefile::LimitText(MostBytes)));
    int number = 1;
    while (std::find(m_numbers.begin(), m_numbers.end(), number) != m_numbers.end())
        ++number;
    const safefile::Descriptor texts = OpenTexts(learnerFolder, learnerPath, true);
    const std::string file = NameOf(number);
    safefile::WriteFileSafely(TextsPath(learnerPath) + QLatin1Char('/') + QString::fromStdString(file), bytes.data(),
                              bytes.size(), safefile::RealFileSystem(), safefile::OldFile::Replace, texts.Get());
    m_numbers.push_back(number);
    m_bytes += bytes.size();
    Entry entry;
    entry.File = file;
    entry.Title = title;
    entry.Characters = CodePoints(text);
    entry.Lines = owntext::CutLines(text).size();
    const auto place = std::upper_bound(m_entries.begin(), m_entries.end(), number,
                                        [](int n, const Entry &e) { return n < NumberOf(e.File); });
    return *m_entries.insert(place, std::move(entry));
}

void OwnTexts::Remove(int learnerFolder, const QString &learnerPath, const std::string &file)
{
    const safefile::Descriptor texts = OpenTexts(learnerFolder, learnerPath, false);
    if (texts.Get() >= 0) {
        struct stat status {};
        const bool found = fstatat(texts.Get(), file.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
        if (unlinkat(texts.Get(), file.c_str(), 0) != 0 && errno != ENOENT)
            throw TutorError(QStringLiteral("Le texte %1 ne peut pas être supprimé : %2")
                                 .arg(PathOf(learnerPath, file), safefile::IoErrorText(errno)));
        if (found)
            m_bytes -= std::min(m_bytes, static_cast<std::size_t>(status.st_size));
    }
    m_numbers.erase(std::remove(m_numbers.begin(), m_numbers.end(), NumberOf(file)), m_numbers.end());
    m_otherPositions.erase(file);
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [&](const Entry &e) { return e.File == file; }),
                    m_entries.end());
    if (texts.Get() >= 0)
        SavePositions(texts.Get(), learnerPath);
}

std::vector<std::string> OwnTexts::Lines(int learnerFolder, const QString &learnerPath, const std::string &file) const
{
    const safefile::Descriptor texts = OpenTexts(learnerFolder, learnerPath, false);
    safefile::Contents contents;
    if (texts.Get() >= 0)
        contents = safefile::ReadIn(texts.Get(), QString::fromStdString(file), FileLimit);
    std::string title;
    std::string text;
    if (texts.Get() < 0 || contents.Refused != safefile::Refusal::None || !ParseFile(contents.Bytes, title, text))
        throw TutorError(QStringLiteral("Le texte %1 ne peut pas être lu").arg(PathOf(learnerPath, file)));
    return owntext::CutLines(text);
}

void OwnTexts::SetPosition(int learnerFolder, const QString &learnerPath, const std::string &file, std::size_t position)
{
    Entry *entry = Lookup(file);
    if (!entry)
        return;
    entry->Position = std::min(position, entry->Lines);
    const safefile::Descriptor texts = OpenTexts(learnerFolder, learnerPath, true);
    SavePositions(texts.Get(), learnerPath);
}

void OwnTexts::SavePositions(int textsFolder, const QString &learnerPath)
{
    const std::string bytes = PositionsBytes();
    safefile::WriteFileSafely(TextsPath(learnerPath) + QLatin1Char('/') + QLatin1String(PositionsName), bytes.data(),
                              bytes.size(), safefile::RealFileSystem(),
                              m_keepPositionsAside ? safefile::OldFile::KeepAside : safefile::OldFile::Replace,
                              textsFolder);
    m_keepPositionsAside = false;
}
