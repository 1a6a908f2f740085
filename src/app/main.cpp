#include "app.h"
#include "commandline.h"
#include "directives.h"

int main(int argc, char *argv[])
{
    // Answered before the application object exists, which would need a display.
    if (const CommandLine line = parseCommandLine(argc, argv);
        line.outcome != CommandLine::Outcome::Run)
        return line.report();
    GlobalsModule::gDirectives.clear();
    App app(argc, argv);
    return app.run();
}
