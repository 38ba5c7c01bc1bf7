#include "desk/BookmarkStore.h"

#include "desk/Navigation.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSettings>

#include <limits>
#include <optional>

namespace zd {

namespace {
// A settings key cannot hold a path's slashes: the group is named by the path's hash.
QString groupOf(const QString& dbPath)
{
    const QByteArray path = QFileInfo(dbPath).absoluteFilePath().toUtf8();
    return QStringLiteral("bookmarks/") + QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex());
}

std::optional<std::int32_t> whole(const QVariant& v)
{
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}
} // namespace

bool bookmarkable(const Frame& f, const Frame& scheme)
{
    return frameLargeEnough(f) && overlapsScheme(f, scheme);
}

BookmarkStore::BookmarkStore(QSettings& settings, const QString& dbPath) : m_settings(settings), m_group(groupOf(dbPath))
{
}

std::vector<Bookmark> BookmarkStore::load(const Frame& scheme) const
{
    std::vector<Bookmark> list;
    m_settings.beginGroup(m_group);
    const int n = m_settings.beginReadArray(QStringLiteral("list"));
    for (int i = 0; i < n; ++i) {
        m_settings.setArrayIndex(i);
        const QString name = m_settings.value(QStringLiteral("name")).toString().trimmed();
        std::optional<std::int32_t> v[5];
        const char* const keys[] = {"x1", "y1", "x2", "y2", "mode"};
        for (int k = 0; k < 5; ++k) v[k] = whole(m_settings.value(QLatin1String(keys[k])));
        if (name.isEmpty() || !(v[0] && v[1] && v[2] && v[3] && v[4]) || *v[4] < 0 || *v[4] > 2) continue;
        const Frame f{*v[0], *v[1], *v[2], *v[3]};
        if (!bookmarkable(f, scheme)) continue;
        list.push_back({name, f, static_cast<std::int16_t>(*v[4])});
    }
    m_settings.endArray();
    m_settings.endGroup();
    return list;
}

void BookmarkStore::save(const std::vector<Bookmark>& list)
{
    m_settings.beginGroup(m_group);
    m_settings.remove(QString());
    m_settings.beginWriteArray(QStringLiteral("list"), static_cast<int>(list.size()));
    for (int i = 0; i < static_cast<int>(list.size()); ++i) {
        const Bookmark& b = list[static_cast<size_t>(i)];
        m_settings.setArrayIndex(i);
        m_settings.setValue(QStringLiteral("name"), b.name);
        m_settings.setValue(QStringLiteral("x1"), b.frame.x1);
        m_settings.setValue(QStringLiteral("y1"), b.frame.y1);
        m_settings.setValue(QStringLiteral("x2"), b.frame.x2);
        m_settings.setValue(QStringLiteral("y2"), b.frame.y2);
        m_settings.setValue(QStringLiteral("mode"), b.rusMode);
    }
    m_settings.endArray();
    m_settings.endGroup();
    m_settings.sync();
}

} // namespace zd
