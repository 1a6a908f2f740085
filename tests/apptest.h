#pragma once

#include "app.h"
#include "resources.h"

#include <QTest>

// A QtTest main whose application object is the program's own App, with the built resource
// store open, for the tests of what needs them: the menus and the about box.
#define TALLYFOX_APP_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        App app(argc, argv);                                                                       \
        if (!Resources::openStore(QStringLiteral(TALLYFOX_RCC)))                                   \
            qFatal("no resource store at %s", TALLYFOX_RCC);                                       \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
