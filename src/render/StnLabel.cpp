#include "render/StnLabel.h"

#include "search/NameFold.h"

namespace zd {

QString shownStnName(const MapState& st, const QString& nazStn)
{
    return st.latinNames ? search::latinName(nazStn) : nazStn;
}

} // namespace zd
