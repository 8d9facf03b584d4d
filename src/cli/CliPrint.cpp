// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "CliTool.h"

#include "report/PrxCore.h"
#include "report/PrxRichEditSource.h"
#include "report/PrxUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>
#include <QTextDocument>
#include <filesystem>
#include <memory>

void CliPrint(const QStringList &args, QTextStream &)
{
    TCliAssembly assembly;
    QString paperText;
    QString marginsText;
    const QStringList positional = CliAssemblyArguments(args, 2, assembly, [&](const QStringList &all, qsizetype &i) {
        QString *value = all.at(i) == QLatin1String("--paper")     ? &paperText
                         : all.at(i) == QLatin1String("--margins") ? &marginsText
                                                                   : nullptr;
        if (!value || i + 1 >= all.size())
            return false;
        *value = all.at(++i);
        return true;
    });
    const QString &fileName = positional.at(0);
    const QString &outName = positional.at(1);

    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    if (paperText.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0)
        printer->setPageSize(QPageSize(QPageSize::A4));
    else if (paperText.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0)
        printer->setPageSize(QPageSize(QPageSize::Letter));
    else if (paperText.isEmpty())
        printer->setPageSize(QPageSize(PrxLocaleUsesInches() ? QPageSize::Letter : QPageSize::A4));
    else
        throw ECliUsage();
    TPrxController controller;
    controller.SetPrinter(printer.release());
    if (!marginsText.isEmpty()) {
        bool ok = false;
        const double mm = marginsText.toDouble(&ok);
        if (!ok || mm < 0)
            throw ECliUsage();
        const QRect paper = controller.PaperRect();
        const int thou = PrxMulDiv(qRound(mm * 100), 100, 254);
        if (2 * thou >= qMin(PrxWidth(paper), PrxHeight(paper)))
            throw ECliError(ceUsage, QStringLiteral("margins of %1 mm leave no room to print.").arg(marginsText));
        controller.SetMargins(PrxRect(thou, thou, thou, thou));
    }

    QTextDocument text;
    CliAssemble(text, fileName, assembly);

    TPrxRichEditSource source;
    source.SetController(&controller);
    source.SetDocument(&text);
    source.SetTitle(QFileInfo(fileName).fileName());
    // The PDF is written beside its target and replaces it only when complete.
    QTemporaryFile part(QFileInfo(outName).absoluteDir().filePath(QStringLiteral("quillbox-print-XXXXXX.pdf")));
    if (!part.open())
        throw ECliError(ceBadFile, QStringLiteral("cannot write '%1'.").arg(outName));
    part.close();
    controller.SetOutputFileName(part.fileName());
    CliAbout(outName, [&] { controller.Print(&source); });
    if (QFileInfo(part.fileName()).size() == 0)
        throw ECliError(ceBadFile, QStringLiteral("nothing to print in '%1'.").arg(fileName));
    std::error_code error;
    std::filesystem::rename(part.fileName().toStdString(), outName.toStdString(), error);
    if (error)
        throw ECliError(ceBadFile, QStringLiteral("cannot write '%1'.").arg(outName));
    part.setAutoRemove(false);
}
