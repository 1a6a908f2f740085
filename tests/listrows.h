#pragma once

#include "listbox.h"
#include "listmodel.h"

#include <QRegularExpression>
#include <QStringList>

// A list written as text: its rows joined with ',', a row as its cells joined with '|' without
// the empty ones at the end, and a selected row begins with '*': "*A|05/27 09:00,B".
inline void addRows(ListBox &list, const QString &rows)
{
    for (const QString &row : rows.split(u',', Qt::SkipEmptyParts)) {
        const bool selected = row.startsWith(u'*');
        QString line = row.sliced(selected ? 1 : 0).replace(u'|', u'\t');
        list.AddRows({ ListRow::fromLine(line.toStdString()) });
        list.setSelected(list.LastIndex(), selected);
    }
}

inline QString rowsOf(const ListBox &list)
{
    QStringList rows;
    for (const ListRow &row : list.listModel()->rows())
        rows << QString::fromStdString(row.line())
                    .replace(u'\t', u'|')
                    .remove(QRegularExpression(QStringLiteral("\\|+$")));
    for (const int row : list.selectedRows())
        rows[row].prepend(u'*');
    return rows.join(u',');
}
