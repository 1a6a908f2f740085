#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

// Runs an action when the run ends without returning from the event loop: Qt reports that the
// connection to the display broke and then ends the process on the spot (exit() on X11, _exit()
// on Wayland), or anything else calls exit(). The action runs at most once, on the event thread,
// and never once this object has gone. One at a time. Where the display is lost on the event
// thread, the process ends right after the action, without Qt's teardown.
class LastChance
{
public:
    explicit LastChance(std::function<void()> action);
    ~LastChance();
    LastChance(const LastChance &) = delete;
    LastChance &operator=(const LastChance &) = delete;

    // Whether a message is Qt's news that the display connection broke.
    [[nodiscard]] static bool isDisplayLost(const QString &message);

private:
    static void run();
    static void handleMessage(
        QtMsgType type, const QMessageLogContext &context, const QString &message);

    std::function<void()> m_action;
};
