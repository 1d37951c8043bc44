#pragma once

#include <QString>

// The help viewer: a window of its own that shows the program's help file (HTML) at its topics page, or says
// that the file cannot be found.
namespace helpviewer {

void ShowTopics(const QString &helpFile);

} // namespace helpviewer
