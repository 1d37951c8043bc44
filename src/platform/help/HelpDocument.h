#pragma once

#include <optional>
#include <string_view>

#include <QList>
#include <QString>
#include <QStringList>

// The program's help: an HTML file (UTF-8) whose <section> elements are the topics, shown by the help windows
// (HelpViewer.h). Reading and indexing it needs no widget, so the reader is tested and fuzzed on its own.
//
// A topic is <section id="..." data-keywords="one; two; ..."> whose first heading is its title; links between
// topics are href="#id". An <h1> outside the sections starts a chapter that groups the topics after it in the
// contents. The order of the sections is the order of the contents.
namespace helpviewer {

struct Topic {
    QString Id;
    QString Title;
    // The chapter heading the topic stands under, empty before the first one.
    QString Chapter;
    QStringList Keywords;
    // The section's inner HTML, its title heading included, as rebuilt by ParseHelp: every element closed where
    // it ends, nothing nested deeper than NestingLimit, no comment, script or tooltip.
    QString Html;
};

struct HelpText {
    QString Title;
    // The style sheets of the document, applied to every topic shown.
    QString Style;
    QList<Topic> Topics;
};

// One line of the index: a keyword and the topics that carry it, in contents order.
struct IndexEntry {
    QString Keyword;
    QList<int> Topics;
};

// How deep the elements of a help document may nest. The program's own help needs fewer than ten levels; Qt's
// HTML reader slows down with every level, so that a few thousand of them would freeze the help.
constexpr int NestingLimit = 100;
// What one topic may hold, and the style sheets of the document: Qt's layout time grows with the product of the
// style rules, the elements and their depth, so each is bounded. The program's own help uses a fraction of each.
constexpr int TopicElementLimit = 1000;
constexpr int StyleLimit = 1024;

// Why a help file was not read.
enum class Refusal {
    None,
    // Missing, not allowed, a link, a folder, a pipe or a device, or unreadable.
    CannotOpen,
    // Over safefile::HelpLimit.
    TooLarge,
    // Elements nested deeper than NestingLimit.
    TooDeep,
    // A topic of more than TopicElementLimit elements, or style sheets longer than StyleLimit characters.
    TooComplex,
};

struct HelpReading {
    Refusal Refused = Refusal::None;
    HelpText Text;
};

// The topics of a help document, or nothing when its elements nest deeper than NestingLimit. A document without
// any section is shown whole, as a single topic. The document is rebuilt first, by a single pass over its tags,
// so that Qt only ever reads well-formed HTML; no topic's HTML is handed to Qt here.
std::optional<HelpText> ParseHelp(const QString &html);

// The text of a help file: UTF-8, or Windows-1252 (the code page of the program's other text files) when the
// bytes are not valid UTF-8.
QString DecodeHelp(std::string_view bytes);

// The help file read from disk, or why it was not: a link, a pipe, a device or a folder is never followed nor
// waited on, and a file over safefile::HelpLimit is not read.
HelpReading ReadHelp(const QString &path);

// The position of the topic with that id, or -1.
int FindTopic(const QList<Topic> &topics, const QString &id);

// Every keyword once (the same word in another case or without its accents counts as the same), in French
// alphabetical order.
QList<IndexEntry> BuildIndex(const QList<Topic> &topics);

// The index line chosen for the first letters typed: the first keyword starting with them (case and accents
// ignored), otherwise the first one that sorts after them, otherwise the last. -1 for an empty index.
int FindKeyword(const QList<IndexEntry> &index, const QString &typed);

} // namespace helpviewer
