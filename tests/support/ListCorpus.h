// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "support/TestHelpers.h"

#include <QFile>
#include <QStringList>
#include <QTest>

// The list corpus: RTF files under tests/data/rtf/lists and, in labels.tsv, the label of each of their
// paragraphs as a reader sees it ("" for paragraphs outside lists).
namespace QBListCorpus {

inline QString Dir()
{
    return QStringLiteral(QB_TEST_DATA_DIR "/rtf/lists");
}

inline QByteArray Read(const QString &name)
{
    return fileBytes(Dir() + QLatin1Char('/') + name);
}

// One test row per file, with columns "rtf" and "labels".
inline void AddRows()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("labels");
    QFile table(Dir() + QStringLiteral("/labels.tsv"));
    if (!table.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("missing labels.tsv");
    const QStringList lines = QString::fromUtf8(table.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const QString file = line.section(QLatin1Char('\t'), 0, 0);
        const QStringList labels = line.section(QLatin1Char('\t'), 1).split(QLatin1Char('|'));
        QTest::newRow(qPrintable(file)) << Read(file) << labels;
    }
}

} // namespace QBListCorpus
