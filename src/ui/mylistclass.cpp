#include "mylistclass.h"

#include "listmodel.h"
#include "projectrows.h"
#include "textfields.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>

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
    std::string text;
    for (const int row : rows) {
        text += grabLine(row);
        text += EndOfLine;
    }
    text.resize(text.size() - std::min(text.size(), EndOfLine.size()));
    // Beside the text, the same rows as a table, for what pastes tables.
    auto *both = new QMimeData; // the clipboard takes it over
    both->setText(QString::fromUtf8(text));
    // As UTF-8 bytes, which is how it leaves the program anyway: a long copy is not decoded
    // only to be encoded again.
    both->setData(u"text/html"_s, QByteArray::fromStdString(htmlTable(listModel()->rows(), rows)));
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
