#include "menubar.h"

#include "quitting.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QShortcut>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QPointer<MenuBar> currentBar;

CommandTarget *targetOf(QObject *object)
{
    return dynamic_cast<CommandTarget *>(object);
}

} // namespace

CommandTarget::~CommandTarget() = default;

void CommandTarget::addMenuHandler(const QString &name, Handler handler)
{
    m_handlers.emplace(name, std::move(handler));
}

bool CommandTarget::handleMenuCommand(const QString &name) const
{
    const auto handler = m_handlers.constFind(name);
    return handler != m_handlers.cend() && (*handler)();
}

MenuBar::MenuBar(QWidget *parent)
    : QMenuBar(parent)
{
    currentBar = this;
}

MenuBar::~MenuBar() = default;

MenuBar *MenuBar::current()
{
    return currentBar;
}

QString MenuBar::withMnemonic(const QString &text)
{
    const auto escaped = [](QString part) { return part.replace(u'&', u"&&"_s); };
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar letter = text.at(at).toUpper();
        if (letter.isLetterOrNumber() && !m_mnemonics.contains(letter)) {
            m_mnemonics += letter;
            return escaped(text.left(at)) + u'&' + escaped(text.mid(at));
        }
    }
    return escaped(text);
}

QMenu *MenuBar::appendMenu(const QString &name, const QString &text)
{
    QMenu *menu = addMenu(withMnemonic(text));
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    // What a menu offers is worked out only when it is about to be seen.
    connect(menu, &QMenu::aboutToShow, this, &MenuBar::updateItems);
    return menu;
}

QAction *MenuBar::appendItem(const QString &menuName, const QString &name, bool autoEnable,
    const QString &text, const QKeySequence &shortcut, ItemKind kind)
{
    auto *menu = findChild<QMenu *>(menuName, Qt::FindDirectChildrenOnly);
    if (!menu)
        return nullptr;
    QAction *action = text == u"-" ? menu->addSeparator() : menu->addAction(text);
    action->setObjectName(name);
    m_items.push_back({ action, autoEnable });
    Item &item = m_items.back();
    if (action->isSeparator())
        return action;

    switch (kind) {
    case ItemKind::Plain:
        // Not moved into the application menu because of its text.
        action->setMenuRole(QAction::NoRole);
        break;
    case ItemKind::Quit:
        action->setMenuRole(QAction::QuitRole);
        break;
    case ItemKind::ApplicationMenu:
        action->setMenuRole(QAction::AboutRole);
        break;
    }
    connect(
        action, &QAction::triggered, this, [this, action, kind] { itemTriggered(action, kind); });

    if (!shortcut.isEmpty()) {
        // Shown in the menu, but never matched by Qt itself: a disabled action's key would reach
        // the focused widget, and an enabled one would act on a stale enabled state.
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetShortcut);
        item.keys = new QShortcut(shortcut, this);
        item.keys->setContext(Qt::ApplicationShortcut);
        connect(
            item.keys, &QShortcut::activated, this, [this, action] { shortcutActivated(action); });
    }
    return action;
}

void MenuBar::alsoOn(const QString &name, QKeySequence::StandardKey command)
{
    const auto found = std::find_if(m_items.cbegin(), m_items.cend(),
        [&name](const Item &item) { return item.keys && item.action->objectName() == name; });
    if (found == m_items.cend())
        return;
    QList<QKeySequence> keys = found->keys->keys();
    for (const QKeySequence &key : QKeySequence::keyBindings(command)) {
        if (!keys.contains(key))
            keys.append(key);
    }
    found->keys->setKeys(keys);
}

QAction *MenuBar::item(const QString &name) const
{
    const auto found = std::find_if(m_items.cbegin(), m_items.cend(),
        [&name](const Item &item) { return item.action->objectName() == name; });
    return found == m_items.cend() ? nullptr : found->action;
}

bool MenuBar::autoEnable(const QAction *item) const
{
    return std::any_of(m_items.cbegin(), m_items.cend(),
        [item](const Item &entry) { return entry.action == item && entry.autoEnable; });
}

void MenuBar::updateItems()
{
    for (const Item &item : m_items) {
        if (!item.autoEnable)
            item.action->setEnabled(false);
    }
    if (CommandTarget *front = targetOf(QApplication::activeWindow()))
        front->EnableMenuItems();
    if (CommandTarget *application = targetOf(QCoreApplication::instance()))
        application->EnableMenuItems();
}

bool MenuBar::dispatch(const QString &name)
{
    // The focused control may be a part of the control that serves the command, such as the
    // editor a list opens in one of its cells.
    for (QWidget *widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (widget->isWindow())
            break;
        if (CommandTarget *target = targetOf(widget); target && target->handleMenuCommand(name))
            return true;
    }
    if (CommandTarget *front = targetOf(QApplication::activeWindow());
        front && front->handleMenuCommand(name))
        return true;
    CommandTarget *application = targetOf(QCoreApplication::instance());
    return application && application->handleMenuCommand(name);
}

bool MenuBar::commandKey(const QKeyEvent &key)
{
    updateItems();
    const QKeySequence pressed(key.keyCombination());
    return std::any_of(m_items.cbegin(), m_items.cend(), [&pressed](const Item &item) {
        return item.keys && item.action->isEnabled() && item.keys->keys().contains(pressed);
    });
}

void MenuBar::itemTriggered(QAction *action, ItemKind kind)
{
    if (kind == ItemKind::Quit)
        quitApplication();
    else
        dispatch(action->objectName());
}

void MenuBar::shortcutActivated(QAction *action)
{
    updateItems();
    if (action->isEnabled())
        action->trigger();
}

void updateMenus()
{
    if (MenuBar *bar = MenuBar::current())
        bar->updateItems();
}
