#pragma once
// The station list as a list model over the row set of the list query: one entry per
// row, showing NazStn, with KodStn as the bound value. Names are decoded once per refill,
// so that a list of 100,000 stations scrolls and searches at once.
#include <QAbstractListModel>
#include <QByteArrayView>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zd {

class RowSet;
namespace search { class NameIndex; }

class StnListModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int BoundRole = Qt::UserRole;   // KodStn of the row

    explicit StnListModel(const RowSet& rows, QObject* parent = nullptr);

    // Runs fill, which replaces the rows, and tells the views the list is new.
    void refill(const std::function<void()>& fill);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    QString name(int row) const;
    QString boundText(int row) const;

    // The first row whose name starts with the text, case-insensitive; -1 when none does.
    int firstStartingWith(const QString& text) const;
    // The first row of the station code (KodStn as UTF-8); -1 when the list has none.
    int rowOfCode(QByteArrayView kodStn) const;
    // The list's first station by the name matcher's ranking ("Орел" finds Орёл, "Moskva"
    // Москва), found by its code since one name may stand in several rows; -1 when none.
    int matchedRow(const search::NameIndex& index, const QString& text) const;

private:
    const RowSet& m_rows;
    std::vector<QString> m_names;
    int m_kodCol = -1;
    // Rows by code, made at the first look-up after a refill; the views are into m_rows.
    mutable std::unordered_map<std::string_view, int> m_codeRows;
};

} // namespace zd
