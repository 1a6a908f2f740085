#include "lastchance.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QString>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const LastChance *armed = nullptr;
QtMessageHandler previousHandler = nullptr;
bool exitHookSet = false;
// How long a thread that learned of the lost display waits for the event thread to save.
constexpr int lastChanceTimeout = 3000;

} // namespace

LastChance::LastChance(std::function<void()> action)
    : m_action(std::move(action))
{
    armed = this;
    previousHandler = qInstallMessageHandler(&LastChance::handleMessage);
    // Registered once per process, since it cannot be taken back: a later one finds nothing
    // armed.
    if (!exitHookSet)
        exitHookSet = std::atexit(&LastChance::run) == 0;
}

LastChance::~LastChance()
{
    armed = nullptr;
    qInstallMessageHandler(previousHandler);
}

bool LastChance::isDisplayLost(const QString &message)
{
    return message.startsWith(u"The X11 connection broke"_s)
        || message.startsWith(u"The Wayland connection broke"_s)
        || message.startsWith(u"The Wayland connection experienced a fatal error"_s);
}

void LastChance::run()
{
    // The action works on the event thread's objects: from any other, it is not ours to run.
    const QCoreApplication *application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread())
        return;
    // Disarmed first: what the action says on its way goes through the handler again.
    if (const LastChance *chance = std::exchange(armed, nullptr))
        chance->m_action();
}

void LastChance::handleMessage(
    QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // Qt's own words come first, then what the save has to say.
    if (previousHandler)
        previousHandler(type, context, message);
    if (type != QtWarningMsg || !isDisplayLost(message))
        return;
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return;
    if (QThread::currentThread() == application->thread()) {
        run();
        // Qt's exit() would now tear down globals under a live application and a dead
        // connection, where anything may fail on its way out: saved and released, the run ends
        // here, with Qt's status.
        static_cast<void>(std::fflush(nullptr)); // nothing left to tell if it fails
        std::_Exit(1);
    }
    // Wayland's reading thread says it, and ends the process once we return: the event thread
    // gets a moment to save first. Should it be stuck, the process ends all the same.
    const auto saved = std::make_shared<QSemaphore>();
    QMetaObject::invokeMethod(
        application,
        [saved] {
            run();
            saved->release();
        },
        Qt::QueuedConnection);
    saved->tryAcquire(1, lastChanceTimeout);
}
