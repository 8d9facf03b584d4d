// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class TArticleTreeView;
class TNVKLocalizer;

// Asks for the target and shown text of a hyperlink: a web page, an ftp site, a mail address, a
// local file or an article of the open document. The last kind and file folder are remembered.
class TFLinkDlg : public QDialog
{
    Q_OBJECT

public:
    enum TLinkType : int { ltWeb = 0, ltFtp = 1, ltMail = 2, ltFile = 3, ltArticle = 4 };

    explicit TFLinkDlg(QWidget *owner = nullptr);
    ~TFLinkDlg() override;

    // True when closed with OK.
    bool Execute();
    void SetDescription(const QString &text);
    // The typed description; when it is empty, the target, which is then also put into the field.
    QString Description();
    // The final target after OK, empty after Cancel.
    QString Target() const { return FTarget; }
    int LinkType() const { return FLinkType; }
    // Out-of-range kinds are ignored.
    void SetLinkType(int value);
    // Opens on an existing link: its kind from the target's scheme, its target and shown text.
    void SetLink(const QString &target, const QString &text);
    QString InitialFolder() const { return FInitialFolder; }

    // The target OK gives for a kind and the text typed; empty when there is none.
    static QString TargetFor(int type, const QString &raw);

    void btnOKClick();
    void btnBrowseClick();
    void btnHelpClick();

    static constexpr int HelpContext = 320;

    QComboBox *cbType;
    QLineEdit *edDescription;
    QStackedWidget *nbPages;
    QLineEdit *edHttp;
    QLineEdit *edFtp;
    QLineEdit *edMail;
    QLineEdit *edFile;
    QPushButton *btnBrowse;
    TArticleTreeView *tvOutline;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    QPushButton *btnHelp;

private:
    QString RawTarget() const;
    void FillOutline();
    void AutoDescription(const QString &text);
    void tvOutlineChange();
    void LoadSettings();
    void SaveSettings() const;

    TNVKLocalizer *xlLink;
    int FLinkType = ltWeb;
    QString FTarget;
    QString FInitialFolder;
    bool FOutlineFilled = false;
    bool FDescriptionTyped = true;
};
