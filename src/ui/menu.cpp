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
    appendItem(u"UntitledMenu3"_s, u"FileNew"_s, false, u"New Project"_s,
        QKeySequence(Qt::CTRL | Qt::Key_N));
    appendItem(u"UntitledMenu3"_s, u"FileQuit"_s, true, u"Quit"_s,
        QKeySequence(Qt::CTRL | Qt::Key_Q), ItemKind::Quit);

    appendMenu(u"UntitledMenu0"_s, u"Edit"_s);
    appendItem(
        u"UntitledMenu0"_s, u"EditUndo"_s, false, u"Undo"_s, QKeySequence(Qt::CTRL | Qt::Key_Z));
    appendItem(u"UntitledMenu0"_s, u"UntitledMenu2"_s, false, u"-"_s);
    appendItem(
        u"UntitledMenu0"_s, u"EditCut"_s, false, u"Cut"_s, QKeySequence(Qt::CTRL | Qt::Key_X));
    appendItem(
        u"UntitledMenu0"_s, u"EditCopy"_s, false, u"Copy"_s, QKeySequence(Qt::CTRL | Qt::Key_C));
    appendItem(
        u"UntitledMenu0"_s, u"EditPaste"_s, false, u"Paste"_s, QKeySequence(Qt::CTRL | Qt::Key_V));
    appendItem(u"UntitledMenu0"_s, u"EditClear"_s, false, u"Clear"_s);
    appendItem(u"UntitledMenu0"_s, u"UntitledMenu1"_s, false, u"-"_s);
    appendItem(u"UntitledMenu0"_s, u"EditSelectAll"_s, false, u"Select All Stopped Projects"_s,
        QKeySequence(Qt::CTRL | Qt::Key_A));
    appendItem(u"UntitledMenu0"_s, u"AppleAbout"_s, false, u"About Tallyfox..."_s, {},
        ItemKind::ApplicationMenu);

    // The list view has its own Copy and Select All on these keys, without the items' rules.
    alsoOn(u"EditCopy"_s, QKeySequence::Copy);
    alsoOn(u"EditSelectAll"_s, QKeySequence::SelectAll);
}
