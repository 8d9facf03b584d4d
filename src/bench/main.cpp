// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>

int main(int argc, char *argv[])
{
    // The rich-text benchmarks need fonts and the editor benchmark widgets, hence a widget application;
    // a headless run draws off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments().mid(1);

    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out << "Usage: qb-bench [NAME...]\n\nRuns the named benchmarks (all when none is named) and prints "
               "their figures.\n\nBenchmarks:\n";
        for (const TQBBenchmark &bench : QBBenchmarks())
            out << "  " << bench.name << "\n      " << bench.description << "\n";
        return 0;
    }

    int failures = 0;
    for (const QString &name : args) {
        const bool known = std::any_of(QBBenchmarks().begin(), QBBenchmarks().end(),
                                       [&](const TQBBenchmark &bench) { return bench.name == name; });
        if (!known) {
            QTextStream(stderr) << "qb-bench: no benchmark named '" << name << "'\n";
            ++failures;
        }
    }
    if (failures)
        return 2;

    for (const TQBBenchmark &bench : QBBenchmarks()) {
        if (!args.isEmpty() && !args.contains(bench.name))
            continue;
        out << "== " << bench.name << " ==\n";
        out.flush();
        QElapsedTimer timer;
        timer.start();
        bench.run(out);
        out << "   (" << timer.elapsed() << " ms in all)\n";
        out.flush();
    }
    return 0;
}
