#pragma once

#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteViewFactory.h"

#include <QApplication>

#include <benchmark/benchmark.h>

// Runs the registered benchmarks inside a widget application (offscreen unless a platform is chosen) with
// the built-in symbol, chord and note glyphs handed out as the application does.
inline int runGuiBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    TOVUtils::Services services;
    services.objectViewFactory = [] { return TOVObjectViewFactory::singletonInstance(); };
    services.chordViewFactory = [] { return TOVChordViewFactory::singletonInstance(); };
    services.noteViewFactory = [] { return TOVNoteViewFactory::singletonInstance(); };
    TOVUtils::registerServices(services);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
