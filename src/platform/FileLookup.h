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

} // namespace zd
