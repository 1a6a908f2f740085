#pragma once

#include <QMenu>
#include <QObject>
#include <QStringList>
#include <QSystemTrayIcon>

// The program's icon in the desktop's tray: the application icon, or its running variant, a
// tooltip and a menu of plain items. It knows nothing of what the items do; it reports which one
// was chosen, and a click.
class StatusIcon : public QObject
{
    Q_OBJECT
public:
    // False where the desktop offers no tray, now or later: then no icon is to be made.
    [[nodiscard]] static bool available();

    explicit StatusIcon(QObject *parent = nullptr);

    void setRunning(bool running);
    void setToolTip(const QString &text);
    // The menu's items as given, in order, with a separator before the item at separatorBefore
    // (none when it is out of range). Texts show as they are: an '&' is no mnemonic.
    void setItems(const QStringList &texts, int separatorBefore);
    // What the tray's host is handed.
    [[nodiscard]] const QSystemTrayIcon &trayIcon() const { return m_icon; }

signals:
    void itemChosen(int index);
    void clicked();

private:
    void activated(QSystemTrayIcon::ActivationReason reason);

    QMenu m_menu;
    QSystemTrayIcon m_icon;
    int m_running = -1;
    QString m_toolTip;
    QStringList m_items;
    int m_separatorBefore = -1;
};
