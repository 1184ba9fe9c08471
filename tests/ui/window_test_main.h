// QUARRY_WINDOW_TEST_MAIN(TestClass): a window test's main, as QTEST_MAIN makes one, with settings
// of the test's own (never the user's) and an application object that outlives its last window.
#pragma once

#include "app/own_settings.h"
#include "app/quarry.h"

#include <QTest>

#define QUARRY_WINDOW_TEST_MAIN(TestClass)                                                         \
    int main(int argc, char** argv) {                                                              \
        const quarry::cOwnSettings settings;                                                       \
        quarry::cQuarry app(argc, argv);                                                           \
        quarry::cQuarry::setQuitOnLastWindowClosed(false);                                         \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
