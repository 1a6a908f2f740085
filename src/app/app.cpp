#include "app.h"

#include "aboutbox.h"
#include "globalsmodule.h"
#include "lastchance.h"
#include "menu.h"
#include "mylistclass.h"
#include "prefsfile.h"
#include "prefsglue.h"
#include "quitting.h"
#include "resources.h"
#include "runningtray.h"
#include "signalwatcher.h"
#include "singleinstance.h"
#include "statusicon.h"
#include "timeawayquestion.h"
#include "window1.h"

#include <QMessageBox>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString severeErrorText = u"Severe error! Can't read my own Resource file. Must quit."_s;

void bringToFront(Window1 *window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

App::App(int &argc, char **argv)
    : QApplication(argc, argv)
    , m_menu(Menu::instance())
{
    setApplicationName(u"Tally Fox"_s);
    setApplicationVersion(QStringLiteral(TALLYFOX_VERSION));
    // Pairs the windows with the installed desktop entry, for its icon and name.
    setDesktopFileName(QStringLiteral(TALLYFOX_APP_ID));
    addMenuHandler(u"AppleAbout"_s, [this] { return _AppleAbout_Action(); });

    connect(
        this, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive)
                Deactivate();
        });
    connect(this, &QCoreApplication::aboutToQuit, this, &App::Close);
    // A kill, a logout or a shutdown ends the run as Quit does, so no running row is lost.
    auto *watcher = new SignalWatcher(this);
    // Nobody is there to answer a question on the way out.
    connect(watcher, &SignalWatcher::received, this, &quitUnattended);
    // Only after the session manager has had its answer.
    connect(this, &QGuiApplication::commitDataRequest, this,
        [this] { QTimer::singleShot(0, this, &quitUnattended); });
}

App::~App()
{
    // The main window owns the menu bar once it shows it; one it never took is ours to free.
    if (m_menu && !m_menu->parent())
        delete m_menu;
}

App *App::instance()
{
    return qobject_cast<App *>(QCoreApplication::instance());
}

int App::run()
{
    // Two copies would each rewrite the same file and lose each other's rows.
    SingleInstance single(PrefsFile::defaultPath());
    switch (single.start()) {
    case SingleInstance::Outcome::Run:
        break;
    case SingleInstance::Outcome::HandedOver:
        return 0;
    case SingleInstance::Outcome::Refused:
        // Without a word the user would only see that the program never comes up.
        QMessageBox::critical(nullptr, applicationName(), single.problem());
        return 1;
    }
    // Where the lock cannot be made, the file cannot be saved either: the user hears of it at
    // once, not at the first change.
    m_saveAtOnce = !single.holdsLock();
    Window1 *window = Window1::instance();
    PrefsSaving saving(window);
    new TimeAwayQuestion(window->listBox(), window); // the window owns it
    // A display that goes away ends the run from deep inside the event loop, without returning
    // here: the list and the lock are seen to on the way.
    const LastChance lastChance([&single] {
        GlobalsModule::saveAtLastChance();
        single.release();
    });
    connect(&single, &SingleInstance::activationRequested, window, [window] {
        // Before the file is loaded (the resource message is up) the window holds nothing yet.
        if (window->isVisible())
            bringToFront(window);
        // A dialog that blocks the window (the edit dialog, the resource message) goes above it:
        // the window alone in front would leave the user facing a window that takes no input.
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->raise();
            modal->activateWindow();
        }
    });
    // However the main window comes to close, the run ends with it.
    connect(window, &Window1::closing, this, &quitApplication);

    QMetaObject::invokeMethod(this, &App::Open, Qt::QueuedConnection);
    const int status = exec();
    // Windows closed on the way out were only marked for deletion.
    sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}

void App::Open()
{
    m_splash = true;
    GlobalsModule::gAboutDelay = 750;
    if (!Resources::openStore() || !Resources::hasPicture(AboutBox::backdropPicture)
        || !Resources::hasCursor(AboutBox::fingerCursor)) {
        severeError();
        return;
    }
    GlobalsModule::loadPrefs();
    // Shown only now, already where the preferences put it.
    if (Window1 *window = Window1::existing()) {
        bringToFront(window);
        if (StatusIcon::available()) {
            auto *tray = new RunningTray(window, this);
            connect(tray, &RunningTray::showRequested, window, [window] { bringToFront(window); });
        }
    }
    GlobalsModule::creditString = "Tally Fox is written by the Tally Fox developers. "
                                  "It is built with Qt, with thanks to all who make it. ";
    AboutBox::instance()->Show();
    updateMenus();
    if (m_saveAtOnce)
        GlobalsModule::savePrefs();
    // Not needed to show the window, and its sizes take a while to decode: it follows at once.
    QTimer::singleShot(0, this, [] { setWindowIcon(Resources::appIcon()); });
}

// Nothing is loaded, so nothing may be saved: the preferences file stays as it is.
void App::severeError()
{
    beep();
    auto *box = new QMessageBox(
        QMessageBox::Critical, applicationName(), severeErrorText, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    connect(box, &QMessageBox::finished, this, [] { QCoreApplication::exit(0); });
    box->show();
}

void App::Deactivate()
{
    GlobalsModule::savePrefs();
}

void App::Close()
{
    // Nothing is left to do: the main window saved the file when it closed.
}

void App::EnableMenuItems()
{
    if (QAction *about = AppleAbout())
        about->setEnabled(true);
}

QAction *App::AppleAbout() const
{
    return m_menu ? m_menu->item(u"AppleAbout"_s) : nullptr;
}

bool App::_AppleAbout_Action()
{
    AboutBox::instance()->Show();
    updateMenus();
    return true;
}
