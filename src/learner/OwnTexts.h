#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

// The texts a learner brought to practise on, kept in the folder "Textes" of their own folder: one file per text
// ("texte-001.txt": its title on the first line, then the text as kept, in UTF-8: what some keyboard types of it,
// each session making its lines typeable on the learner's keyboard of the moment) and the line each session
// reached ("Positions.txt": "texte-001.txt;16" per line). Every file is read and saved as the learner's other files
// are: looked up from the learner's folder held open, never through a link, saved so that no failure loses the old
// file.
//
// Kept true: a text that cannot be read is reported and skipped, never removed nor written over; the texts in the
// folder are at most MostTexts, MostBytes in all; a position is never past its text's last line.
class OwnTexts
{
public:
    struct Entry {
        // The file's name in the folder, which stands for the text everywhere ("texte-001.txt").
        std::string File;
        std::string Title;
        // The text's characters (Unicode code points), and the lines it is cut into.
        std::size_t Characters = 0;
        std::size_t Lines = 0;
        // The first line of the next session (Lines once the whole text has been typed).
        std::size_t Position = 0;

        bool Finished() const { return Position >= Lines; }
    };

    static constexpr std::size_t MostTexts = 100;
    static constexpr std::size_t MostBytes = std::size_t(10) << 20;
    // The lines of one session.
    static constexpr std::size_t SessionLines = 8;
    // The largest file of one text: a text of 1 Mo grows a little when it is made typeable ("…" gives "...").
    static constexpr std::size_t FileLimit = std::size_t(4) << 20;
    // The folder's name in the learner's folder.
    static const char FolderName[];

    // Reads the list from the learner's folder (`learnerFolder` held open, `learnerPath` its path for messages).
    // Returns one French sentence per text or file that could not be read; those texts are left out of the list
    // but stay on the disk and count towards the limits.
    QStringList Load(int learnerFolder, const QString &learnerPath);
    const std::vector<Entry> &Entries() const { return m_entries; }
    const Entry *Find(const std::string &file) const;
    // The space the texts take on the disk, all files counted.
    std::size_t Bytes() const { return m_bytes; }

    // Saves a new text (UTF-8, as kept) under the first free name and adds it to the list. Beyond the
    // limits, or when the save fails, throws the French text and keeps nothing.
    const Entry &Add(int learnerFolder, const QString &learnerPath, const std::string &title, const std::string &text);
    // Removes the text's file and its position.
    void Remove(int learnerFolder, const QString &learnerPath, const std::string &file);
    // The text's lines, read again from its file (throws the French text when it cannot be read).
    std::vector<std::string> Lines(int learnerFolder, const QString &learnerPath, const std::string &file) const;
    // Keeps the first line of the next session and saves the positions.
    void SetPosition(int learnerFolder, const QString &learnerPath, const std::string &file, std::size_t position);

    // A text's file as it is saved, and its title and text read back from one (false when it is not such a file).
    static std::string FileBytes(const std::string &title, const std::string &text);
    static bool ParseFile(const std::string &bytes, std::string &title, std::string &text);
    // The positions file's bytes, and the positions read from them (false for a file that is not one).
    std::string PositionsBytes() const;
    static bool ParsePositions(const std::string &bytes, std::vector<std::pair<std::string, std::size_t>> &positions);

private:
    Entry *Lookup(const std::string &file);
    void SavePositions(int textsFolder, const QString &textsPath);

    std::vector<Entry> m_entries;
    // Every text file of the folder, read or not, by number, and the bytes they take.
    std::vector<int> m_numbers;
    std::size_t m_bytes = 0;
    // The positions of texts that could not be read, saved as they were.
    std::map<std::string, std::size_t> m_otherPositions;
    // Positions read from a file that could not be understood are not saved over it: it is kept aside.
    bool m_keepPositionsAside = false;
};
