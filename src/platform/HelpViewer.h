#pragma once

#include <functional>
#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// The program's help: an HTML file (UTF-8) whose <section> elements are the topics, shown by a "Help Topics"
// window (contents and keyword index) and a topic window.
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
    // The section's inner HTML, its title heading included.
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

// The topics of a help document. A document without any section is shown whole, as a single topic.
HelpText ParseHelp(const QString &html);

// The help file read from disk, or nothing when it cannot be opened. A file that is not valid UTF-8 is read as
// Windows-1252, the code page the program's other text files use.
std::optional<HelpText> ReadHelp(const QString &path);

// The position of the topic with that id, or -1.
int FindTopic(const QList<Topic> &topics, const QString &id);

// Every keyword once (the same word in another case or without its accents counts as the same), in French
// alphabetical order.
QList<IndexEntry> BuildIndex(const QList<Topic> &topics);

// The index line chosen for the first letters typed: the first keyword starting with them (case and accents
// ignored), otherwise the first one that sorts after them, otherwise the last. -1 for an empty index.
int FindKeyword(const QList<IndexEntry> &index, const QString &typed);

// Opens the "Help Topics" window on the help file, or brings the open one to the front with the file read anew.
// A file that cannot be opened is reported in a warning box and opens nothing. whenAllClosed runs once, when no
// help window is left open (at once when nothing could be opened).
void ShowTopics(const QString &helpFile, std::function<void()> whenAllClosed = {});

// The windows currently open, or null.
QWidget *TopicsWindow();
QWidget *TopicWindow();

// Where the warning about a missing help file goes instead of the message box; an empty function puts the box
// back. Without it the warning takes the program's usual message path.
using MessageSeen = std::function<void(const QString &title, const QString &text)>;
void SetMessageSeen(MessageSeen seen);

} // namespace helpviewer
