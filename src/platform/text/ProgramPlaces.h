#pragma once

#include <QString>

// Where the program finds its own files and where it keeps the learners' folders, for a program run from its build
// folder or a copied folder (everything beside the executable) as for one installed for every user of the machine
// (the executable in "<prefix>/bin", its files in "<prefix>/share/tapotis2002").
namespace places {

// The installed files' folder name under "<prefix>/share", and the learners' folder name under the user's data folder.
inline const QString ProgramName = QStringLiteral("tapotis2002");

// The folder of the program's own read-only files (lessons, help, sound settings), ending with "/": the
// executable's folder when it holds the lessons folder "Dictees"; otherwise "../share/tapotis2002/" from it when
// that holds them; otherwise the executable's folder.
QString FilesFolder(const QString &executableFolder);

// The folder that holds the learners' folders, ending with "/": the files folder when it is the executable's own
// and the user may write in it, so that a build or copied folder keeps its learners; otherwise the user's data
// folder, "$XDG_DATA_HOME/tapotis2002/" ("~/.local/share/tapotis2002/" when it is unset or not an absolute path,
// the home from $HOME or else from the user's account), which is made on first use, not here. An installed program's
// shared files are never written to, even by an administrator.
QString LearnersFolder(const QString &executableFolder, const QString &filesFolder);

} // namespace places
