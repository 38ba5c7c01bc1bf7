#pragma once
// The places a name search found, as a list model for a completer's popup: a station as
// "Name — railway (type)", a railway as "Name (Дорога)", best first.
#include "search/NameIndex.h"

#include <QAbstractListModel>
#include <vector>

namespace zd {

class PlaceModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setPlaces(std::vector<search::Place> places);
    const search::Place& place(int row) const { return m_places[static_cast<size_t>(row)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The line of the popup for a place.
    static QString label(const search::Place& place);

private:
    std::vector<search::Place> m_places;
};

} // namespace zd
