#include "quicksearch/PlaceModel.h"

namespace zd {

void PlaceModel::setPlaces(std::vector<search::Place> places)
{
    beginResetModel();
    m_places = std::move(places);
    endResetModel();
}

int PlaceModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_places.size());
}

QVariant PlaceModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole) return label(place(index.row()));
    if (role == Qt::EditRole) return place(index.row()).name;
    return {};
}

QString PlaceModel::label(const search::Place& place)
{
    QString line = place.name;
    if (place.kind == search::Kind::Station && !place.railway.isEmpty())
        line += QStringLiteral(" — ") + place.railway;
    const QString kind = search::kindText(place);
    if (!kind.isEmpty()) line += QStringLiteral(" (") + kind + QLatin1Char(')');
    return line;
}

} // namespace zd
