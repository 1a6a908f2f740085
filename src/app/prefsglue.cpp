#include "prefsglue.h"

#include "dateservice.h"
#include "directives.h"
#include "globalsmodule.h"
#include "listmodel.h"
#include "mylistclass.h"
#include "prefsfile.h"
#include "prefsformat.h"
#include "projectrows.h"
#include "quitting.h"
#include "screenplace.h"
#include "window1.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace {

PrefsFile &prefsFile()
{
    static PrefsFile file;
    return file;
}

bool loaded = false;
bool loading = false;
// The window is closing: its own save follows, and no other may come between.
bool closing = false;
// The list's last save is done, or was given up by the user: nothing is left for a last chance.
bool settled = false;

// What a save needs beyond the rows, as last seen, for a save that may touch no widget.
struct LastSeen
{
    WindowPlace place;
    std::string columnWidths;
    QPointer<ListModel> model;
    // The kinds of failure the user was told about since the last save that succeeded.
    std::vector<SaveFailure::Kind> told;
};

LastSeen &lastSeen()
{
    static LastSeen seen;
    return seen;
}

void look(const Window1 &window)
{
    lastSeen().place = { window.Left(), window.Top(), window.Width(), window.Height() };
    lastSeen().columnWidths = window.listBox()->ColumnWidths();
}

std::string fileText(const std::vector<ListRow> &rows)
{
    return prefsText(lastSeen().place, lastSeen().columnWidths, rows, GlobalsModule::gIdleMinutes);
}

// Why a save failed, in a sentence.
QString reason(const SaveFailure &failure)
{
    switch (failure.kind) {
    case SaveFailure::Kind::FileReadOnly:
        return QObject::tr("You may not change the file.");
    case SaveFailure::Kind::FolderReadOnly:
        return QObject::tr("You may not write in its folder.");
    case SaveFailure::Kind::NoRoom:
        return QObject::tr("The disk is full, or you have used up your space on it.");
    case SaveFailure::Kind::NotAFile:
        return QObject::tr("A folder, or something else that is not a file, has its name.");
    case SaveFailure::Kind::Unreachable:
        return QObject::tr("Its folder cannot be reached: it is missing, or on a drive that is "
                           "not mounted.");
    case SaveFailure::Kind::Other:
        break;
    }
    return QObject::tr("The system says: %1.").arg(qt_error_string(failure.error));
}

// Why the last save of the preferences file failed, naming the file.
QString failureText()
{
    return QObject::tr("Tally Fox could not save its preferences file “%1”. %2")
        .arg(QDir::toNativeSeparators(prefsFile().path()),
            reason(prefsFile().lastFailure().value_or(SaveFailure {})));
}

// News that leaves the window free, also written to the log: where the window is going (a save
// on the way out), that still leaves a trace.
void tell(Window1 &window, QMessageBox::Icon icon, const QString &text)
{
    qWarning().noquote() << text;
    auto *box = new QMessageBox(
        icon, QCoreApplication::applicationName(), text, QMessageBox::Ok, &window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

// Once for each kind of failure until a save succeeds: the same news at every change would be
// noise, and the list is safe in the window meanwhile.
void tellAboutFailure(Window1 &window)
{
    const std::optional<SaveFailure> failure = prefsFile().lastFailure();
    std::vector<SaveFailure::Kind> &told = lastSeen().told;
    if (!failure) {
        told.clear();
        return;
    }
    if (std::find(told.begin(), told.end(), failure->kind) != told.end())
        return;
    told.push_back(failure->kind);
    tell(window, QMessageBox::Warning,
        failureText()
            + QObject::tr(" The list is kept here, and every change tries to save it again."));
}

// For a run that ends with nobody to ask: the list goes where no save can lose it.
void keepUnsaved(const std::string &bytes)
{
    const QString copy = UnsavedCopies::keep(bytes);
    const QString outcome = copy.isEmpty()
        ? QObject::tr(" Nor could the list be kept in “%1”: it is lost.")
              .arg(QDir::toNativeSeparators(UnsavedCopies::folder()))
        : QObject::tr(" The list is kept as “%1”.").arg(QDir::toNativeSeparators(copy));
    qWarning().noquote() << failureText() + outcome;
}

// The lists that an earlier run could not save, each named once.
void tellAboutUnsavedCopies(Window1 &window)
{
    for (const QString &copy : UnsavedCopies::takeUntold()) {
        const QString text
            = QObject::tr("When Tally Fox last ended, it could not save its preferences file "
                          "“%1”. The list as it was then is kept as “%2”: to go on with it, quit "
                          "Tally Fox and put that copy in place of the preferences file.")
                  .arg(
                      QDir::toNativeSeparators(prefsFile().path()), QDir::toNativeSeparators(copy));
        tell(window, QMessageBox::Information, text);
    }
}

enum class Answer { TryAgain, SaveACopy, QuitWithoutSaving };

Answer askBeforeQuitting(Window1 &window)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), failureText(),
        QMessageBox::NoButton, &window);
    box.setInformativeText(
        QObject::tr("If you quit without saving, the changes since the last save are lost."));
    QPushButton *again = box.addButton(QObject::tr("Try Again"), QMessageBox::AcceptRole);
    QPushButton *copy = box.addButton(QObject::tr("Save a Copy..."), QMessageBox::ActionRole);
    box.addButton(QObject::tr("Quit Without Saving"), QMessageBox::DestructiveRole);
    box.setDefaultButton(again);
    // Closing the question is no answer: it comes back.
    box.setEscapeButton(again);
    box.exec();
    if (box.clickedButton() == copy)
        return Answer::SaveACopy;
    return box.clickedButton() == again || !box.clickedButton() ? Answer::TryAgain
                                                                : Answer::QuitWithoutSaving;
}

