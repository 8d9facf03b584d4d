// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDataIntf.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TNVKLocalizer;

// Facts about the open document and its file, and the document's summary to edit: author,
// copyright, revision with its auto-increment, and a comment.
class TFDocPropsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TFDocPropsDlg(QWidget *owner = nullptr);

    static constexpr int HelpContext = 310;

    // Shows the current document; OK stores the summary into it. True when closed with OK.
    bool Execute();
    bool Execute(const IQBDocumentPtr &document);
    void Load(const IQBDocumentPtr &document);
    // Writes the summary; an unchanged value leaves the document unmodified.
    void Store(const IQBDocumentPtr &document) const;
    // A file size as the dialog shows it: bytes up to 1 KB, KB up to 1 MB, MB beyond.
    static QString SizeText(qint64 size);

    void btnOKClick();
    void btnHelpClick();
    int HelpContextOfPage() const;

    QTabWidget *pcProperties;
    QLabel *imgIcon;
    QLabel *lblFileName;
    QLineEdit *edFileName;
    QLineEdit *edFileSize;
    QLineEdit *edArticles;
    QLineEdit *edEncoding;
    QLineEdit *edCreated;
    QLineEdit *edModified;
    QLineEdit *edAuthor;
    QLineEdit *edCopyright;
    QLineEdit *edRevision;
    QCheckBox *cbAutoRevision;
    QPlainTextEdit *memComment;
    QLineEdit *edGenerator;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    QPushButton *btnHelp;

private:
    TNVKLocalizer *NVKLocalizer;
};
