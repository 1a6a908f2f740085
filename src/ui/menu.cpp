#include "menu.h"

#include <QPointer>

using namespace Qt::StringLiterals;

Menu *Menu::instance()
{
    // The main window owns the bar once it shows it; should that window go, a new bar is made.
    static QPointer<Menu> menu;
    if (!menu)
        menu = new Menu;
    return menu;
}

// Cmd on a Mac is Qt's Ctrl, so these read Cmd+N and so on there, Ctrl+N elsewhere.
Menu::Menu()
{
    appendMenu(u"UntitledMenu3"_s, u"File"_s);
    appendItem(
        u"UntitledMenu3"_s, u"FileNew"_s, false, u"New Project"_s, QKeySequence(u"Ctrl+N"_s));
    appendItem(u"UntitledMenu3"_s, u"FileQuit"_s, true, u"Quit"_s, QKeySequence(u"Ctrl+Q"_s),
        ItemKind::Quit);

    appendMenu(u"UntitledMenu0"_s, u"Edit"_s);
    appendItem(u"UntitledMenu0"_s, u"EditUndo"_s, false, u"Undo"_s, QKeySequence(u"Ctrl+Z"_s));
    appendItem(u"UntitledMenu0"_s, u"UntitledMenu2"_s, false, u"-"_s);
    appendItem(u"UntitledMenu0"_s, u"EditCut"_s, false, u"Cut"_s, QKeySequence(u"Ctrl+X"_s));
    appendItem(u"UntitledMenu0"_s, u"EditCopy"_s, false, u"Copy"_s, QKeySequence(u"Ctrl+C"_s));
    appendItem(u"UntitledMenu0"_s, u"EditPaste"_s, false, u"Paste"_s, QKeySequence(u"Ctrl+V"_s));
    appendItem(u"UntitledMenu0"_s, u"EditClear"_s, false, u"Clear"_s);
    appendItem(u"UntitledMenu0"_s, u"UntitledMenu1"_s, false, u"-"_s);
    appendItem(u"UntitledMenu0"_s, u"EditSelectAll"_s, false, u"Select All Stopped Projects"_s,
        QKeySequence(u"Ctrl+A"_s));
    appendItem(u"UntitledMenu0"_s, u"AppleAbout"_s, false, u"About Tallyfox..."_s, {},
        ItemKind::ApplicationMenu);
}
