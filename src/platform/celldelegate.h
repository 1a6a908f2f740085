#pragma once

#include <QStyledItemDelegate>
#include <functional>
#include <vector>

// Paints and edits the list's cells: the window's own background under each cell, the text in a
// colour the window may choose for the row, and columns whose text always runs left to right.
class CellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // Gets a painter whose origin is the cell's top left corner and the cell's size; true when it
    // painted the whole cell itself.
    using BackgroundPaintHandler
        = std::function<bool(QPainter &painter, QSize size, int row, int column)>;
    // Gets the colour the palette gives the text of an unselected cell and returns the one to
    // write with.
    using TextColourHandler = std::function<QColor(const QColor &text, int row, int column)>;

    explicit CellDelegate(QObject *parent = nullptr);

    void setBackgroundPaintHandler(BackgroundPaintHandler handler);
    void setTextColourHandler(TextColourHandler handler);
    // Times and durations are read left to right whatever the layout's direction.
    void setColumnLeftToRight(int column, bool leftToRight);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    void setModelData(
        QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

signals:
    // An editor's text was written into the model at index. Const, because the item delegate's
    // setModelData that sends it is const.
    void committed(const QModelIndex &index) const; // clazy:exclude=const-signal-or-slot

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    [[nodiscard]] bool isLeftToRight(int column) const;

    BackgroundPaintHandler m_backgroundPaint;
    TextColourHandler m_textColour;
    std::vector<bool> m_leftToRight;
};
