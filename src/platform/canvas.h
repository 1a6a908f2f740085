#pragma once

#include <QWidget>
#include <functional>

// A plain drawing surface: it draws only what its Paint handlers draw, and the rest of its area
// shows whatever lies beneath it. It never takes the keyboard focus.
class Canvas : public QWidget
{
    Q_OBJECT
public:
    explicit Canvas(QWidget *parent = nullptr);

    // Returns true when it took the click; an untaken click goes on to the window.
    using MouseDownHandler = std::function<bool(QPoint position)>;
    void setMouseDownHandler(MouseDownHandler handler);

signals:
    void Paint(QPainter &g);
    void MouseEnter();
    void MouseExit();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    MouseDownHandler m_mouseDown;
};
