#pragma once

#include "menubar.h"

// The program's menu bar: File and Edit, with About shown in the application menu where the
// platform has one. Built once and never changed afterwards; only the items' enabled states
// change, worked out afresh at every menu update.
class Menu : public MenuBar
{
    Q_OBJECT
public:
    // The one instance, shared by the application and the main window; made on first use.
    [[nodiscard]] static Menu *instance();

private:
    Menu();
};
