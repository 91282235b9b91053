#pragma once

#include <QApplication>
#include <QTest>

// A QtTest main that runs offscreen whatever the environment says.
#define VANTREL_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char* argv[]) {                                                             \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                   \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
