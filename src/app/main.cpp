#include "app.h"
#include "directives.h"

int main(int argc, char *argv[])
{
    GlobalsModule::gDirectives.clear();
    App app(argc, argv);
    return app.run();
}
