#pragma once
// Pointer shapes read from Windows ".cur" files.
#include <QCursor>
#include <QString>
#include <optional>

namespace zd {

// The pointer stored in the cursor file at path (its first image and that image's hot spot);
// nothing when the file is missing or is not a readable cursor.
std::optional<QCursor> loadCursorFile(const QString& path);

} // namespace zd
