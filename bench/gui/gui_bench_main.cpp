// SPDX-License-Identifier: MIT
// The main of the desktop app's benchmarks: a QApplication (offscreen unless
// a platform is chosen) with the app's font substitutions, then the benchmarks.
#include <QApplication>

#include <benchmark/benchmark.h>

#include "gui/app/font_setup.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    veyla::gui::installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
