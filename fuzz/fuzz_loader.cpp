// libFuzzer target of the database loader: the input bytes become ZdShort.mdb, the loader
// opens it (Access or SQLite, told by the first bytes), and when it opens, the frame queries
// over the whole scheme read every row, as the first drawing of the program does.
#include "data/Database.h"
#include "data/Queries.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// One folder for the life of the process; /dev/shm keeps the writes off the disk.
const QString& databasePath()
{
    static const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                    ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir dir(base + QStringLiteral("/zdfuzz-XXXXXX"));
    static const QString path = dir.filePath(QStringLiteral("ZdShort.mdb"));
    if (!dir.isValid()) std::abort();
    return path;
}

void readAll(zd::RowSet& rs)
{
    volatile double sink = 0;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        for (int c = 0; c < rs.columnCount(); ++c) {
            sink = sink + rs.number(c);
            sink = sink + rs.text(c).size();
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString& path = databasePath();
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        if (f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
            std::abort();
    }

    auto opened = zd::Database::open(path);
    if (!opened) {
        // A failure must name the file and say what is wrong.
        if (opened.error().cause.isEmpty()) std::abort();
        return 0;
    }
    const std::shared_ptr<zd::Database> db = *opened;
    const zd::FrameBounds whole{0, -1000, 84000, 36000};
    for (int rusMode : {0, 1}) {
        const QString filter = zd::rusFilter(rusMode);
        for (const QString& sql : {zd::frameSectionsSql(whole, filter), zd::frameStationsSql(whole, filter, false),
                                   zd::frameStationsSql(whole, filter, true)}) {
            auto rs = db->query(sql);
            if (rs) readAll(*rs);
        }
    }
    return 0;
}
