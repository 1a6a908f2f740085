#include "window1.h"

#include "buttonfit.h"
#include "contrast.h"
#include "dateservice.h"
#include "durations.h"
#include "editdialog.h"
#include "globalsmodule.h"
#include "menu.h"
#include "mylistclass.h"
#include "projectrows.h"
#include "timestamps.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using namespace GlobalsModule;

namespace {

QPointer<Window1> theWindow;

constexpr QSize contentSize { 493, 233 };
constexpr QSize minimumContentSize { 400, 200 };
constexpr QSize maximumContentSize { 1200, 1200 };
// The list keeps these margins as the window grows and shrinks; the buttons stay on the bottom.
constexpr int margin = 13;
constexpr int listTop = 11;
constexpr int listBottomMargin = 47;
constexpr QSize buttonSize { 100, 22 };
constexpr std::array buttonLefts { 13, 126 };
constexpr int buttonBottomMargin = 13;
// The Start and Finish columns' part of the list's width, and the widest text they show.
constexpr double timeColumnShare = 0.25;
constexpr QStringView widestTime = u"12/01 09:05";

const QColor oddRowTint { 235, 255, 255 };

constexpr int Project = columnIndex(Column::Project);
constexpr int Start = columnIndex(Column::Start);
constexpr int Finish = columnIndex(Column::Finish);
constexpr int Total = columnIndex(Column::Total);

} // namespace

Window1 *Window1::instance()
{
    if (!theWindow)
        theWindow = new Window1; // deletes itself when it closes
    return theWindow;
}

Window1 *Window1::existing()
{
    return theWindow && !theWindow->m_closed ? theWindow.data() : nullptr;
}

Window1::Window1(QWidget *parent)
    : DocumentWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"Tally Fox"_s);
    // A document window that closes only when the application quits: no close or zoom button.
    setWindowFlags(
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint);

    setMenuBar(Menu::instance());
    addMenuHandler(u"FileNew"_s, [this] { return _FileNew_Action(); });

    for (int index = 0; index < int(BevelButton1.size()); ++index) {
        auto *button = new QPushButton(index == 0 ? u"Start"_s : u"Stop"_s, content());
        button->setEnabled(false);
        connect(button, &QPushButton::clicked, this, [this, index] { BevelButton1_Action(index); });
        BevelButton1.at(std::size_t(index)) = button;
    }

    ListBox1 = new myListClass(content());
    connect(ListBox1, &ListBox::Change, this, &Window1::ListBox1_Change);
    connect(ListBox1, &ListBox::DoubleClick, this, &Window1::ListBox1_DoubleClick);
    connect(ListBox1, &ListBox::CellAction, this, &Window1::ListBox1_CellAction);
    ListBox1->setKeyDownHandler([this](char32_t key) { return ListBox1_KeyDown(key); });
    ListBox1->setSortColumnHandler([this](int column) { return ListBox1_SortColumn(column); });
    ListBox1->setCellBackgroundPaintHandler([this](QPainter &g, QSize size, int row, int column) {
        return ListBox1_CellBackgroundPaint(g, size, row, column);
    });
    ListBox1->setCellTextColourHandler([this](const QColor &text, int row, int column) {
        return ListBox1_CellTextColour(text, row, column);
    });
    ListBox1_Open();
    setUpAccess();

    const double scale = fontScale();
    const auto scaled = [scale](QSize size) {
        return QSize(int(std::ceil(size.width() * scale)), int(std::ceil(size.height() * scale)))
            .boundedTo(maximumContentSize);
    };
    setContentSizes(scaled(contentSize), scaled(minimumContentSize), maximumContentSize);
    layOutContent(content()->size());
}

Window1::~Window1() = default;

QPushButton *Window1::button(int index) const
{
    return BevelButton1.at(std::size_t(index));
}

// For the keyboard and for screen readers. Tab alone gives the buttons the focus, in the order
// list, Start, Stop: a click leaves it with the list, and with a rename open there.
void Window1::setUpAccess()
{
    for (QPushButton *button : BevelButton1)
        button->setFocusPolicy(Qt::TabFocus);
    setTabOrder(ListBox1, BevelButton1[0]);
    setTabOrder(BevelButton1[0], BevelButton1[1]);
    ListBox1->setAccessibleName(u"Projects"_s);
}

// How much larger than designed the window must be for a time stamp to show whole in its column
// at the narrowest the window gets: 1 at the usual font, more at a large one. Its smallest and
// first sizes grow by this, so a large font shows the layout as designed, only larger.
double Window1::fontScale() const
{
    const QStyle *style = ListBox1->style();
    // The item view leaves a focus frame's margin and a pixel each side of a cell's text; one
    // more pixel covers the rounding of the column's share.
    const int cellMargins
        = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ListBox1) + 1) + 1;
    const int needed
        = ListBox1->fontMetrics().horizontalAdvance(widestTime.toString()) + cellMargins;
    // The list's frame and a vertical scroll bar take their part before the columns share.
    const int columns = minimumContentSize.width() - 2 * margin - 2 * ListBox1->frameWidth()
        - style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ListBox1);
    return std::max(1.0, needed / (timeColumnShare * columns));
}