// False when no copy was saved, the dialog cancelled included.
bool saveACopy(Window1 &window, const std::string &bytes)
{
    const QString path = QFileDialog::getSaveFileName(&window, QObject::tr("Save a Copy"),
        QDir::home().filePath(QFileInfo(prefsFile().path()).fileName()));
    if (path.isEmpty())
        return false;
    PrefsFile copy(path);
    if (copy.save(bytes))
        return true;
    QMessageBox::warning(&window, QCoreApplication::applicationName(),
        QObject::tr("Tally Fox could not save the copy “%1”. %2")
            .arg(QDir::toNativeSeparators(path),
                reason(copy.lastFailure().value_or(SaveFailure {}))));
    return false;
}

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
        tell(window, QMessageBox::Information, text);
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
    closing = false;
    settled = false;
    lastSeen().told.clear();
    const auto keep = qScopeGuard([window] {
        saveSoonWhenNotReadWhole(window);
        look(*window);
        // Once the window shows, so that the message comes above it.
        QTimer::singleShot(0, window, [window] { tellAboutUnsavedCopies(*window); });
    });
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
    if (!window || !loaded || loading || closing)
        return;
    look(*window);
    prefsFile().save(fileText(window->listBox()->listModel()->rows()));
    tellAboutFailure(*window);
    tellAboutCopies(*window);
}

void GlobalsModule::saveAtLastChance()
{
    if (!loaded || loading || settled || !lastSeen().model)
        return;
    settled = true;
    if (Window1 *window = Window1::existing())
        window->listBox()->storeTyping();
    std::vector<ListRow> rows = lastSeen().model->rows();
    stopRunningRows(rows, Date().TotalSeconds());
    const std::string bytes = fileText(rows);
    if (!prefsFile().save(bytes))
        keepUnsaved(bytes);
}

PrefsSaving::PrefsSaving(Window1 *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{
    // Made now, before anything that may use them at exit is registered to run then: they are
    // destroyed only after it.
    prefsFile();
    lastSeen().model = window->listBox()->listModel();
    window->installEventFilter(this);
    connect(window->listBox()->horizontalHeader(), &QHeaderView::sectionResized, this,
        [window] { look(*window); });

    m_changeSave.setSingleShot(true);
    m_changeSave.setInterval(0);
    connect(&m_changeSave, &QTimer::timeout, this, &GlobalsModule::savePrefs);

    connect(window, &Window1::closing, this, &PrefsSaving::saveAtClose);

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

bool PrefsSaving::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        look(*m_window);
    return QObject::eventFilter(watched, event);
}

// The last save of the run. While it fails, the user is asked, as often as it takes: Try Again,
// Save a Copy..., or Quit Without Saving.
void PrefsSaving::saveAtClose()
{
    if (!loaded || loading || closing || settled)
        return;
    closing = true;
    look(*m_window);
    const std::string bytes = fileText(m_window->listBox()->listModel()->rows());
    // Until it is settled, a run that ends under the question (the display gone) still keeps the
    // list.
    const auto settle = qScopeGuard([] { settled = true; });
    while (!prefsFile().save(bytes)) {
        // A signal or the session's end may come while the question is up; it cancels it.
        if (quittingUnattended()) {
            keepUnsaved(bytes);
            return;
        }
        const Answer answer = askBeforeQuitting(*m_window);
        if (quittingUnattended())
            continue;
        if (answer == Answer::QuitWithoutSaving
            || (answer == Answer::SaveACopy && saveACopy(*m_window, bytes)))
            return;
    }
    lastSeen().told.clear();
    tellAboutCopies(*m_window);
}
