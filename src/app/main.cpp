#include "directives.h"
#include "prefsglue.h"
#include "window1.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Tally Fox"_s);
    QApplication::setApplicationVersion(QStringLiteral(TALLYFOX_VERSION));
    GlobalsModule::gDirectives.clear();

    Window1 *window = Window1::instance();
    PrefsSaving saving(window);
    // However the run ends, the main window closes first, so running rows are stopped and saved.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &saving, [] {
        if (Window1 *open = Window1::existing())
            open->close();
    });
    GlobalsModule::loadPrefs();
    window->show();
    return QApplication::exec();
}
