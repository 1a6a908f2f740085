#pragma once

#include "listbox.h"

// The main window's project list: the list control with the four project columns.
class myListClass : public ListBox
{
    Q_OBJECT
public:
    explicit myListClass(QWidget *parent = nullptr);
};
