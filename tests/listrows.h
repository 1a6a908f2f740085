#pragma once

#include "listbox.h"

#include <QStringList>

// A list written as text: its rows joined with ',', a row as its cells joined with '|' without
// the empty ones at the end, and a selected row begins with '*': "*A|05/27 09:00,B".
inline void addRows(ListBox &list, const QString &rows)
{
    if (rows.isEmpty())
        return;
    for (const QString &row : rows.split(u',')) {
        const QStringList cells = row.sliced(row.startsWith(u'*') ? 1 : 0).split(u'|');
        list.AddRow(cells.value(0).toStdString());
        for (int column = 1; column < cells.size(); ++column)
            list.setCell(list.LastIndex(), column, cells.at(column).toStdString());
        list.setSelected(list.LastIndex(), row.startsWith(u'*'));
    }
}

inline QString rowsOf(const ListBox &list)
{
    QStringList rows;
    for (int row = 0; row < list.ListCount(); ++row) {
        QString text = list.Selected(row) ? QStringLiteral("*") : QString();
        for (int column = 0; column < list.model()->columnCount(); ++column)
            text += QString::fromUtf8(list.Cell(row, column)) + u'|';
        while (text.endsWith(u'|'))
            text.chop(1);
        rows << text;
    }
    return rows.join(u',');
}
