#pragma once

#include <QHash>
#include <QKeySequence>
#include <QMenuBar>
#include <functional>
#include <vector>

class QKeyEvent;
class QShortcut;

// Whatever serves menu commands: a control, a window or the application. Handlers are registered
// by item name when the owner is set up.
class CommandTarget
{
public:
    virtual ~CommandTarget();

    // A handler returns true when it handled the command.
    using Handler = std::function<bool()>;
    void addMenuHandler(const QString &name, Handler handler);
    [[nodiscard]] bool handleMenuCommand(const QString &name) const;

    // Enables the items this target serves. Runs at every menu update: a window's only while it
    // is the front window, the application's always.
    virtual void EnableMenuItems() { }

private:
    QHash<QString, Handler> m_handlers;
};

// The program's menu bar as the framework knows it: menus and items found by name, items that
// the menu update disables unless an EnableMenuItems handler enables them, and commands that go
// to the focused control, then the front window, then the application.
//
// An item's shortcut never acts by itself: the key first runs a menu update, and then triggers
// the item only if the update left it enabled. A key whose item stays disabled does nothing at
// all; it does not fall through to the focused control. A text field that takes the key for its
// own editing (Ctrl+C in a line edit) keeps it.
class MenuBar : public QMenuBar
{
    Q_OBJECT
public:
    enum class ItemKind {
        Plain,
        Quit, // served by the framework: quits the application
        ApplicationMenu, // shown in the application menu where the platform has one
    };

    explicit MenuBar(QWidget *parent = nullptr);
    ~MenuBar() override;

    // The menu bar in use, if any.
    [[nodiscard]] static MenuBar *current();

    // The menu opens with Alt and the first letter of its text that no menu before it took. The
    // text reads as given; the letter is only underlined.
    QMenu *appendMenu(const QString &name, const QString &text);
    // Appends an item to the menu of that name; the text "-" makes a separator.
    QAction *appendItem(const QString &menuName, const QString &name, bool autoEnable,
        const QString &text, const QKeySequence &shortcut = {}, ItemKind kind = ItemKind::Plain);

    // The item also acts on every other key that the platform binds to the standard command
    // (Ctrl+Insert for Copy): such keys otherwise reach the focused control's own version of it.
    // The menu goes on showing the item's own shortcut.
    void alsoOn(const QString &name, QKeySequence::StandardKey command);

    [[nodiscard]] QAction *item(const QString &name) const;
    [[nodiscard]] bool autoEnable(const QAction *item) const;

    // The menu update: every item whose AutoEnable is off is disabled, then the front window
    // and the application enable theirs.
    void updateItems();

    // Hands the command to the focused control or one of its parents, then to the front window,
    // then to the application; false when none took it.
    static bool dispatch(const QString &name);

    // True when the key is the shortcut of an item that a menu update enables now: the key would
    // act as that command.
    [[nodiscard]] bool commandKey(const QKeyEvent &key);

private:
    struct Item
    {
        QAction *action;
        bool autoEnable;
        QShortcut *keys = nullptr;
    };

    [[nodiscard]] QString withMnemonic(const QString &text);

    void itemTriggered(QAction *action, ItemKind kind);
    void shortcutActivated(QAction *action);

    std::vector<Item> m_items;
    // The letters that open a menu, in upper case.
    QString m_mnemonics;
};

// Runs the menu update of the menu bar in use at once.
void updateMenus();
