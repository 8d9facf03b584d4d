// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "export/QBExportCore.h"

#include <QDialog>
#include <QElapsedTimer>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTextDocument;
class TNVKLocalizer;
class TPrxRichEditSource;

// The small window that says which article is being assembled and offers Cancel.
class TFReportProgress : public QDialog
{
    Q_OBJECT

public:
    explicit TFReportProgress(QWidget *owner = nullptr);

    // Shows "Processing: <text>".
    void SetProgress(const QString &text);
    void btnCancelClick() { FCancelled = true; }
    bool Cancelled() const { return FCancelled; }

    QLabel *lblProgress = nullptr;
    QPushButton *btnCancel = nullptr;
    TNVKLocalizer *xlProgress = nullptr;

private:
    bool FCancelled = false;
};

// Assembles the chosen articles into one rich text for print, preview and export, and keeps it
// until a choice changes, so that a preview followed by a print assembles once.
class TQBExportHelper : public QObject
{
    Q_OBJECT

public:
    explicit TQBExportHelper(QWidget *owner);
    ~TQBExportHelper() override;

    TExportScope Scope() const { return FScope; }
    void SetScope(TExportScope value);
    bool IncludeTitles() const { return FOptions.IncludeTitles; }
    void SetIncludeTitles(bool value);
    bool Numbering() const { return FOptions.Numbering; }
    void SetNumbering(bool value);
    bool SkipEmpty() const { return FOptions.SkipEmpty; }
    void SetSkipEmpty(bool value);

    // Assembles the text unless it is already; false when the user cancelled, and then nothing of
    // it is kept.
    bool Build();
    bool Built() const { return FBuilt; }

    // Writes the export file in one piece: the old file stays until the new one is complete.
    // False when the user cancelled. Whole articles are written straight from the stored bodies,
    // without laying the whole text out; the selection and an already assembled text are saved as
    // they are.
    bool Save(const QString &fileName, TQBExportFormat format);

    const QTextDocument *Document() const { return FDocument.get(); }
    TPrxRichEditSource *Source() const { return FSource.get(); }
    // The progress window while an assembly runs; none otherwise.
    TFReportProgress *Progress() const { return FProgress; }

Q_SIGNALS:
    // An assembly has started; tests count them.
    void assembling();

private:
    void Invalidate();
    TQBExportSource CurrentSource() const;
    TQBExportOptions CurrentOptions() const;
    // Runs work with the progress window up; false when it or the user cancelled.
    bool WithProgress(const std::function<bool(const TQBExportBuilder::TProgress &)> &work);
    // The progress callback: shows the caption and lets the progress window answer.
    bool Step(const QString &caption);

    QWidget *FOwner;
    std::unique_ptr<QTextDocument> FDocument;
    std::unique_ptr<TPrxRichEditSource> FSource;
    TExportScope FScope = esCurrentArticle;
    TQBExportOptions FOptions;
    bool FBuilt = false;
    TFReportProgress *FProgress = nullptr;
    QElapsedTimer FSinceEvents;
};
