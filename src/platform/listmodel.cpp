#include "listmodel.h"

#include "textfields.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

namespace {

// Past this many separate runs, one reset with a single compaction pass is far cheaper than a
// remove notification per run, each of which makes the views shift their rows.
constexpr std::size_t kMaxRemovalRuns = 64;

std::size_t toSize(int value)
{
    return static_cast<std::size_t>(value);
}

QString decoded(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

ListModel::ListModel(int columnCount, QObject *parent)
    : QAbstractTableModel(parent)
    , m_columnCount(std::max(columnCount, 0))
    , m_editable(toSize(m_columnCount), false)
{
    for (int column = 0; column < m_columnCount; ++column) {
        m_headings.append(QString());
    }
}

int ListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columnCount;
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !isValidCell(index.row(), index.column())) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return decoded(cell(index.row(), index.column()));
    }
    return {};
}

bool ListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !isValidCell(index.row(), index.column())
        || !value.canConvert<QString>()) {
        return false;
    }
    const std::string typed = withoutLineBreaks(value.toString().toStdString());
    // Re-encoding would replace the invalid sequences of an untouched cell with U+FFFD.
    if (QString::fromStdString(typed) == decoded(cell(index.row(), index.column()))) {
        return true;
    }
    m_rows[toSize(index.row())].set(toSize(index.column()), typed);
    emit dataChanged(index, index, { Qt::DisplayRole, Qt::EditRole });
    return true;
}

Qt::ItemFlags ListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || !isValidCell(index.row(), index.column())) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (m_editable[toSize(index.column())]) {
        result |= Qt::ItemIsEditable;
    }
    return result;
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return section >= 0 && section < m_columnCount ? QVariant(m_headings.at(section))
                                                       : QVariant();
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool ListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || count > rowCount() - row) {
        return false;
    }
    beginRemoveRows({}, row, row + count - 1);
    const auto first = m_rows.begin() + row;
    m_rows.erase(first, first + count);
    endRemoveRows();
    return true;
}

void ListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= m_columnCount || m_rows.size() < 2) {
        return;
    }
    const std::size_t count = m_rows.size();
    std::vector<QString> keys(count);
    for (std::size_t row = 0; row < count; ++row) {
        keys[row] = decoded(m_rows[row][toSize(column)]);
    }
    std::vector<int> permutation(count);
    std::iota(permutation.begin(), permutation.end(), 0);
    const bool ascending = order == Qt::AscendingOrder;
    std::stable_sort(permutation.begin(), permutation.end(), [&keys, ascending](int a, int b) {
        const QString &left = keys[toSize(ascending ? a : b)];
        const QString &right = keys[toSize(ascending ? b : a)];
        return QString::compare(left, right, Qt::CaseInsensitive) < 0;
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<ListRow> sorted;
    sorted.reserve(count);
    std::vector<int> newRowOf(count);
    for (std::size_t position = 0; position < count; ++position) {
        const std::size_t oldRow = toSize(permutation[position]);
        sorted.push_back(std::move(m_rows[oldRow]));
        newRowOf[oldRow] = static_cast<int>(position);
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before) {
        after.append(this->index(newRowOf[toSize(index.row())], index.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListModel::setHeading(int column, const QString &text)
{
    if (column < 0 || column >= m_columnCount) {
        return;
    }
    m_headings[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void ListModel::setColumnEditable(int column, bool editable)
{
    if (column >= 0 && column < m_columnCount) {
        m_editable[toSize(column)] = editable;
    }
}

std::string_view ListModel::cell(int row, int column) const
{
    return isValidCell(row, column) ? m_rows[toSize(row)][toSize(column)] : std::string_view();
}

void ListModel::setCell(int row, int column, std::string_view text)
{
    if (!isValidCell(row, column) || cell(row, column) == text) {
        return;
    }
    m_rows[toSize(row)].set(toSize(column), text);
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, { Qt::DisplayRole, Qt::EditRole });
}

void ListModel::appendRow(ListRow row)
{
    std::vector<ListRow> rows;
    rows.push_back(std::move(row));
    appendRows(std::move(rows));
}

void ListModel::appendRows(std::vector<ListRow> rows)
{
    if (rows.empty()) {
        return;
    }
    for (ListRow &row : rows) {
        row.resize(toSize(m_columnCount));
    }
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    if (m_rows.empty()) {
        m_rows = std::move(rows);
    } else {
        m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
            std::make_move_iterator(rows.end()));
    }
    endInsertRows();
}

void ListModel::removeRowList(std::vector<int> rows)
{
    const int count = rowCount();
    std::erase_if(rows, [count](int row) { return row < 0 || row >= count; });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty()) {
        return;
    }

    // Runs as [first, last] pairs, bottom run last.
    std::vector<std::pair<int, int>> runs;
    for (const int row : rows) {
        if (!runs.empty() && runs.back().second + 1 == row) {
            runs.back().second = row;
        } else {
            runs.emplace_back(row, row);
        }
    }

    if (runs.size() > kMaxRemovalRuns) {
        beginResetModel();
        std::size_t kept = 0;
        auto doomed = rows.cbegin();
        for (std::size_t row = 0; row < m_rows.size(); ++row) {
            if (doomed != rows.cend() && toSize(*doomed) == row) {
                ++doomed;
                continue;
            }
            if (kept != row) {
                m_rows[kept] = std::move(m_rows[row]);
            }
            ++kept;
        }
        m_rows.resize(kept);
        endResetModel();
        return;
    }

    // From the bottom up, so that the indexes of the runs still to go stay valid.
    for (auto run = runs.crbegin(); run != runs.crend(); ++run) {
        removeRows(run->first, run->second - run->first + 1);
    }
}

void ListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

bool ListModel::isValidCell(int row, int column) const
{
    return row >= 0 && column >= 0 && toSize(row) < m_rows.size() && column < m_columnCount;
}
