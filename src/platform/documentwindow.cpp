#include "documentwindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <algorithm>

DocumentWindow::DocumentWindow(QWidget *parent)
    : QMainWindow(parent)
{
    auto *area = new QWidget(this);
    area->installEventFilter(this);
    setCentralWidget(area);
}

QWidget *DocumentWindow::content() const
{
    return centralWidget();
}

void DocumentWindow::setContentSizes(QSize size, QSize minimum, QSize maximum)
{
    content()->setMinimumSize(minimum);
    content()->setMaximumSize(maximum);
    // The window itself must hold to the limits too, with room for its menu bar, or it grows
    // around a content area that cannot follow.
    const QSize bar(0, menuBarHeight());
    setMinimumSize(minimum + bar);
    setMaximumSize(maximum + bar);
    resize(size + bar);
}

int DocumentWindow::menuBarHeight() const
{
    // Where the platform shows the menu bar at the top of the screen, the window has none.
    const auto *bar = qobject_cast<QMenuBar *>(menuWidget());
    if (!bar || bar->isNativeMenuBar())
        return 0;
    const int height = bar->heightForWidth(std::max(width(), minimumWidth()));
    return height > 0 ? height : bar->sizeHint().height();
}

QRect DocumentWindow::contentPlace() const
{
    return geometry().adjusted(0, menuBarHeight(), 0, 0);
}

void DocumentWindow::setContentPlace(int left, int top, int width, int height)
{
    constexpr int limit = QWIDGETSIZE_MAX;
    const QRect place(std::clamp(left, -limit, limit), std::clamp(top, -limit, limit),
        std::clamp(width, 0, limit), std::clamp(height, 0, limit));
    if (!platformPlacesWindows())
        m_keptPlace = place.topLeft();
    setGeometry(place.adjusted(0, -menuBarHeight(), 0, 0));
}

bool DocumentWindow::platformPlacesWindows()
{
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

int DocumentWindow::Left() const
{
    return m_keptPlace ? m_keptPlace->x() : contentPlace().left();
}

int DocumentWindow::Top() const
{
    return m_keptPlace ? m_keptPlace->y() : contentPlace().top();
}

int DocumentWindow::Width() const
{
    return contentPlace().width();
}

int DocumentWindow::Height() const
{
    return contentPlace().height();
}

void DocumentWindow::setLeft(int left)
{
    const QRect place(Left(), Top(), Width(), Height());
    setContentPlace(left, place.y(), place.width(), place.height());
}

void DocumentWindow::setTop(int top)
{
    const QRect place(Left(), Top(), Width(), Height());
    setContentPlace(place.x(), top, place.width(), place.height());
}

void DocumentWindow::setWidth(int width)
{
    const QRect place(Left(), Top(), Width(), Height());
    setContentPlace(place.x(), place.y(), width, place.height());
}

void DocumentWindow::setHeight(int height)
{
    const QRect place(Left(), Top(), Width(), Height());
    setContentPlace(place.x(), place.y(), place.width(), height);
}

bool DocumentWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        layOutContent(content()->size());
    return QMainWindow::eventFilter(watched, event);
}
