#pragma once
// Bookmarks of the map: named frames with their marking mode, one list per network file,
// kept in the program's settings between runs. No widgets.
#include "render/View.h"

#include <QString>
#include <cstdint>
#include <vector>

class QSettings;

namespace zd {

struct Bookmark {
    QString name;
    Frame frame;                 // map units
    std::int16_t rusMode = 0;    // 0 all countries, 1 Russia only, 2 the CIS marked
    bool operator==(const Bookmark&) const = default;
};

// Whether a bookmark can hold the frame: large enough and sharing area with the scheme.
bool bookmarkable(const Frame& f, const Frame& scheme);

// The list of one network file (by its absolute path) in the settings.
class BookmarkStore {
public:
    BookmarkStore(QSettings& settings, const QString& dbPath);

    // The saved bookmarks; entries that are damaged (no name, a frame that cannot be
    // shown, an unknown mode) are left out.
    std::vector<Bookmark> load(const Frame& scheme) const;
    void save(const std::vector<Bookmark>& list);

private:
    QSettings& m_settings;
    QString m_group;
};

} // namespace zd
