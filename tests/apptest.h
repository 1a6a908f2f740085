#pragma once

#include "app.h"
#include "resources.h"

#include <QTest>

// A QtTest main with the program's own App and its built resource store open.
#define TALLYFOX_APP_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        App app(argc, argv);                                                                       \
        if (!Resources::openStore(QStringLiteral(TALLYFOX_RCC)))                                   \
            qFatal("no resource store at %s", TALLYFOX_RCC);                                       \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