// The buttons keep their size while their captions fit it. A larger font makes them larger, the
// list's bottom margin with them, and moves the Stop button right so that the gap between the two
// stays.
void Window1::layOutContent(QSize area)
{
    // Start also reads "Continue".
    const std::array sizes {
        fittedButtonSize(*BevelButton1[0], buttonSize, { u"Start"_s, u"Continue"_s }),
        fittedButtonSize(*BevelButton1[1], buttonSize, { u"Stop"_s }),
    };
    const int extraHeight = std::max(sizes[0].height(), sizes[1].height()) - buttonSize.height();
    ListBox1->setGeometry(margin, listTop, area.width() - 2 * margin,
        area.height() - listTop - listBottomMargin - extraHeight);
    int left = buttonLefts.at(0);
    for (std::size_t index = 0; index < BevelButton1.size(); ++index) {
        const QSize size = sizes.at(index);
        const int top = area.height() - buttonBottomMargin - size.height();
        BevelButton1.at(index)->setGeometry(QRect({ left, top }, size));
        left += size.width() + buttonLefts.at(1) - buttonLefts.at(0) - buttonSize.width();
    }
}

void Window1::createNewRow()
{
    // The counter only numbers names; holding it at its limit beats wrapping into negatives.
    if (gNum < std::numeric_limits<decltype(gNum)>::max())
        ++gNum;
    ListBox1->AddRow(untitledProjectName(gNum));
}

void Window1::startTime(int row)
{
    const Date now;
    const std::string_view start = ListBox1->Cell(row, Start);
    if (!start.empty())
        ListBox1->setCell(
            row, Start, continuedStartText(start, ListBox1->Cell(row, Finish), now.TotalSeconds()));
    else
        ListBox1->setCell(row, Start, returnTime(0));
    ListBox1->setCell(row, Finish, {});
    ListBox1->setCell(row, Total, {});
    BevelButton1[0]->setEnabled(false);
    BevelButton1[1]->setEnabled(true);
}

void Window1::stopTime(int row)
{
    const Date now;
    ListBox1->setCell(row, Finish, returnTime(now.TotalSeconds()));
    SpecialStopTime(row);
}

void Window1::SpecialStopTime(int row)
{
    ListBox1->setCell(
        row, Total, totalText(ListBox1->Cell(row, Start), ListBox1->Cell(row, Finish)));
    ListBox1->setListIndex(ListBox1->ListIndex());
    BevelButton1[1]->setEnabled(false);
}

bool Window1::stopRow(int row)
{
    ListBox1->commitEdit();
    if (!isRunning({ ListBox1->Cell(row, Start), ListBox1->Cell(row, Finish), {} }))
        return false;
    stopTime(row);
    // The stopped row need not be the selected one, whose Stop button stopTime has disabled.
    refreshButtons();
    return true;
}

void Window1::stopAllRows()
{
    // A name still being typed is part of what is saved.
    ListBox1->commitEdit();
    for (int row = 0; row < ListBox1->ListCount(); ++row) {
        if (isRunning({ ListBox1->Cell(row, Start), ListBox1->Cell(row, Finish), {} }))
            stopTime(row);
    }
    refreshButtons();
}

bool Window1::deleteSelectedRow()
{
    const int row = ListBox1->ListIndex();
    if (row < 0)
        return false;
    ListBox1->RemoveRow(row);
    return true;
}

void Window1::buttonPushed(int index)
{
    const int row = ListBox1->ListIndex();
    if (row < 0)
        return; // the buttons are disabled then; a stray call has no row to act on
    if (index == 0)
        startTime(row);
    else if (index == 1)
        stopTime(row);
}

void Window1::refreshButtons()
{
    const int row = ListBox1->ListIndex();
    std::optional<RowTimes> selected;
    if (row >= 0)
        selected = RowTimes { ListBox1->Cell(row, Start), ListBox1->Cell(row, Finish),
            ListBox1->Cell(row, Total) };
    const ButtonStates states = buttonStates(selected);
    BevelButton1[0]->setText(QString::fromUtf8(states.startCaption));
    BevelButton1[0]->setEnabled(states.startEnabled);
    BevelButton1[1]->setEnabled(states.stopEnabled);
}

void Window1::editTimes(int row)
{
    gStartTime = std::string(ListBox1->Cell(row, Start));
    gFinishTime = std::string(ListBox1->Cell(row, Finish));
    bool confirmed = false;
    {
        EditDialog dialog(this);
        confirmed = dialog.exec() == QDialog::Accepted;
    }
    // With no window manager, nobody hands the keyboard back to the list once the dialog is gone.
    activateWindow();
    // Cancel leaves the row exactly as it was: a Total worked out afresh from a Start that
    // cannot be read would change it.
    if (!confirmed)
        return;
    ListBox1->setCell(row, Start, gStartTime);
    ListBox1->setCell(row, Finish, gFinishTime);
    if (!gStartTime.empty() && !gFinishTime.empty())
        SpecialStopTime(row);
    else
        refreshButtons(); // an emptied Start makes the row one to Start again, not to Continue
}

