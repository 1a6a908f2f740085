#pragma once

#include "listrow.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <string_view>
#include <vector>

// The rows of a list control. Each cell keeps the bytes it was given; the views see them decoded
// as UTF-8, and an edit that leaves the decoded text as it was keeps the original bytes, so text
// that is not valid UTF-8 survives being looked at and edited back. Of a cell of more than a few
// thousand bytes the views see and edit only the beginning, ended by an ellipsis: a cell of any
// length paints and edits at once, and keeps its bytes unless the edit changes that beginning.
class ListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ListModel(int columnCount, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(
        const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // An edit arrives as decoded text; tabs and line breaks in it become spaces, since a cell is
    // one line of a tab-separated record.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex &index) const override;
    [[nodiscard]] QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;
    // A stable sort by the column's text; selections and other persistent indexes follow their
    // rows.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void setHeading(int column, const QString &text);
    void setColumnEditable(int column, bool editable);

    // Byte-exact access to the cells. Out-of-range indexes read as an empty text and are
    // ignored on writing. A text read is valid until the list next changes in any way.
    [[nodiscard]] std::string_view cell(int row, int column) const;
    void setCell(int row, int column, std::string_view text);

    // Rows with fewer cells than columns are padded with empty ones; extra cells are dropped.
    // Rows added to an empty list are taken over whole, without moving any of them.
    void appendRow(ListRow row);
    void appendRows(std::vector<ListRow> rows);
    // Removes the rows whose indexes are given (any order, duplicates allowed) in as few
    // steps as their runs allow.
    void removeRowList(std::vector<int> rows);
    void clear();

    [[nodiscard]] const std::vector<ListRow> &rows() const { return m_rows; }

private:
    [[nodiscard]] bool isValidCell(int row, int column) const;

    int m_columnCount;
    std::vector<ListRow> m_rows;
    QStringList m_headings;
    std::vector<bool> m_editable;
};
