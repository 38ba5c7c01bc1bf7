#include "stnfind/StnListModel.h"

#include "data/RowSet.h"
#include "search/NameIndex.h"

namespace zd {

StnListModel::StnListModel(const RowSet& rows, QObject* parent) : QAbstractListModel(parent), m_rows(rows) {}

void StnListModel::refill(const std::function<void()>& fill)
{
    beginResetModel();
    fill();
    const int n = m_rows.recordCount();
    const int nameCol = m_rows.column(u"NazStn");
    m_kodCol = m_rows.column(u"KodStn");
    m_names.clear();
    m_codeRows.clear();
    m_names.reserve(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) m_names.push_back(m_rows.textAt(r, nameCol));
    endResetModel();
}

int StnListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_names.size());
}

QVariant StnListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole) return name(index.row());
    if (role == BoundRole) return boundText(index.row());
    return {};
}

QString StnListModel::name(int row) const
{
    return row >= 0 && row < rowCount() ? m_names[static_cast<size_t>(row)] : QString();
}

QString StnListModel::boundText(int row) const { return m_rows.textAt(row, m_kodCol); }

int StnListModel::firstStartingWith(const QString& text) const
{
    for (size_t r = 0; r < m_names.size(); ++r)
        if (m_names[r].startsWith(text, Qt::CaseInsensitive)) return static_cast<int>(r);
    return -1;
}

int StnListModel::matchedRow(const search::NameIndex& index, const QString& text) const
{
    search::Filter inList;
    inList.railways = false;
    inList.accept = [&](int entry) { return rowOfCode(index.code(entry)) >= 0; };
    const std::vector<search::Hit> hits = index.find(text, 1, inList);
    return hits.empty() ? -1 : rowOfCode(index.code(hits.front().entry));
}

int StnListModel::rowOfCode(QByteArrayView kodStn) const
{
    if (m_codeRows.empty()) {
        for (int r = m_rows.recordCount() - 1; r >= 0; --r) {
            const QByteArrayView code = m_rows.utf8At(r, m_kodCol);
            m_codeRows[std::string_view(code.data(), static_cast<size_t>(code.size()))] = r;
        }
    }
    const auto found = m_codeRows.find(std::string_view(kodStn.data(), static_cast<size_t>(kodStn.size())));
    return found == m_codeRows.end() ? -1 : found->second;
}

} // namespace zd