void Window1::ListBox1_Open()
{
    const std::array headings { u"Project"_s, u"Start"_s, u"Finish"_s, u"Total"_s };
    for (int column = 0; column < columnCount; ++column) {
        ListBox1->setHeading(column, headings.at(std::size_t(column)));
        ListBox1->setColumnType(
            column, column == Project ? ListBox::ColumnType::Editable : ListBox::ColumnType::Plain);
    }
    for (const int column : { Start, Finish, Total })
        ListBox1->setColumnLeftToRight(column, true);
    ListBox1->setColumnWidths("35%,25%,25%,15%");
    ListBox1->setHeadingIndex(Project);
}

void Window1::ListBox1_Change()
{
    refreshButtons();
    // An Alt-click (Option-click on a Mac) that clears the selection adds a project. Not while
    // closing: stopping the rows re-selects, and Alt+F4 must not leave an extra row behind.
    if (!m_closing && ListBox1->ListIndex() == -1
        && QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier))
        createNewRow();
    updateMenus();
}

void Window1::ListBox1_DoubleClick()
{
    // Every command takes a name still being typed as it stands before it acts on the rows.
    ListBox1->commitEdit();
    const int row = ListBox1->ListIndex();
    if (row < 0)
        return;
    if (ListBox1->Cell(row, Start).empty())
        buttonPushed(0);
    else if (ListBox1->Cell(row, Finish).empty())
        buttonPushed(1);
    else
        editTimes(row);
}

void Window1::ListBox1_CellAction(int row, int /*column*/)
{
    ListBox1->setHeadingIndex(Project);
    ListBox1->setListIndex(row);
}

bool Window1::ListBox1_KeyDown(char32_t key)
{
    switch (key) {
    case 8: // the key that erases backwards: Backspace on a PC keyboard, "delete" on a Mac's
    case 127: // Delete, the key that removes items on Linux
        if (ListBox1->ListIndex() != -1)
            ListBox1->removeSelectedRows();
        return false;
    case 13: // Return or Enter: what a double-click on the selected row does
        ListBox1_DoubleClick();
        return true;
    default:
        return false;
    }
}

bool Window1::ListBox1_SortColumn(int column)
{
    if (column == Project)
        return false;
    // Only the Project column sorts; the mark goes back to it.
    ListBox1->setHeadingIndex(Project);
    return true;
}

bool Window1::ListBox1_CellBackgroundPaint(QPainter &g, QSize size, int row, int /*column*/)
{
    if (row % 2 != 0)
        g.fillRect(QRect({ 0, 0 }, size), oddRowTint);
    return false;
}

// The tint stays under a dark colour scheme too, whose light text would not show on it.
QColor Window1::ListBox1_CellTextColour(const QColor &text, int row, int /*column*/) const
{
    if (row % 2 == 0)
        return text;
    const auto rgb = [](const QColor &colour) {
        return Rgb { colour.red(), colour.green(), colour.blue() };
    };
    const Rgb readable = readableTextColour(rgb(text), rgb(oddRowTint));
    return readable == rgb(text) ? text : QColor(readable.red, readable.green, readable.blue);
}

void Window1::BevelButton1_Action(int index)
{
    // A click leaves the focus in the list, so a rename may still be open there.
    ListBox1->commitEdit();
    buttonPushed(index);
}

bool Window1::_FileNew_Action()
{
    ListBox1->commitEdit();
    createNewRow();
    return true;
}

QAction *Window1::menuItem(const QString &name) const
{
    const auto *bar = qobject_cast<MenuBar *>(menuWidget());
    return bar ? bar->item(name) : nullptr;
}

QAction *Window1::FileNew() const
{
    return menuItem(u"FileNew"_s);
}

QAction *Window1::EditCopy() const
{
    return menuItem(u"EditCopy"_s);
}

QAction *Window1::EditSelectAll() const
{
    return menuItem(u"EditSelectAll"_s);
}

void Window1::EnableMenuItems()
{
    FileNew()->setEnabled(true);
    // Copy needs a selected stopped row; a new or running row has no Total.
    const int row = ListBox1->ListIndex();
    if (row != -1 && !ListBox1->Cell(row, Total).empty())
        EditCopy()->setEnabled(true);
    if (ListBox1->ListCount() > 0)
        EditSelectAll()->setEnabled(true);
}

void Window1::Close()
{
    stopAllRows();
    emit closing();
}

void Window1::closeEvent(QCloseEvent *event)
{
    // A second close request, even one made while the first is under way, must not stop and
    // save again.
    if (!m_closing) {
        m_closing = true;
        Close();
        m_closed = true;
    }
    event->accept();
}
