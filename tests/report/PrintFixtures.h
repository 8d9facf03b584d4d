// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "report/PrxCore.h"
#include "report/PrxRichEditSource.h"
#include "report/PrxUtils.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

// A PDF printer on US Letter at 600 dpi (5100 × 6600 pixels) whose page layout has margins of 0.25 inch,
// the printable offsets of a typical laser printer.
inline QPrinter *letterPrinter()
{
    auto *printer = new QPrinter(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(600);
    printer->setPageSize(QPageSize(QPageSize::Letter));
    printer->setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    return printer;
}

// The resolution pages are measured at: the screen's.
inline qreal layoutDpi()
{
    return QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->logicalDotsPerInchY() : 96;
}

// Paragraphs "Line 001", "Line 002" … each in a slot of half an inch, so a page of n inches of
// printable height holds 2n of them.
inline std::unique_ptr<QTextDocument> linesDocument(int count)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    QTextCursor cursor(document.get());
    QTextBlockFormat format;
    format.setLineHeight(layoutDpi() / 2, QTextBlockFormat::FixedHeight);
    for (int i = 1; i <= count; ++i) {
        if (i == 1)
            cursor.setBlockFormat(format);
        else
            cursor.insertBlock(format);
        cursor.insertText(QStringLiteral("Line %1").arg(i, 3, 10, QLatin1Char('0')));
    }
    return document;
}

inline QString lineName(int i)
{
    return QStringLiteral("Line %1").arg(i, 3, 10, QLatin1Char('0'));
}

// A controller on letterPrinter with the given margins, and a rich-text source of document on it.
struct TPrintJob
{
    TPrintJob(const QRect &margins, const QTextDocument *document)
    {
        Controller.SetPrinter(letterPrinter());
        Controller.SetMargins(margins);
        Source.SetController(&Controller);
        Source.SetDocument(document);
    }
    TPrxController Controller;
    TPrxRichEditSource Source;
};
