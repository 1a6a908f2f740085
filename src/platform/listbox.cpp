#include "listbox.h"

#include "celldelegate.h"
#include "listmodel.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <algorithm>
#include <iterator>
#include <utility>

ListBox::ListBox(int columnCount, QWidget *parent)
    : QTableView(parent)
    , m_model(new ListModel(columnCount, this))
    , m_delegate(new CellDelegate(this))
{
    setModel(m_model);
    setItemDelegate(m_delegate);
    connect(m_delegate, &CellDelegate::committed, this,
        [this](const QModelIndex &index) { m_committedIndex = index; });
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectRows);
    setShowGrid(true);
    setWordWrap(false);
    setEditTriggers(SelectedClicked | EditKeyPressed);
    setSortingEnabled(false);
    setDragEnabled(false);
    // Tab leaves the list for the window's other controls, as it does everywhere else.
    setTabKeyNavigation(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    // One fixed height for every row keeps a list of a hundred thousand rows instant.
    QHeaderView *rowHeader = verticalHeader();
    rowHeader->hide();
    rowHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowHeader->setMinimumSectionSize(0);
    fitRowsToFont();

    QHeaderView *heading = horizontalHeader();
    heading->show();
    heading->setSectionsClickable(true);
    heading->setSortIndicatorShown(true);
    heading->setSortIndicator(-1, Qt::AscendingOrder);
    heading->setStretchLastSection(false);
    heading->setSectionResizeMode(QHeaderView::Interactive);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &ListBox::raiseChange);
    // ListIndex is asked for at every menu update; a selection of many scattered rows is worth
    // reading once per change, not once per question.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &ListBox::forgetListIndex);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &ListBox::forgetListIndex);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &ListBox::forgetListIndex);
    horizontalHeader()->viewport()->installEventFilter(this);
    connect(heading, &QHeaderView::sectionClicked, this, &ListBox::headingClicked);
    connect(heading, &QHeaderView::sectionResized, this, &ListBox::columnResizedByUser);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this,
        [this](const QModelIndex &, int first, int last) {
            if (m_lastIndex > last) {
                m_lastIndex -= last - first + 1;
            } else if (m_lastIndex >= first) {
                m_lastIndex = -1;
            }
        });
    // A reset clears the selection without a word to anyone; whoever follows it is told here.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this,
        [this] { m_selectedBeforeReset = selectionModel()->hasSelection(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        forgetListIndex();
        m_lastIndex = -1;
        if (std::exchange(m_selectedBeforeReset, false)) {
            raiseChange();
        }
    });
}

ListBox::~ListBox() = default;

// The selection model announces a change while rows are still half removed (from inside
// rowsAboutToBeRemoved). A handler that then read the list, or added a row to it, would meet it
// in the middle of the change; so during an operation of ours the news waits for its end.
ListBox::ChangeBatch::ChangeBatch(ListBox &list)
    : m_list(list)
{
    ++m_list.m_batchDepth;
}

ListBox::ChangeBatch::~ChangeBatch()
{
    if (--m_list.m_batchDepth == 0 && std::exchange(m_list.m_changePending, false))
        emit m_list.Change();
}

void ListBox::forgetListIndex()
{
    m_listIndex.reset();
}

void ListBox::raiseChange()
{
    forgetListIndex();
    if (m_batchDepth > 0)
        m_changePending = true;
    else
        emit Change();
}

