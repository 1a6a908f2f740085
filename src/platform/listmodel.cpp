#include "listmodel.h"

#include "textfields.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <numeric>
#include <string_view>
#include <utility>

namespace {

// Past this many separate runs, one reset with a single compaction pass is far cheaper than a
// remove notification per run, each of which makes the views shift their rows.
constexpr std::size_t kMaxRemovalRuns = 64;

std::size_t toSize(int value)
{
    return static_cast<std::size_t>(value);
}

// What a view gets of a cell: enough to fill any screen, and few enough characters that laying
// them out at every paint, measuring them or editing them stays instant. Below a line edit's
// default limit, so that its editor holds the text as shown.
constexpr std::size_t shownBytes = 4096;

QString decoded(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The cell as the views show and edit it: a longer one is cut where a character ends and marked
// with an ellipsis. The cell itself keeps every byte.
QString shown(std::string_view bytes)
{
    const std::string_view part = leadingBytes(bytes, shownBytes);
    QString text = decoded(part);
    if (part.size() < bytes.size())
        text += u'\u2026';
    return text;
}

// Appends a code point, or a lone surrogate, as UTF-8 bytes: byte strings made this way compare
// with memcmp as their code points compare one by one, a text before any longer one it begins.
void appendOrdered(std::string &bytes, char32_t code)
{
    const auto byte = [&bytes](char32_t value) { bytes.push_back(static_cast<char>(value)); };
    if (code < 0x80) {
        byte(code);
    } else if (code < 0x800) {
        byte(0xc0 | (code >> 6));
        byte(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
        byte(0xe0 | (code >> 12));
        byte(0x80 | ((code >> 6) & 0x3f));
        byte(0x80 | (code & 0x3f));
    } else {
        byte(0xf0 | (code >> 18));
        byte(0x80 | ((code >> 12) & 0x3f));
        byte(0x80 | ((code >> 6) & 0x3f));
        byte(0x80 | (code & 0x3f));
    }
}

// A column's texts, each folded once, as a case-insensitive QString comparison folds them unit by
// unit (a low surrogate after a high one folds as the whole character it ends). Compared as byte
// strings, the folded texts are ordered as QString::compare with Qt::CaseInsensitive orders the
// texts, without folding every name again at each of a sort's n log n comparisons.
class FoldedColumn
{
public:
    FoldedColumn(const std::vector<ListRow> &rows, std::size_t column)
    {
        std::vector<std::string_view> cells;
        cells.reserve(rows.size());
        std::size_t size = 0;
        for (const ListRow &row : rows) {
            cells.push_back(row[column]);
            size += cells.back().size();
        }
        m_bytes.reserve(size); // enough unless some text is not ASCII
        m_ends.reserve(rows.size());
        static const std::array<char, 0x80> foldedAscii = [] {
            std::array<char, 0x80> table {};
            for (char32_t code = 0; code < table.size(); ++code)
                table[code] = static_cast<char>(QChar::toCaseFolded(code));
            return table;
        }();
        for (const std::string_view cell : cells) {
            if (std::all_of(cell.begin(), cell.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
                // ASCII decodes to itself, one unit a byte, and folds within ASCII.
                for (const char c : cell)
                    m_bytes.push_back(foldedAscii[static_cast<unsigned char>(c)]);
            } else {
                char16_t last = 0;
                const QString text = decoded(cell);
                for (const QChar unit : text) {
                    char32_t code = unit.unicode();
                    if (QChar::isLowSurrogate(code) && QChar::isHighSurrogate(last))
                        code = QChar::surrogateToUcs4(last, unit.unicode());
                    last = unit.unicode();
                    appendOrdered(m_bytes, QChar::toCaseFolded(code));
                }
            }
            m_ends.push_back(m_bytes.size());
        }
    }

    [[nodiscard]] std::string_view text(int row) const
    {
        const std::size_t start = row == 0 ? 0 : m_ends[toSize(row) - 1];
        return std::string_view(m_bytes).substr(start, m_ends[toSize(row)] - start);
    }

private:
    std::string m_bytes;
    std::vector<std::size_t> m_ends;
};

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
        return shown(cell(index.row(), index.column()));
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
    // Re-encoding would replace the invalid sequences of an untouched cell with U+FFFD, and the
    // editor of a long cell holds only its beginning: given back as shown, the cell stays whole.
    if (QString::fromStdString(typed) == shown(cell(index.row(), index.column()))) {
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
    const FoldedColumn keys(m_rows, toSize(column));
    std::vector<int> permutation(count);
    std::iota(permutation.begin(), permutation.end(), 0);
    const bool ascending = order == Qt::AscendingOrder;
    std::stable_sort(permutation.begin(), permutation.end(), [&keys, ascending](int a, int b) {
        return ascending ? keys.text(a) < keys.text(b) : keys.text(b) < keys.text(a);
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(count);
    for (std::size_t position = 0; position < count; ++position)
        newRowOf[toSize(permutation[position])] = static_cast<int>(position);
    // Each row moves along its cycle of the permutation, with no second list of rows to fill.
    for (std::size_t start = 0; start < count; ++start) {
        if (toSize(permutation[start]) == start)
            continue;
        ListRow held = std::move(m_rows[start]);
        std::size_t position = start;
        for (std::size_t from = toSize(permutation[position]); from != start;
             from = toSize(permutation[position])) {
            m_rows[position] = std::move(m_rows[from]);
            permutation[position] = static_cast<int>(position);
            position = from;
        }
        m_rows[position] = std::move(held);
        permutation[position] = static_cast<int>(position);
    }
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
