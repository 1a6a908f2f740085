#pragma once

#include "documentwindow.h"
#include "menubar.h"

#include <array>

class myListClass;
class QPushButton;

// The main window: the project list above the Start/Stop pair. Its handlers turn clicks,
// double-clicks, keys and menu commands into the row operations below.
class Window1 : public DocumentWindow, public CommandTarget
{
    Q_OBJECT
public:
    // The main window, made on first use.
    [[nodiscard]] static Window1 *instance();
    // The main window while it is open, nullptr once it has closed: whatever must not bring up a
    // fresh, empty window behind the program's back asks this instead of instance().
    [[nodiscard]] static Window1 *existing();

    ~Window1() override;

    [[nodiscard]] myListClass *listBox() const { return ListBox1; }
    [[nodiscard]] QPushButton *button(int index) const;

    void createNewRow();
    void startTime(int row);
    void stopTime(int row);
    // Works the Total out again from the row's present Start and Finish.
    void SpecialStopTime(int row);
    // Stops the row as the Stop button stops the selected one; false when it is not running.
    bool stopRow(int row);
    // Stops every running row, as closing the window does.
    void stopAllRows();
    // Removes the selected row with the lowest index; false when none is selected.
    bool deleteSelectedRow();
    void buttonPushed(int index);

    void EnableMenuItems() override;
    [[nodiscard]] QAction *FileNew() const;
    [[nodiscard]] QAction *EditCopy() const;
    [[nodiscard]] QAction *EditSelectAll() const;

signals:
    // The window is closing and every running row has been stopped: the moment to save.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;
    void layOutContent(QSize area) override;

private:
    explicit Window1(QWidget *parent = nullptr);

    [[nodiscard]] QAction *menuItem(const QString &name) const;

    void setUpAccess();
    [[nodiscard]] double fontScale() const;
    void ListBox1_Open();
    void ListBox1_Change();
    void ListBox1_DoubleClick();
    void ListBox1_CellAction(int row, int column);
    bool ListBox1_KeyDown(char32_t key);
    bool ListBox1_SortColumn(int column);
    bool ListBox1_CellBackgroundPaint(QPainter &g, QSize size, int row, int column);
    [[nodiscard]] QColor ListBox1_CellTextColour(const QColor &text, int row, int column) const;
    void BevelButton1_Action(int index);
    bool _FileNew_Action();
    void Close();

    void refreshButtons();
    void editTimes(int row);

    std::array<QPushButton *, 2> BevelButton1 {};
    myListClass *ListBox1 = nullptr;
    bool m_closing = false;
    bool m_closed = false;
};
