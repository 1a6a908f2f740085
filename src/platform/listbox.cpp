#include "listbox.h"

#include "listmodel.h"
#include "singlelinevalidator.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// The character code of a key as the KeyDown handler sees it: the ASCII control code for the
// editing keys, whose event text is empty or differs between platforms, otherwise the character
// typed.
char32_t characterCode(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Delete:
        return 127;
    default:
        // Ctrl+H types the backspace character on X11: it is no Backspace key, and must not
        // remove rows.
        if (event.text().isEmpty() || event.text().front().unicode() < u' ')
            return 0;
        return event.text().front().unicode();
    }
}

} // namespace

class ListBox::CellDelegate : public QStyledItemDelegate
{
public:
    explicit CellDelegate(ListBox *list)
        : QStyledItemDelegate(list)
        , m_list(list)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        if (m_list->m_cellBackgroundPaint) {
            painter->save();
            painter->translate(option.rect.topLeft());
            painter->setClipRect(QRect(QPoint(0, 0), option.rect.size()), Qt::IntersectClip);
            m_list->m_cellBackgroundPaint(
                *painter, option.rect.size(), index.row(), index.column());
            painter->restore();
        }
        // With no background role the default paint leaves our background alone, and the
        // style draws the selection over it.
        QStyledItemDelegate::paint(painter, option, index);
    }

    QWidget *createEditor(
        QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setValidator(new SingleLineValidator(editor));
        return editor;
    }

    // The view asks the delegate to write an editor back with the editor's own index, which is
    // the one the finished edit must report (the current index may already have moved on).
    void setModelData(
        QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        QStyledItemDelegate::setModelData(editor, model, index);
        m_list->m_committedIndex = index;
    }

private:
    ListBox *m_list;
};

ListBox::ListBox(int columnCount, QWidget *parent)
    : QTableView(parent)
    , m_model(new ListModel(columnCount, this))
    , m_delegate(new CellDelegate(this))
{
    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectRows);
    setShowGrid(true);
    setWordWrap(false);
    setEditTriggers(SelectedClicked | EditKeyPressed);
    setSortingEnabled(false);
    setDragEnabled(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    // One fixed height for every row keeps a list of a hundred thousand rows instant.
    QHeaderView *rowHeader = verticalHeader();
    rowHeader->hide();
    rowHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowHeader->setMinimumSectionSize(0);
    rowHeader->setDefaultSectionSize(fontMetrics().height() + 6);

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

void ListBox::setKeyDownHandler(KeyDownHandler handler)
{
    m_keyDown = std::move(handler);
}

void ListBox::setSortColumnHandler(SortColumnHandler handler)
{
    m_sortColumn = std::move(handler);
}

void ListBox::setCellBackgroundPaintHandler(CellBackgroundPaintHandler handler)
{
    m_cellBackgroundPaint = std::move(handler);
    viewport()->update();
}

void ListBox::keyPressEvent(QKeyEvent *event)
{
    if (m_keyDown && m_keyDown(characterCode(*event))) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// Only some columns can be edited, and the key that edits (F2, or Return on a Mac) should not
// depend on which cell of the row was clicked last: it edits the row's first editable cell. The
// row may have been scrolled away since it was selected; the editor must open where it is seen.
bool ListBox::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (trigger != EditKeyPressed || !index.isValid())
        return QTableView::edit(index, trigger, event);
    QModelIndex cell = index;
    for (int column = 0; !cell.flags().testFlag(Qt::ItemIsEditable); ++column) {
        if (column == m_model->columnCount())
            return QTableView::edit(index, trigger, event);
        cell = index.siblingAtColumn(column);
    }
    if (cell != index)
        selectionModel()->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
    scrollTo(cell);
    return QTableView::edit(cell, trigger, event);
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
