#include "mylistclass.h"

#include "listmodel.h"
#include "projectrows.h"
#include "textfields.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

using namespace Qt::StringLiterals;

myListClass::myListClass(QWidget *parent)
    : ListBox(columnCount, parent)
{
    addMenuHandler(u"EditCopy"_s, [this] { return _EditCopy_Action(); });
    addMenuHandler(u"EditSelectAll"_s, [this] { return _EditSelectAll_Action(); });
}

std::string myListClass::grabLine(int row) const
{
    return labelledLine(Cell(row, columnIndex(Column::Project)),
        Cell(row, columnIndex(Column::Start)), Cell(row, columnIndex(Column::Finish)),
        Cell(row, columnIndex(Column::Total)));
}

bool myListClass::_EditCopy_Action()
{
    commitEdit();
    // The selected rows in one pass over the selection: asking each row whether it is
    // selected costs a pass over the selection per row.
    const std::vector<int> rows = selectedRows();
    // Gathered in one buffer as the UTF-8 bytes it leaves the program as: a long copy is neither
    // moved as it grows nor decoded only to be encoded again.
    const std::vector<ListRow> &all = listModel()->rows();
    const std::size_t labels = labelledLine({}, {}, {}, {}).size() + EndOfLine.size();
    std::size_t size = 0;
    for (const int row : rows)
        size += all[static_cast<std::size_t>(row)].line().size() + labels;
    QByteArray text;
    text.reserve(static_cast<qsizetype>(size));
    for (std::size_t index = 0; index < rows.size(); ++index) {
        if (index > 0)
            text.append(EndOfLine.data(), static_cast<qsizetype>(EndOfLine.size()));
        const std::string line = grabLine(rows[index]);
        text.append(line.data(), static_cast<qsizetype>(line.size()));
    }
    // Beside the text, the same rows as a table, for what pastes tables.
    auto *both = new QMimeData; // the clipboard takes it over
    both->setData(u"text/plain"_s, text);
    both->setData(u"text/html"_s, QByteArray::fromStdString(htmlTable(all, rows)));
    QGuiApplication::clipboard()->setMimeData(both);
    return true;
}

bool myListClass::_EditSelectAll_Action()
{
    commitEdit();
    std::vector<int> stopped;
    const int count = ListCount();
    for (int row = 0; row < count; ++row) {
        if (!Cell(row, columnIndex(Column::Finish)).empty())
            stopped.push_back(row);
    }
    setSelectedRows(std::move(stopped));
    return true;
}
