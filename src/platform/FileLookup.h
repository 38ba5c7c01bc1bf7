#pragma once
// Look-up of files by name inside a directory, case-insensitive as on the file system the
// program was first written for: "ZdHelp.hlp" finds "ZDHELP.HLP".
#include <QString>

namespace zd {

// The existing normal file that the path names, matched case-insensitively in its
// directory; empty when there is none.
QString findFile(const QString& path);

// False for an empty path, a path containing "*." and a path naming no normal file.
bool fileExists(const QString& path);

// The folder of the program's files (ZdShort.mdb, the help, the pointer file): the
// program's own folder when the network is beside it, as it always was; else the folder
// an installation puts them in, share/zdschema beside the program's bin/; else its own.
QString programFilesDir(const QString& programDir);

} // namespace zd
