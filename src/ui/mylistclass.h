#pragma once

#include "listbox.h"
#include "menubar.h"

#include <string>

// The main window's project list: the list control with the four project columns, and the two
// menu commands that work on its rows.
class myListClass : public ListBox, public CommandTarget
{
    Q_OBJECT
public:
    explicit myListClass(QWidget *parent = nullptr);

    // The row's labelled line of text, without a line end.
    [[nodiscard]] std::string grabLine(int row) const;

private:
    // Puts the selected rows on the clipboard, one line each, top to bottom, and beside that
    // text as an HTML table.
    bool _EditCopy_Action();
    // Selects exactly the stopped rows: those with a Finish.
    bool _EditSelectAll_Action();
};
