// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"

#include <QList>

namespace {
QList<TQBBenchmark> &registry()
{
    static QList<TQBBenchmark> benchmarks;
    return benchmarks;
}
} // namespace

bool QBRegisterBenchmark(const QString &name, const QString &description, std::function<void(QTextStream &)> run)
{
    registry().append({name, description, std::move(run)});
    return true;
}

const QList<TQBBenchmark> &QBBenchmarks()
{
    return registry();
}
