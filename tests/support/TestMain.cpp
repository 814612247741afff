// SPDX-License-Identifier: GPL-3.0-or-later
// Shared main of the test executables: GoogleTest inside a headless
// application, a QApplication only for the tests of the window.
#include "production/ModFold.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef FLIPREEL_WINDOW_TESTS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Each test runs in a process of its own, with its own temporary folder for
    // creation runs (its programs inherit it), so tests run side by side never
    // see each other's run folders.
    QTemporaryDir temporary;
    if (!temporary.isValid())
        return 1;
    qputenv(ModFold::kTemporaryFolderVariable, QFile::encodeName(temporary.path()));
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
