#pragma once
// The quick-search field of the toolbar: a station or a railway by any spelling of its
// name or a station's code, chosen from the best 20 matches. A station is shown as the
// station search's "Фрагмент" shows it and marked in ColorFind until the next render; a
// railway is framed by its rectangle. Ctrl+F focuses the field; Esc gives the map its
// focus back. With "Только Россия" only Russia's places are offered.
#include "search/NameIndex.h"

#include <QLineEdit>

namespace zd {

class MapHost;
class NameCompleter;

class QuickSearch : public QLineEdit {
    Q_OBJECT
public:
    explicit QuickSearch(MapHost& host);

    NameCompleter& completer() { return *m_completer; }

    // Brings the place into view on the map.
    void showPlace(const search::Place& place);

private:
    void focusField();
    void showStation(const search::Place& place);
    void showRailway(const search::Place& place);
    void giveFocusToMap();

    MapHost& m_host;
    NameCompleter* m_completer;
};

} // namespace zd
