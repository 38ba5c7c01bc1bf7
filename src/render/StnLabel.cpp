#include "render/StnLabel.h"

#include "search/NameFold.h"

#include <QHash>

namespace zd {

namespace {
// Names drawn again in the next frames are spelt once: ICU's transliteration costs some
// microseconds a name, which a whole scheme of millions of stations feels.
constexpr qsizetype kCachedNames = 100000;

const QString& latinOf(const QString& nazStn)
{
    thread_local QHash<QString, QString> spelt;
    if (auto found = spelt.constFind(nazStn); found != spelt.cend()) return *found;
    if (spelt.size() >= kCachedNames) spelt.clear();
    return *spelt.insert(nazStn, search::latinName(nazStn));
}
} // namespace

QString shownStnName(const MapState& st, const QString& nazStn)
{
    return st.latinNames ? latinOf(nazStn) : nazStn;
}

} // namespace zd