void ListBox::commitEdit()
{
    if (state() != EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void ListBox::storeTyping()
{
    if (state() != EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex()))
        commitData(editor);
}

void ListBox::AddRow(std::string_view text)
{
    std::vector<ListRow> rows;
    rows.push_back(ListRow { text });
    AddRows(std::move(rows));
}

void ListBox::AddRows(std::vector<ListRow> rows)
{
    if (rows.empty()) {
        return;
    }
    m_model->appendRows(std::move(rows));
    m_lastIndex = ListCount() - 1;
}

void ListBox::RemoveRow(int row)
{
    const ChangeBatch batch(*this);
    m_model->removeRows(row, 1);
}

void ListBox::DeleteAllRows()
{
    const ChangeBatch batch(*this);
    m_model->clear();
}

int ListBox::ListCount() const
{
    return m_model->rowCount();
}

int ListBox::LastIndex() const
{
    return m_lastIndex;
}

std::string_view ListBox::Cell(int row, int column) const
{
    return m_model->cell(row, column);
}

void ListBox::setCell(int row, int column, std::string_view text)
{
    m_model->setCell(row, column, text);
}

bool ListBox::Selected(int row) const
{
    return row >= 0 && row < ListCount() && selectionModel()->isRowSelected(row, {});
}

void ListBox::setSelected(int row, bool selected)
{
    if (row < 0 || row >= ListCount()) {
        return;
    }
    const auto command = selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect;
    selectionModel()->select(m_model->index(row, 0), command | QItemSelectionModel::Rows);
}

void ListBox::setSelectedRows(std::vector<int> rows)
{
    const int count = ListCount();
    std::erase_if(rows, [count](int row) { return row < 0 || row >= count; });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QItemSelection selection;
    const int lastColumn = m_model->columnCount() - 1;
    for (auto first = rows.cbegin(); first != rows.cend();) {
        auto last = first;
        while (std::next(last) != rows.cend() && *std::next(last) == *last + 1) {
            ++last;
        }
        selection.append(
            QItemSelectionRange(m_model->index(*first, 0), m_model->index(*last, lastColumn)));
        first = std::next(last);
    }
    forgetListIndex();
    // Whole-row ranges need no Rows flag, whose expansion merges range by range; and going
    // through an empty selection spares the comparison of old and new ranges. The view is not
    // told of that step, so it repaints as a whole.
    {
        const QSignalBlocker blocker(selectionModel());
        selectionModel()->clearSelection();
        selectionModel()->select(selection, QItemSelectionModel::Select);
    }
    viewport()->update();
    emit Change();
}

std::vector<int> ListBox::selectedRows() const
{
    std::vector<int> rows;
    for (const QItemSelectionRange &range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ListBox::removeSelectedRows()
{
    const std::vector<int> rows = selectedRows();
    // Worked out here because a removal of many scattered rows resets the model, which tells
    // nobody which rows went.
    int lastIndex = m_lastIndex;
    if (std::binary_search(rows.begin(), rows.end(), lastIndex)) {
        lastIndex = -1;
    } else if (lastIndex >= 0) {
        lastIndex -= static_cast<int>(
            std::lower_bound(rows.begin(), rows.end(), lastIndex) - rows.begin());
    }
    const ChangeBatch batch(*this);
    m_model->removeRowList(rows);
    m_lastIndex = lastIndex;
}

int ListBox::ListIndex() const
{
    if (!m_listIndex) {
        int lowest = -1;
        for (const QItemSelectionRange &range : selectionModel()->selection()) {
            if (range.isValid() && (lowest < 0 || range.top() < lowest))
                lowest = range.top();
        }
        m_listIndex = lowest;
    }
    return *m_listIndex;
}

void ListBox::setListIndex(int row)
{
    // Exactly one Change, whether or not the selection really moved.
    const ChangeBatch batch(*this);
    m_changePending = true;
    if (row < 0 || row >= ListCount()) {
        selectionModel()->clearSelection();
    } else if (row != ListIndex()) {
        selectionModel()->setCurrentIndex(m_model->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

std::string ListBox::ColumnWidths() const
{
    return m_widthsDragged ? formatColumnWidths(m_columnWidths) : m_columnWidthsText;
}

void ListBox::setColumnWidths(std::string_view text)
{
    auto widths = parseColumnWidths(text);
    if (!widths) {
        return;
    }
    m_columnWidthsText = std::string(text);
    m_columnWidths = std::move(*widths);
    m_widthsDragged = false;
    applyColumnWidths();
}

int ListBox::HeadingIndex() const
{
    return m_headingIndex;
}

void ListBox::setHeadingIndex(int column)
{
    if (column < 0 || column >= m_model->columnCount()) {
        column = -1;
    }
    if (column != m_headingIndex) {
        m_sortedOnce = false;
    }
    m_headingIndex = column;
    horizontalHeader()->setSortIndicator(m_headingIndex, m_sortOrder);
}

void ListBox::setHeading(int column, const QString &text)
{
    m_model->setHeading(column, text);
}

void ListBox::setColumnType(int column, ColumnType type)
{
    m_model->setColumnEditable(column, type == ColumnType::Editable);
}

void ListBox::setSortColumnHandler(SortColumnHandler handler)
{
    m_sortColumn = std::move(handler);
}

void ListBox::setCellBackgroundPaintHandler(CellBackgroundPaintHandler handler)
{
    m_delegate->setBackgroundPaintHandler(std::move(handler));
    viewport()->update();
}

void ListBox::setCellTextColourHandler(CellTextColourHandler handler)
{
    m_delegate->setTextColourHandler(std::move(handler));
    viewport()->update();
}

void ListBox::setColumnLeftToRight(int column, bool leftToRight)
{
    m_delegate->setColumnLeftToRight(column, leftToRight);
    viewport()->update();
}

// Every row is as tall as the list's font needs, also when the font changes while it is shown.
void ListBox::fitRowsToFont()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void ListBox::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitRowsToFont();
}

void ListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    // A double-click of another button, or one below the last row, selects as a click does but
    // is no double-click of a row.
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit DoubleClick();
}

// Also called when only the viewport changes size, as when the vertical scroll bar comes or
// goes, so percentages always divide the width the columns really have.
void ListBox::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    applyColumnWidths();
}

void ListBox::commitData(QWidget *editor)
{
    m_committedIndex = QPersistentModelIndex();
    QTableView::commitData(editor);
}

void ListBox::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const QPersistentModelIndex committed = std::exchange(m_committedIndex, {});
    QTableView::closeEditor(editor, hint);
    if (hint != QAbstractItemDelegate::RevertModelCache && committed.isValid()) {
        emit CellAction(committed.row(), committed.column());
    }
}

void ListBox::headingClicked(int column)
{
    if (!m_sortColumn || !m_sortColumn(column)) {
        const bool again = m_sortedOnce && column == m_headingIndex;
        const bool descending = again && m_sortOrder == Qt::AscendingOrder;
        m_sortOrder = descending ? Qt::DescendingOrder : Qt::AscendingOrder;
        m_sortedOnce = true;
        m_headingIndex = column;
        // Sorting moves rows without removing any; the last added row is followed by hand.
        const QPersistentModelIndex last = m_model->index(m_lastIndex, 0);
        const ChangeBatch batch(*this);
        m_model->sort(column, m_sortOrder);
        m_lastIndex = last.isValid() ? last.row() : -1;
    }
    // The header has already flipped its own indicator; ours is what counts.
    horizontalHeader()->setSortIndicator(m_headingIndex, m_sortOrder);
}

void ListBox::applyColumnWidths()
{
    if (!m_columnWidths.empty())
        setSectionSizes(
            layoutColumnWidths(m_columnWidths, m_model->columnCount(), viewport()->width()));
}

std::vector<int> ListBox::sectionSizes() const
{
    std::vector<int> pixels;
    for (int column = 0; column < m_model->columnCount(); ++column)
        pixels.push_back(horizontalHeader()->sectionSize(column));
    return pixels;
}

void ListBox::setSectionSizes(const std::vector<int> &pixels)
{
    const QScopedValueRollback guard(m_applyingWidths, true);
    for (std::size_t column = 0; column < pixels.size(); ++column)
        horizontalHeader()->resizeSection(static_cast<int>(column), pixels[column]);
}

void ListBox::columnResizedByUser(int column, int, int newSize)
{
    if (m_applyingWidths)
        return;
    const std::vector<int> pixels = draggedColumnWidths(
        m_dragStart.empty() ? sectionSizes() : m_dragStart, column, newSize, viewport()->width());
    setSectionSizes(pixels);
    m_columnWidths = widthsFromPixels(m_columnWidths, pixels, viewport()->width());
    m_widthsDragged = true;
}

bool ListBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            m_dragStart = sectionSizes();
        else if (event->type() == QEvent::MouseButtonRelease)
            m_dragStart.clear();
    }
    return QTableView::eventFilter(watched, event);
}
