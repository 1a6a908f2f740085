#pragma once

#include <optional>

// How long the session has gone without keyboard or pointer input: from the X server's screen
// saver extension on X11, from org.freedesktop.ScreenSaver on the session bus elsewhere. Where
// neither answers there is no reading, and the first failure stops the asking for good.
class IdleReader
{
public:
    [[nodiscard]] std::optional<double> idleSeconds();
    [[nodiscard]] bool available() const { return m_available; }

    // A clock that nobody sets and that counts the time the machine sleeps, in seconds.
    [[nodiscard]] static double steadySeconds();

private:
    [[nodiscard]] static std::optional<double> fromX11();
    [[nodiscard]] static std::optional<double> fromBus();

    bool m_available = true;
};
