#pragma once

#include "columnwidths.h"
#include "listrow.h"

#include <QColor>
#include <QTableView>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CellDelegate;
class ListModel;

// A multi-column list with the interface the windows are written against: rows of text cells,
// a selection of any number of rows, in-place editing of chosen columns, column widths as text,
// a sort heading, and events for selection changes, double-clicks, finished edits, keys, heading
// clicks and cell backgrounds.
class ListBox : public QTableView
{
    Q_OBJECT
public:
    enum class ColumnType { Plain, Editable };

    explicit ListBox(int columnCount, QWidget *parent = nullptr);
    ~ListBox() override;

    [[nodiscard]] ListModel *listModel() const { return m_model; }

    // Appends a row whose first cell is text and whose other cells are empty.
    void AddRow(std::string_view text);
    // Appends many rows in one step: what loading a long list needs.
    void AddRows(std::vector<ListRow> rows);
    void RemoveRow(int row);
    void DeleteAllRows();
    [[nodiscard]] int ListCount() const;
    // The index of the row added last, or -1 once it is gone.
    [[nodiscard]] int LastIndex() const;

    // Valid until the list next changes in any way: use it at once, or copy it.
    [[nodiscard]] std::string_view Cell(int row, int column) const;
    void setCell(int row, int column, std::string_view text);

    [[nodiscard]] bool Selected(int row) const;
    void setSelected(int row, bool selected);
    // Selects exactly the given rows, any order, and raises Change once. Selecting row by row
    // costs time in proportion to the selection for every row; this is for many rows at once.
    void setSelectedRows(std::vector<int> rows);
    // The selected rows, lowest first.
    [[nodiscard]] std::vector<int> selectedRows() const;
    // Removes every selected row in one step.
    void removeSelectedRows();
    // Ends an in-place edit that is under way, keeping what was typed.
    void commitEdit();
    // Puts what is being typed into the cell, the edit going on: for a save on the way out,
    // which may not touch the screen.
    void storeTyping();

    // The lowest selected row, or -1. Setting another row selects it alone and makes it current;
    // setting the row it already reports keeps the selection; -1 clears it. Every set raises
    // Change.
    [[nodiscard]] int ListIndex() const;
    void setListIndex(int row);

    // The text last set, until the user drags a column edge; after that the present widths in
    // the same form. An empty or malformed text keeps the present widths.
    [[nodiscard]] std::string ColumnWidths() const;
    void setColumnWidths(std::string_view text);

    // The column whose heading is marked as the sort heading. Setting it only marks the heading:
    // the rows are sorted only when the user clicks a heading.
    [[nodiscard]] int HeadingIndex() const;
    void setHeadingIndex(int column);

    void setHeading(int column, const QString &text);
    void setColumnType(int column, ColumnType type);

    // Handlers of the events that give a result. KeyDown receives the character code of the key
    // (8 for Backspace, 127 for forward Delete, 13 for Return) and returns true when it consumed
    // the key. SortColumn returns true when the rows are not to be sorted.
    // CellBackgroundPaint gets a painter whose origin is the cell's top left corner and the
    // cell's size; it returns true when it painted the whole cell itself. CellTextColour gets the
    // palette's colour for the text of an unselected cell and returns the one to write it in.
    using KeyDownHandler = std::function<bool(char32_t key)>;
    using SortColumnHandler = std::function<bool(int column)>;
    using CellBackgroundPaintHandler
        = std::function<bool(QPainter &painter, QSize size, int row, int column)>;
    using CellTextColourHandler = std::function<QColor(const QColor &text, int row, int column)>;
    void setKeyDownHandler(KeyDownHandler handler);
    void setSortColumnHandler(SortColumnHandler handler);
    void setCellBackgroundPaintHandler(CellBackgroundPaintHandler handler);
    void setCellTextColourHandler(CellTextColourHandler handler);
    // The column's text reads left to right also in a right-to-left layout; what is shown
    // changes, the cells do not.
    void setColumnLeftToRight(int column, bool leftToRight);

signals:
    void Change();
    void DoubleClick();
    // The user finished editing a cell in place and the edit was kept.
    void CellAction(int row, int column);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void commitData(QWidget *editor) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Holds back Change until an operation on the list is complete, then raises it once if the
    // selection changed meanwhile.
    class ChangeBatch
    {
    public:
        explicit ChangeBatch(ListBox &list);
        ~ChangeBatch();
        ChangeBatch(const ChangeBatch &) = delete;
        ChangeBatch &operator=(const ChangeBatch &) = delete;

    private:
        ListBox &m_list;
    };

    void raiseChange();
    void fitRowsToFont();
    void forgetListIndex();

    void headingClicked(int column);
    void applyColumnWidths();
    [[nodiscard]] std::vector<int> sectionSizes() const;
    void setSectionSizes(const std::vector<int> &pixels);
    void columnResizedByUser(int column, int oldSize, int newSize);

    ListModel *m_model;
    CellDelegate *m_delegate;
    KeyDownHandler m_keyDown;
    SortColumnHandler m_sortColumn;
    std::string m_columnWidthsText;
    std::vector<ColumnWidth> m_columnWidths;
    bool m_widthsDragged = false;
    // The columns' widths when the user pressed on the heading; empty between drags.
    std::vector<int> m_dragStart;
    bool m_applyingWidths = false;
    int m_headingIndex = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_sortedOnce = false;
    bool m_selectedBeforeReset = false;
    int m_batchDepth = 0;
    bool m_changePending = false;
    int m_lastIndex = -1;
    mutable std::optional<int> m_listIndex;
    QPersistentModelIndex m_committedIndex;
};
