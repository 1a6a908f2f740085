#pragma once

#include "menubar.h"

#include <QApplication>
#include <QPointer>

class Menu;

// The application object. Made once, before the event loop: it runs the start-up (Open), saves
// the preferences whenever the application stops being the active one (Deactivate), serves the
// About command, and ends the run the same way whatever asks for it.
class App : public QApplication, public CommandTarget
{
    Q_OBJECT
public:
    App(int &argc, char **argv);
    ~App() override;

    // The application object, from anywhere; nullptr when the application is not an App.
    [[nodiscard]] static App *instance();

    // The rest of the start: one running copy per preferences file, the main window, then the
    // event loop, whose first act is Open. Returns the exit status.
    int run();

    // True while the about box serves as the start-up splash.
    [[nodiscard]] bool splash() const { return m_splash; }
    void setSplash(bool splash) { m_splash = splash; }

    void Open();
    void Deactivate();
    void Close();
    void EnableMenuItems() override;
    [[nodiscard]] QAction *AppleAbout() const;

private:
    bool _AppleAbout_Action();
    void severeError();

    QPointer<Menu> m_menu;
    bool m_splash = false;
    bool m_saveAtOnce = false;
};
