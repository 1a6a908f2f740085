#include "lastchance.h"

#include <QCoreApplication>
#include <QString>
#include <QThread>
#include <cstdlib>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const LastChance *armed = nullptr;
QtMessageHandler previousHandler = nullptr;
bool exitHookSet = false;

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
    if (type == QtWarningMsg && isDisplayLost(message))
        run();
}
