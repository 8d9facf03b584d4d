// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QAction;
class QComboBox;
class QLabel;
class QToolBar;
class QToolButton;
class TNVKLocalizer;
class TPrxController;
class TPrxPreview;

// The print preview window: a tool bar over the preview of the controller's current source.
class TFPreviewDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TFPreviewDlg(QWidget *owner = nullptr);
    ~TFPreviewDlg() override;

    // Takes the main window's bounds, shows controller's source and runs modally; detaches on return.
    void Execute(TPrxController *controller);
    // Attaches without running, for callers that show the dialog themselves.
    void Attach(TPrxController *controller);

    void UpdateStatus();
    void alPreviewUpdate();
    void PreviewZoomChanged();
    // The zoom box's text as a percentage from 10 to 1000; anything else beeps and shows the zoom again.
    void ApplyZoomText();

    static constexpr int HelpContext = 383;

    TPrxPreview *Preview;
    QToolBar *tbPreview;
    QComboBox *cbZoom;
    QLabel *lblStatus;
    QToolButton *btnClose;
    QAction *ZoomToWidth;
    QAction *ZoomToHeight;
    QAction *ZoomActualSize;
    QAction *ViewFirst;
    QAction *ViewPrevious;
    QAction *ViewNext;
    QAction *ViewLast;
    QAction *PreviewPrintSetup;
    QAction *PreviewPageSetup;
    QAction *PreviewClose;
    TNVKLocalizer *xlPreview;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowPage(int index);
};
