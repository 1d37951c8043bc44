#pragma once

#include <functional>

#include <QString>

#include "platform/help/HelpDocument.h"

class QWidget;

// The windows that show the help document: the "Help Topics" window (contents and keyword index) and the
// topic window.
namespace helpviewer {

// Opens the "Help Topics" window on the help file, or brings the open one to the front with the file read anew.
// A file that is not read (see ReadHelp and ParseHelp) is reported in a warning box and opens nothing.
// whenAllClosed runs once, when no help window is left open (at once when nothing could be opened).
// The warnings go to `report` (a title and a text).
using Report = std::function<void(const QString &title, const QString &text)>;
void ShowTopics(const QString &helpFile, std::function<void()> whenAllClosed, const Report &report);

// The windows currently open, or null.
QWidget *TopicsWindow();
QWidget *TopicWindow();

} // namespace helpviewer
