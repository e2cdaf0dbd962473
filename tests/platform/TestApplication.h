#pragma once

#include <QApplication>

// The one application object the dialog and process tests need; created on first use and kept
// for the rest of the test program.
inline void EnsureTestApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "platform_tests";
        static char* argv[] = {name, nullptr};
        static QApplication* application = new QApplication(argc, argv);
        (void)application;
    }
}
