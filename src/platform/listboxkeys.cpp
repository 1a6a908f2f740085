#include "listbox.h"
#include "listmodel.h"

#include <QKeyEvent>

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

void ListBox::setKeyDownHandler(KeyDownHandler handler)
{
    m_keyDown = std::move(handler);
}

void ListBox::keyPressEvent(QKeyEvent *event)
{
    // An editor open in a cell passes on the keys it leaves unused, Return among them: they were
    // typed to the editor, not to the list.
    if (hasFocus() && m_keyDown && m_keyDown(characterCode(*event))) {
        event->accept();
        return;
    }
    // The view's own Copy puts the current cell alone on the clipboard and its Select All takes
    // rows of every kind. These keys belong to the menu commands, whose rules say when they act;
    // one that arrives here was refused by them, or there is no menu to serve it.
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        event->ignore();
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
