#include "platform/FileLookup.h"

#include <QDir>
#include <QFileInfo>

namespace zd {

QString findFile(const QString& path)
{
    if (path.isEmpty()) return {};
    const QFileInfo info(path);
    if (info.isFile()) return info.absoluteFilePath();
    const QDir dir = info.absoluteDir();
    const QString name = info.fileName();
    if (name.isEmpty() || !dir.exists()) return {};
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString& f : files)
        if (f.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(f);
    return {};
}

bool fileExists(const QString& path)
{
    if (path.contains(QStringLiteral("*.")) || path.isEmpty()) return false;
    return !findFile(path).isEmpty();
}

QString programFilesDir(const QString& programDir)
{
    const QString beside = programDir + QStringLiteral("/ZdShort.mdb");
    if (fileExists(beside)) return programDir;
    const QString installed = QDir::cleanPath(programDir + QStringLiteral("/../share/zdschema"));
    if (fileExists(installed + QStringLiteral("/ZdShort.mdb"))) return installed;
    return programDir;
}

} // namespace zd
