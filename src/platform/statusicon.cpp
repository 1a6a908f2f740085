#include "statusicon.h"

#include "resources.h"

#include <QGuiApplication>
#include <QTextDocument>

using namespace Qt::StringLiterals;

bool StatusIcon::available()
{
    // On X11 a tray that comes later (a panel started after the program, at login or after a
    // crash) takes the icon in: Qt docks a shown icon when a tray appears.
    return QSystemTrayIcon::isSystemTrayAvailable() || QGuiApplication::platformName() == u"xcb"_s;
}

StatusIcon::StatusIcon(QObject *parent)
    : QObject(parent)
{
    m_icon.setContextMenu(&m_menu);
    connect(&m_icon, &QSystemTrayIcon::activated, this, &StatusIcon::activated);
    setRunning(false);
    m_icon.show();
}

// Each setter leaves the tray alone when nothing changed: every change goes out to the tray's
// host, and the rows change far more often than what the icon shows of them.
void StatusIcon::setRunning(bool running)
{
    if (m_running == int(running))
        return;
    m_running = int(running);
    m_icon.setIcon(Resources::appIcon(running));
}

void StatusIcon::setToolTip(const QString &text)
{
    if (text == m_toolTip)
        return;
    m_toolTip = text;
    // A tooltip that looks like markup shows as markup; a project named "<b>" must show as typed.
    if (Qt::mightBeRichText(text))
        m_icon.setToolTip(u"<qt>"_s + text.toHtmlEscaped().replace(u'\n', u"<br>"_s) + u"</qt>"_s);
    else
        m_icon.setToolTip(text);
}

void StatusIcon::setItems(const QStringList &texts, int separatorBefore)
{
    if (texts == m_items && separatorBefore == m_separatorBefore)
        return;
    m_items = texts;
    m_separatorBefore = separatorBefore;
    m_menu.clear();
    for (int index = 0; index < texts.size(); ++index) {
        if (index == separatorBefore)
            m_menu.addSeparator();
        QString text = texts.at(index);
        QAction *item = m_menu.addAction(text.replace(u'&', u"&&"_s));
        connect(item, &QAction::triggered, this, [this, index] { emit itemChosen(index); });
    }
}

void StatusIcon::activated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        emit clicked();
}
