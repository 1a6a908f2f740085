#include "idlereader.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDebug>
#include <QGuiApplication>
#include <chrono>
#include <ctime>

// Last: Xlib's macros (None, Bool, Status...) must meet no header after them.
#include <X11/extensions/scrnsaver.h>

using namespace Qt::StringLiterals;

std::optional<double> IdleReader::idleSeconds()
{
    if (!m_available)
        return std::nullopt;
    const auto seconds = QGuiApplication::platformName() == u"xcb"_s ? fromX11() : fromBus();
    if (!seconds) {
        m_available = false;
        qDebug("No idle time from the session: time away goes unnoticed");
    }
    return seconds;
}

double IdleReader::steadySeconds()
{
    // CLOCK_MONOTONIC stops while the machine sleeps, and a suspend counts as time away.
    timespec now {};
    if (clock_gettime(CLOCK_BOOTTIME, &now) == 0)
        return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::optional<double> IdleReader::fromX11()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    int eventBase = 0;
    int errorBase = 0;
    if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase))
        return std::nullopt;
    XScreenSaverInfo info {};
    if (!XScreenSaverQueryInfo(display, XDefaultRootWindow(display), &info))
        return std::nullopt;
    return double(info.idle) / 1000.0;
}

std::optional<double> IdleReader::fromBus()
{
    const QDBusMessage call = QDBusMessage::createMethodCall(u"org.freedesktop.ScreenSaver"_s,
        u"/org/freedesktop/ScreenSaver"_s, u"org.freedesktop.ScreenSaver"_s,
        u"GetSessionIdleTime"_s);
    // A desktop that does not offer it answers at once with an error; one that hangs must not
    // hold the window up for long.
    constexpr int timeoutMs = 1000;
    const QDBusReply<uint> reply
        = QDBusConnection::sessionBus().call(call, QDBus::Block, timeoutMs);
    if (!reply.isValid())
        return std::nullopt;
    return double(reply.value()) / 1000.0;
}
