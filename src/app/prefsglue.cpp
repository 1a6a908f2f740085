#include "prefsglue.h"

#include "directives.h"
#include "globalsmodule.h"
#include "listmodel.h"
#include "mylistclass.h"
#include "prefsfile.h"
#include "prefsformat.h"
#include "screenplace.h"
#include "window1.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>

namespace {

PrefsFile &prefsFile()
{
    static PrefsFile file;
    return file;
}

bool loaded = false;
bool loading = false;

// A place that would leave the window out of reach (a monitor unplugged, a scale factor changed,
// a file from another machine) goes onto the nearest screen, shrunk to fit it; one on screen
// stays as it is. Where the compositor places windows, only their size is the program's.
void keepOnScreen(Window1 &window)
{
    std::vector<ScreenRect> screens;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        screens.push_back({ area.x(), area.y(), area.width(), area.height() });
    }
    // The whole window: its menu bar too must show.
    const QRect frame = window.geometry();
    const ScreenRect shown
        = placeOnScreen({ frame.x(), frame.y(), frame.width(), frame.height() }, screens);
    if (DocumentWindow::platformPlacesWindows()) {
        window.setLeft(window.Left() + (shown.left - frame.x()));
        window.setTop(window.Top() + (shown.top - frame.y()));
    }
    window.setWidth(window.Width() + (shown.width - frame.width()));
    window.setHeight(window.Height() + (shown.height - frame.height()));
}

// Applies the file's records to the main window. Rows are gathered and added in one step: adding
// 100,000 rows one at a time would make the view catch up 100,000 times.
class WindowTarget final : public PrefsTarget
{
public:
    WindowTarget(Window1 &window, std::size_t records)
        : m_window(window)
    {
        m_rows.reserve(records);
    }
    void setWindowPlace(const WindowPlace &place) override
    {
        m_window.setLeft(place.left);
        m_window.setTop(place.top);
        m_window.setWidth(place.width);
        m_window.setHeight(place.height);
        keepOnScreen(m_window);
    }
    void setColumnWidths(std::string_view text) override
    {
        m_window.listBox()->setColumnWidths(text);
    }
    void addRow(ListRow row) override { m_rows.push_back(std::move(row)); }
    void setIdleMinutes(std::int32_t minutes) override { GlobalsModule::gIdleMinutes = minutes; }
    void addGatheredRows() { m_window.listBox()->AddRows(std::move(m_rows)); }

private:
    Window1 &m_window;
    std::vector<ListRow> m_rows;
};

// Says where a copy of the file was kept, in a message that leaves the window free to use.
void tellAboutCopies(Window1 &window)
{
    for (const KeptCopy &kept : prefsFile().takeKeptCopies()) {
        const QString file = QFileInfo(prefsFile().path()).fileName();
        const QString copy = QDir::toNativeSeparators(kept.path);
        const QString text = kept.why == KeptCopy::Why::NotReadWhole
            ? QObject::tr("Tally Fox could not take in all of its preferences file “%1” as "
                          "it was, so the list may show less than the file held. The file as it "
                          "was is kept as “%2”.")
                  .arg(file, copy)
            : QObject::tr("The preferences file “%1” was changed by another program after Tally "
                          "Fox last read or saved it. That version is kept as “%2”, and the list "
                          "shown here is saved in its place.")
                  .arg(file, copy);
        // Also where a save on the way out, whose window is going, still leaves a trace.
        qWarning().noquote() << text;
        auto *box = new QMessageBox(QMessageBox::Information, QCoreApplication::applicationName(),
            text, QMessageBox::Ok, &window);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        box->show();
    }
}

// A file not read whole is kept by the first save, which is made at once: the user learns the
// copy's name while the list is in front of them, not at some later change or at Quit.
void saveSoonWhenNotReadWhole(Window1 *window)
{
    if (!prefsFile().readWhole())
        QTimer::singleShot(0, window, &GlobalsModule::savePrefs);
}

} // namespace

void GlobalsModule::loadPrefs()
{
    Window1 *window = Window1::existing();
    if (!window)
        return;
    const QScopedValueRollback guard(loading, true);
    window->listBox()->DeleteAllRows();
    // The records of this reading alone: a second load must not apply the first one's again.
    gDirectives.clear();
    gIdleMinutes = defaultIdleMinutes;
    loaded = true;
    const auto keep = qScopeGuard([window] { saveSoonWhenNotReadWhole(window); });
    if (!prefsFile().load())
        return;
    WindowTarget target(*window, gDirectives.size());
    // The records are spent on the way: each row takes its record's text over, and a long list
    // must not be held twice.
    if (!applyDirectives(std::move(gDirectives), target))
        prefsFile().markNotReadWhole();
    gDirectives.clear();
    target.addGatheredRows();
}

void GlobalsModule::savePrefs()
{
    Window1 *window = Window1::existing();
    if (!window || !loaded || loading)
        return;
    const WindowPlace place { window->Left(), window->Top(), window->Width(), window->Height() };
    const myListClass *list = window->listBox();
    prefsFile().save(
        prefsText(place, list->ColumnWidths(), list->listModel()->rows(), gIdleMinutes));
    tellAboutCopies(*window);
}

PrefsSaving::PrefsSaving(Window1 *window, QObject *parent)
    : QObject(parent)
{
    m_changeSave.setSingleShot(true);
    m_changeSave.setInterval(0);
    connect(&m_changeSave, &QTimer::timeout, this, &GlobalsModule::savePrefs);

    connect(window, &Window1::closing, this, &GlobalsModule::savePrefs);

    const auto scheduleSave = [this] {
        if (!loading)
            m_changeSave.start();
    };
    const ListModel *model = window->listBox()->listModel();
    connect(model, &ListModel::rowsInserted, this, scheduleSave);
    connect(model, &ListModel::rowsRemoved, this, scheduleSave);
    connect(model, &ListModel::dataChanged, this, scheduleSave);
    connect(model, &ListModel::layoutChanged, this, scheduleSave);
    connect(model, &ListModel::modelReset, this, scheduleSave);
}
