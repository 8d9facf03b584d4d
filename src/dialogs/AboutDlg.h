// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QTabWidget;
class TNVKLocalizer;

// Facts about the running system, as the about dialog shows them.
struct TQBSystemFacts
{
    QString Environment; // operating system name and version
    qint64 PhysicalTotalKB = -1;
    qint64 PhysicalAvailableKB = -1;
    qint64 SwapTotalKB = -1;
    qint64 SwapFreeKB = -1;
};
// Reads /proc/meminfo (or the given file); fields that cannot be read stay -1.
TQBSystemFacts QBReadSystemFacts(const QString &meminfo = QStringLiteral("/proc/meminfo"));
// "### ### ### KB": thousands grouped by blanks.
QString QBFormatKB(qint64 kb);
QString OSVersionText();

class TFAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TFAboutDlg(QWidget *owner = nullptr);

    static constexpr int HelpContext = 420;
    void Fill(const TQBSystemFacts &facts);
    // The target behind link 0 (home page), 1 (support mail) or 2 (sales mail).
    static QString LinkTarget(int tag);

private:
    void lblLinkClick(int tag);

    QLabel *lblTitle;
    QTabWidget *pcAbout;
    QLabel *lblAppVersion;
    QLabel *lblOSVersion;
    QLabel *lblPhysValue;
    QProgressBar *pbPhysMemory;
    QProgressBar *pbPageFile;
    TNVKLocalizer *xlAbout = nullptr;
};
