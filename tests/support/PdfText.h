// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// What poppler's tools read from a PDF (scripts/install-deps.sh installs them). Empty results when a
// tool is missing or fails, so a test fails on its comparisons rather than crashing.

// The text of every page, as `pdftotext -layout` lays it out; pages split at form feeds.
inline QStringList pdfPages(const QString &fileName)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), fileName, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
    // pdftotext ends the last page with a form feed too.
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The non-empty lines of a page's text, without surrounding blanks.
inline QStringList pdfLines(const QString &page)
{
    QStringList lines;
    for (const QString &line : page.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    }
    return lines;
}

// A value of `pdfinfo`, such as "Pages" or "Page size"; empty when missing.
inline QString pdfInfo(const QString &fileName, const QString &key)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {fileName});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpression re(QStringLiteral("^") + QRegularExpression::escape(key) + QStringLiteral(":\\s*(.*)$"),
                                QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = re.match(text);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}
