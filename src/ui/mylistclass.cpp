#include "mylistclass.h"

#include "projectrows.h"

myListClass::myListClass(QWidget *parent)
    : ListBox(columnCount, parent)
{
}
