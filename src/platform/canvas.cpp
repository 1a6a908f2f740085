#include "canvas.h"

#include <QMouseEvent>
#include <QPainter>

Canvas::Canvas(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void Canvas::setMouseDownHandler(MouseDownHandler handler)
{
    m_mouseDown = std::move(handler);
}

void Canvas::paintEvent(QPaintEvent *)
{
    QPainter g(this);
    emit Paint(g);
}

void Canvas::mousePressEvent(QMouseEvent *event)
{
    if (m_mouseDown && m_mouseDown(event->position().toPoint()))
        event->accept();
    else
        event->ignore();
}

void Canvas::enterEvent(QEnterEvent *)
{
    emit MouseEnter();
}

void Canvas::leaveEvent(QEvent *)
{
    emit MouseExit();
}
