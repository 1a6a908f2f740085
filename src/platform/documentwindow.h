#pragma once

#include <QMainWindow>
#include <optional>

// A document window as the framework has it: its place and size are those of its content area,
// below the menu bar where the window shows one, so that the limits and a saved place mean the
// same whether the platform puts the menu bar in the window or at the top of the screen.
class DocumentWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit DocumentWindow(QWidget *parent = nullptr);

    // Whether the platform lets a program learn and set where its windows are. Wayland does not:
    // there the compositor places every window, and Left and Top give back the place last set.
    [[nodiscard]] static bool platformPlacesWindows();

    // The content area on the screen.
    [[nodiscard]] int Left() const;
    [[nodiscard]] int Top() const;
    [[nodiscard]] int Width() const;
    [[nodiscard]] int Height() const;
    // Any value is taken: a place from a file may say anything, and it is held within what a
    // widget can have before anything is added to it.
    void setLeft(int left);
    void setTop(int top);
    void setWidth(int width);
    void setHeight(int height);

protected:
    // The area the window's controls are laid out in.
    [[nodiscard]] QWidget *content() const;
    // Sets the content's limits and its size; call once the menu bar is in place.
    void setContentSizes(QSize size, QSize minimum, QSize maximum);
    // Lays the controls out again; called whenever the content area changes size.
    virtual void layOutContent(QSize size) = 0;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    [[nodiscard]] int menuBarHeight() const;
    [[nodiscard]] QRect contentPlace() const;
    void setContentPlace(int left, int top, int width, int height);

    // Where the platform does not place windows: the place last set, kept for the next run (on a
    // platform that does) rather than replaced by the origin the window reports.
    std::optional<QPoint> m_keptPlace;
};
