#pragma once
// A text box completed from the network's name index: while the user types, the best
// matches stand in a popup below it; the arrows and Enter or a click choose one, Enter with
// none highlighted chooses the best, Esc closes the popup. Typed before the index is
// built, the text is looked up as soon as it is.
#include "quicksearch/PlaceModel.h"
#include "search/NameIndex.h"

#include <QObject>
#include <functional>

class QCompleter;
class QLineEdit;

namespace zd {

class MapHost;

class NameCompleter : public QObject {
    Q_OBJECT
public:
    NameCompleter(MapHost& host, QLineEdit& edit, int limit);

    // Which places may be offered; asked at every keystroke (the map's marking may change).
    void setFilter(std::function<search::Filter()> filter) { m_filter = std::move(filter); }

    PlaceModel& model() { return *m_model; }
    QCompleter& completer() { return *m_completer; }

signals:
    void chosen(const search::Place& place);
    void escaped();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refill(const QString& text);
    void lookUp(const QString& text);
    void chooseBest();
    void showPopup();
    void choose(int row);
    bool popupKey(int key);

    MapHost& m_host;
    QLineEdit& m_edit;
    int m_limit;
    PlaceModel* m_model;
    QCompleter* m_completer;
    std::function<search::Filter()> m_filter;
};

} // namespace zd
