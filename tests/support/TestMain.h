#pragma once

#include "platform/SystemFactory.h"

#include <QApplication>
#include <QTest>

// A QtTest main that runs offscreen whatever the environment says, and ends as the
// program does.
#define VANTREL_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char* argv[]) {                                                             \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                   \
        int status = 0;                                                                            \
        {                                                                                          \
            QApplication app(argc, argv);                                                          \
            TestClass test;                                                                        \
            status = QTest::qExec(&test, argc, argv);                                              \
        }                                                                                          \
        vantrel::endProcess(status);                                                               \
    }
