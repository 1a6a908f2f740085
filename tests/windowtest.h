#pragma once

#include "dateservice.h"
#include "listrows.h"
#include "mylistclass.h"
#include "window1.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <ctime>

// For the tests of the main window: the clock fixed at 27 May 2026, 09:00, in UTC.
struct WindowTest
{
    WindowTest()
    {
        qputenv("TZ", "UTC");
        tzset();
        Clock::setCurrent(&m_clock);
    }

    // Puts the window in front, its list empty and focused: the one a test left open, or a new one.
    void open()
    {
        m_window = Window1::instance();
        m_list = m_window->listBox();
        m_list->DeleteAllRows();
        m_window->show();
        m_window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), m_window);
        m_list->setFocus();
    }

    // The rows, a current cell (which the view's own copy would take), "before" on the clipboard.
    void begin(const QString &rows)
    {
        addRows(*m_list, rows);
        m_list->selectionModel()->setCurrentIndex(
            m_list->model()->index(0, 0), QItemSelectionModel::NoUpdate);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }

    // Renames the current row to "new", clicks Start, or presses a key on what has the keyboard.
    void press(const QString &step, QStringList &trail)
    {
        if (step == u"rename") {
            QTest::keyClick(m_list, Qt::Key_F2);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("new"));
        } else if (step == u"Start") {
            QTest::mouseClick(m_window->button(0), Qt::LeftButton);
        } else {
            const QKeyCombination key = QKeySequence::fromString(step)[0];
            QWidget *target = QApplication::activePopupWidget();
            QTest::keyClick(
                target ? target : QApplication::focusWidget(), key.key(), key.keyboardModifiers());
            // Finish what a key queued; take the keyboard back as a window manager would.
            QCoreApplication::sendPostedEvents();
            if (!QApplication::activeWindow())
                m_window->activateWindow();
            QTRY_VERIFY(QApplication::focusWidget());
            trail << keyboardOwner();
        }
    }

    // Who has the keyboard, as the keyboard table writes it.
    QString keyboardOwner() const
    {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget()))
            return menu->title();
        QWidget *focus = QApplication::focusWidget();
        if (focus == m_list)
            return QStringLiteral("list");
        if (auto *button = qobject_cast<QPushButton *>(focus))
            return button->text();
        if (focus && focus->parentWidget() == m_list->viewport())
            return QStringLiteral("rename");
        return QString::fromLatin1(focus->metaObject()->className()); // press() waits for one
    }

    // Closes the boxes a test opened, and the window if asked (App's menus need the first one).
    static void close(bool window)
    {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (window || widget != Window1::existing())
                widget->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    FixedClock m_clock { 1'779'872'400 };
    Window1 *m_window = nullptr;
    myListClass *m_list = nullptr;
};
