#pragma once

#include "dateservice.h"
#include "listrows.h"
#include "mylistclass.h"
#include "window1.h"

#include <QApplication>
#include <QClipboard>
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

    // The rows, a current cell (which the view's own copy would take) and "before" on the
    // clipboard.
    void begin(const QString &rows)
    {
        addRows(*m_list, rows);
        m_list->selectionModel()->setCurrentIndex(
            m_list->model()->index(0, 0), QItemSelectionModel::NoUpdate);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }

    // Closes the boxes a test opened, and the window if asked (deleting it); under App, whose menu
    // handlers stay with the first menu bar, it lives on.
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
