// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QTextStream>
#include <functional>

// A benchmark prints its own figures; the runner only names and times it.
struct TQBBenchmark
{
    QString name;
    QString description;
    std::function<void(QTextStream &out)> run;
};

// Registers a benchmark at static initialisation; returns true so it can initialise a constant.
bool QBRegisterBenchmark(const QString &name, const QString &description, std::function<void(QTextStream &)> run);
const QList<TQBBenchmark> &QBBenchmarks();
