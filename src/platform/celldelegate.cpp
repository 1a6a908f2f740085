#include "celldelegate.h"

#include "singlelinevalidator.h"

#include <QLineEdit>
#include <QPainter>
#include <utility>

CellDelegate::CellDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

void CellDelegate::setBackgroundPaintHandler(BackgroundPaintHandler handler)
{
    m_backgroundPaint = std::move(handler);
}

void CellDelegate::setTextColourHandler(TextColourHandler handler)
{
    m_textColour = std::move(handler);
}

void CellDelegate::setColumnLeftToRight(int column, bool leftToRight)
{
    if (column < 0)
        return;
    if (std::size_t(column) >= m_leftToRight.size())
        m_leftToRight.resize(std::size_t(column) + 1);
    m_leftToRight[std::size_t(column)] = leftToRight;
}

bool CellDelegate::isLeftToRight(int column) const
{
    return column >= 0 && std::size_t(column) < m_leftToRight.size()
        && m_leftToRight[std::size_t(column)];
}

void CellDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (m_backgroundPaint) {
        painter->save();
        painter->translate(option.rect.topLeft());
        painter->setClipRect(QRect(QPoint(0, 0), option.rect.size()), Qt::IntersectClip);
        m_backgroundPaint(*painter, option.rect.size(), index.row(), index.column());
        painter->restore();
    }
    // With no background role the default paint leaves our background alone, and the style
    // draws the selection over it in the palette's highlight colours.
    QStyleOptionViewItem cell(option);
    if (m_textColour && !cell.state.testFlag(QStyle::State_Selected)) {
        for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
            cell.palette.setColor(group, QPalette::Text,
                m_textColour(
                    cell.palette.color(group, QPalette::Text), index.row(), index.column()));
        }
    }
    QStyledItemDelegate::paint(painter, cell, index);
}

// In a right-to-left layout a time stamp, all digits and neutral marks, would otherwise be
// reordered word by word ("10:30 12/05"). Isolating it as left-to-right text keeps its order and
// still aligns the cell as the layout does; only the text shown changes, never the cell's.
void CellDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->direction == Qt::RightToLeft && isLeftToRight(index.column())
        && !option->text.isEmpty())
        option->text = u'\u2066' + option->text + u'\u2069';
}

QWidget *CellDelegate::createEditor(
    QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setValidator(new SingleLineValidator(editor));
    return editor;
}

// The view asks the delegate to write an editor back with the editor's own index, which is the
// one the finished edit must report (the current index may already have moved on).
void CellDelegate::setModelData(
    QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    QStyledItemDelegate::setModelData(editor, model, index);
    emit committed(index);
}
