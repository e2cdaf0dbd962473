#pragma once

#include "support/QtPrinters.h"

#include <QApplication>

// The one QApplication a window-side test program needs, created on first use and kept.
inline void EnsureGuiTestApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "corvanel_tests";
        static char* argv[] = {name, nullptr};
        static QApplication* application = new QApplication(argc, argv);
        (void)application;
    }
}

// A base for fixtures whose members are widgets: the application exists before they are made.
struct WithGuiTestApplication {
    WithGuiTestApplication() { EnsureGuiTestApplication(); }
};
