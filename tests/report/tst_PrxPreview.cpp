// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "PrintFixtures.h"
#include "framework/NVKResourceSet.h"
#include "platform/QBAppShared.h"
#include "report/PageSetupDlg.h"
#include "report/PreviewDlg.h"
#include "report/PrxPreview.h"
#include "report/PrxRichEditSource.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// Runs work on the modal window that shows up next (a dialog cannot be clicked while exec runs).
void onNextModal(const std::function<void(QWidget *)> &work)
{
    QTimer::singleShot(0, [work] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        work(modal);
    });
}

// The German language file that ships with the program.
class TShippedGerman : public TNVKResourceSet
{
public:
    using TNVKResourceSet::TNVKResourceSet;

protected:
    QString GetResourceFileName() const override
    {
        return QStringLiteral(QB_TEST_DATA_DIR "/../../resources/Language/Deutsch/qb.exe.xlg");
    }
};

} // namespace

Q_DECLARE_METATYPE(TPreviewSizing)

class TestPrxPreview : public QObject
{
    Q_OBJECT

private slots:
    void layout_placesAndScalesThePage_data();
    void layout_placesAndScalesThePage();
    void preview_opensFittedToTheHeight();
    void preview_takesTheMainWindowsBounds();
    void preview_marginLinesAndClippingFollowEachMargin();
    void zoomBox_acceptsTenToAThousandPercent_data();
    void zoomBox_acceptsTenToAThousandPercent();
    void zoomBox_dropsTypedLetters();
    void navigation_followsThePageCount_data();
    void navigation_followsThePageCount();
    void pageSetup_cancelChangesNothing_confirmRestartsThePreview();
    void pageSetup_showsMarginsInTheDialogsUnit();
    void printerSetup_cancelChangesNothing();
    void shippedGerman_translatesPreviewAndPageSetup();
};

void TestPrxPreview::layout_placesAndScalesThePage_data()
{
    QTest::addColumn<TPreviewSizing>("sizing");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QRect>("page");
    QTest::addColumn<double>("zoomAfter");
    // Letter at 96 dpi: 816 × 1056 screen pixels, aspect 8.5 / 11; border 8.
    QTest::newRow("fit width, page taller than the window")
        << psFitToWidth << QSize(616, 500) << 1.0 << QRect(8, 8, 600, 776) << 600.0 / 816;
    QTest::newRow("fit width, room below")
        << psFitToWidth << QSize(416, 900) << 1.0 << QRect(8, 191, 400, 518) << 400.0 / 816;
    QTest::newRow("fit height, centred across")
        << psFitToHeight << QSize(800, 616) << 1.0 << QRect(168, 8, 464, 600) << 464.0 / 816;
    QTest::newRow("custom 250 percent") << psCustom << QSize(800, 600) << 2.5 << QRect(8, 8, 2040, 2640) << 2.5;
    QTest::newRow("custom 50 percent, centred")
        << psCustom << QSize(800, 600) << 0.5 << QRect(196, 36, 408, 528) << 0.5;
    QTest::newRow("window smaller than the border")
        << psFitToWidth << QSize(10, 10) << 1.0 << QRect(8, 4, 1, 1) << 1.0 / 816;
}

void TestPrxPreview::layout_placesAndScalesThePage()
{
    QFETCH(TPreviewSizing, sizing);
    QFETCH(QSize, client);
    QFETCH(double, zoom);
    QFETCH(QRect, page);
    QFETCH(double, zoomAfter);
    const TPrxPreviewGeometry g = PrxPreviewLayout(sizing, client, QSize(816, 1056), 8.5 / 11, zoom, 8);
    QCOMPARE(QRect(g.Left, g.Top, g.Width, g.Height), page);
    QCOMPARE(g.ZoomFactor, zoomAfter);
}

// Shows a source of so many lines (18 a page) in the preview dialog and runs check on it before closing it.
static void withPreview(int lines, const std::function<void(TFPreviewDlg *, TPrxController &)> &check)
{
    const auto document = linesDocument(lines);
    TPrintJob job(PrxRect(1000, 1000, 1000, 1000), document.get());
    TPrxController &controller = job.Controller;
    TPrxRichEditSource &source = job.Source;
    bool ran = false;
    onNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<TFPreviewDlg *>(modal);
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        check(dialog, controller);
        ran = true;
        dialog->PreviewClose->trigger();
    });
    source.Preview();
    QVERIFY(ran);
    QCOMPARE(controller.PreviewLink(), nullptr);
    QVERIFY(!source.Prepared());
}

void TestPrxPreview::preview_opensFittedToTheHeight()
{
    withPreview(40, [](TFPreviewDlg *dialog, TPrxController &) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Print preview"));
        TPrxPreview *preview = dialog->Preview;
        QCOMPARE(preview->Sizing(), psFitToHeight);
        QCOMPARE(preview->Page()->height(), preview->viewport()->height() - 2 * preview->Border());
        QCOMPARE(dialog->lblStatus->text(), QStringLiteral(" Page 1 of 3 "));
        QCOMPARE(dialog->cbZoom->currentText(), QStringLiteral("%1%").arg(preview->Zoom()));
        // The page is drawn without complaint.
        QVERIFY(!preview->Page()->grab().isNull());
        dialog->ViewLast->trigger();
        QCOMPARE(dialog->lblStatus->text(), QStringLiteral(" Page 3 of 3 "));
        QVERIFY(!preview->Page()->grab().isNull());
    });
}

void TestPrxPreview::preview_takesTheMainWindowsBounds()
{
    QWidget main;
    main.setGeometry(40, 50, 640, 480);
    main.show();
    QDialog printDialog(&main);
    const auto document = linesDocument(3);
    TPrintJob job(PrxRect(1000, 1000, 1000, 1000), document.get());
    QRect shown;
    onNextModal([&](QWidget *modal) {
        shown = modal->geometry();
        static_cast<QDialog *>(modal)->reject();
    });
    job.Controller.Preview(&job.Source, &printDialog);
    QCOMPARE(shown, main.geometry());
}

void TestPrxPreview::preview_marginLinesAndClippingFollowEachMargin()
{
    // Letter at 100 percent on a 96 dpi screen: 816 × 1056 pixels, 96 to an inch.
    const auto document = linesDocument(40);
    TPrintJob job(PrxRect(1000, 1000, 1500, 3000), document.get());
    QImage page;
    QColor paper;
    onNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<TFPreviewDlg *>(modal);
        QVERIFY(dialog);
        dialog->ZoomActualSize->trigger();
        page = dialog->Preview->Page()->grab().toImage();
        paper = dialog->Preview->palette().color(QPalette::Base);
        dialog->reject();
    });
    job.Controller.Preview(&job.Source);
    QCOMPARE(page.size(), QSize(816, 1056));
    const QColor teal(0x00, 0x80, 0x80);
    const auto tealIn = [&](bool row, int at) {
        int count = 0;
        for (int i = 0; i < (row ? page.width() : page.height()); ++i)
            count += QColor(row ? page.pixel(i, at) : page.pixel(at, i)) == teal;
        return count;
    };
    // Dotted lines (a dot every third pixel) across the page, at each margin's own distance.
    QVERIFY(tealIn(true, 96) > 816 / 4);
    QVERIFY(tealIn(true, 1056 - 288) > 816 / 4);
    QVERIFY(tealIn(false, 96) > 1056 / 4);
    QVERIFY(tealIn(false, 816 - 144) > 1056 / 4);
    // An inch above the paper's foot, where an even bottom margin would be, only the side lines cross.
    QVERIFY(tealIn(true, 1056 - 96) <= 2);
    // Text only between the lines: above the top and below the bottom margin there is nothing but paper.
    bool text = false;
    bool outside = false;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixel(x, y);
            if (c == paper || c == teal)
                continue;
            if (y < 96 || y > 1056 - 288 || x < 96 || x > 816 - 144)
                outside = true;
            else
                text = true;
        }
    }
    QVERIFY(text);
    QVERIFY(!outside);
}

void TestPrxPreview::zoomBox_acceptsTenToAThousandPercent_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("custom");
    QTest::newRow("250 percent") << "250" << 250 << true;
    QTest::newRow("with a percent sign") << "75%" << 75 << true;
    QTest::newRow("the lowest") << "10" << 10 << true;
    QTest::newRow("the highest") << "1000" << 1000 << true;
    QTest::newRow("too small") << "5" << -1 << false;
    QTest::newRow("too large") << "2000" << -1 << false;
    QTest::newRow("nothing") << "%" << -1 << false;
}

void TestPrxPreview::zoomBox_acceptsTenToAThousandPercent()
{
    QFETCH(QString, typed);
    QFETCH(int, zoom);
    QFETCH(bool, custom);
    withPreview(3, [&](TFPreviewDlg *dialog, TPrxController &) {
        const int before = dialog->Preview->Zoom();
        const QString shown = dialog->cbZoom->currentText();
        QLineEdit *edit = dialog->cbZoom->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        if (custom) {
            QCOMPARE(dialog->Preview->Sizing(), psCustom);
            QCOMPARE(dialog->Preview->Zoom(), zoom);
            QCOMPARE(dialog->cbZoom->currentText(), QStringLiteral("%1%").arg(zoom));
            const QRect paper = dialog->Preview->Controller()->PaperRect();
            QCOMPARE(dialog->Preview->Page()->width(),
                     qRound(PrxMulDiv(paper.right(), dialog->Preview->logicalDpiX(), 1000) * zoom / 100.0));
        } else {
            QCOMPARE(dialog->Preview->Sizing(), psFitToHeight);
            QCOMPARE(dialog->Preview->Zoom(), before);
            QCOMPARE(dialog->cbZoom->currentText(), shown);
        }
    });
}

void TestPrxPreview::zoomBox_dropsTypedLetters()
{
    withPreview(3, [](TFPreviewDlg *dialog, TPrxController &) {
        QLineEdit *edit = dialog->cbZoom->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("1x2y5%"));
        QCOMPARE(edit->text(), QStringLiteral("125%"));
        // Choosing from the list applies it as well.
        dialog->cbZoom->setCurrentIndex(0);
        emit dialog->cbZoom->activated(0);
        QCOMPARE(dialog->Preview->Zoom(), 10);
    });
}

void TestPrxPreview::navigation_followsThePageCount_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QList<bool>>("enabled"); // first, previous, next, last
    QTest::newRow("first of three") << 40 << 0 << QList<bool>{false, false, true, true};
    QTest::newRow("second of three") << 40 << 1 << QList<bool>{true, true, true, true};
    QTest::newRow("last of three") << 40 << 2 << QList<bool>{true, true, false, false};
    QTest::newRow("the only page") << 3 << 0 << QList<bool>{false, false, false, false};
}

void TestPrxPreview::navigation_followsThePageCount()
{
    QFETCH(int, lines);
    QFETCH(int, steps);
    QFETCH(QList<bool>, enabled);
    withPreview(lines, [&](TFPreviewDlg *dialog, TPrxController &) {
        for (int i = 0; i < steps; ++i)
            dialog->ViewNext->trigger();
        QCOMPARE(dialog->Preview->PageIndex(), steps);
        const QList<bool> actual{dialog->ViewFirst->isEnabled(), dialog->ViewPrevious->isEnabled(),
                                 dialog->ViewNext->isEnabled(), dialog->ViewLast->isEnabled()};
        QCOMPARE(actual, enabled);
    });
}

void TestPrxPreview::pageSetup_cancelChangesNothing_confirmRestartsThePreview()
{
    withPreview(40, [](TFPreviewDlg *dialog, TPrxController &controller) {
        auto *source = qobject_cast<TPrxRichEditSource *>(controller.Source());
        QVERIFY(source);
        dialog->ViewNext->trigger();
        const QRect margins = controller.Margins();
        const int firstOfPage2 = source->Pages().at(1).StartPos;

        onNextModal([](QWidget *modal) {
            auto *setup = qobject_cast<TPageSetupDialog *>(modal);
            QVERIFY(setup);
            // Typed but cancelled.
            setup->findChild<QDoubleSpinBox *>(QStringLiteral("edTop"))->setValue(3);
            setup->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        });
        dialog->PreviewPageSetup->trigger();
        QCOMPARE(controller.Margins(), margins);
        QCOMPARE(source->PageCount(), 3);
        QCOMPARE(source->Pages().at(1).StartPos, firstOfPage2);
        QCOMPARE(dialog->Preview->PageIndex(), 1);

        onNextModal([](QWidget *modal) {
            auto *setup = qobject_cast<TPageSetupDialog *>(modal);
            QVERIFY(setup);
            // Three inches of top margin in the dialog's unit leave 7 inches: 14 lines a page.
            const bool inches = setup->Inches();
            setup->findChild<QDoubleSpinBox *>(QStringLiteral("edTop"))->setValue(inches ? 3.0 : 76.2);
            setup->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        dialog->PreviewPageSetup->trigger();
        QCOMPARE(controller.Margins().top(), 3000);
        QCOMPARE(controller.Margins().left(), margins.left());
        QCOMPARE(dialog->Preview->PageIndex(), 0);
        QCOMPARE(source->PageCount(), 3);
        QCOMPARE(source->Pages().at(1).StartPos, source->Document()->findBlockByNumber(14).position());
        QCOMPARE(dialog->lblStatus->text(), QStringLiteral(" Page 1 of 3 "));
    });
}

void TestPrxPreview::pageSetup_showsMarginsInTheDialogsUnit()
{
    TPageSetupDialog dialog(nullptr);
    dialog.SetInches(true);
    dialog.SetMargins(PrxRect(250, 500, 1000, 25));
    dialog.SetInches(false);
    QCOMPARE(dialog.Margins(), PrxRect(635, 1270, 2540, 64));
    dialog.SetInches(true);
    QCOMPARE(dialog.Margins(), PrxRect(250, 500, 1000, 25));
}

void TestPrxPreview::printerSetup_cancelChangesNothing()
{
    withPreview(40, [](TFPreviewDlg *dialog, TPrxController &controller) {
        dialog->ViewNext->trigger();
        const QRect paper = controller.PaperRect();
        onNextModal([](QWidget *modal) {
            QVERIFY(qobject_cast<QPrintDialog *>(modal));
            static_cast<QDialog *>(modal)->reject();
        });
        dialog->PreviewPrintSetup->trigger();
        QCOMPARE(controller.PaperRect(), paper);
        QCOMPARE(controller.Source()->PageCount(), 3);
        QCOMPARE(dialog->Preview->PageIndex(), 1);
        QCOMPARE(dialog->lblStatus->text(), QStringLiteral(" Page 2 of 3 "));
    });
}

void TestPrxPreview::shippedGerman_translatesPreviewAndPageSetup()
{
    TShippedGerman german;
    german.Reload();
    QBSetAppShared({&german, nullptr, nullptr});
    withPreview(40, [](TFPreviewDlg *dialog, TPrxController &) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Seitenansicht"));
        QCOMPARE(dialog->ViewNext->text(), QString::fromUtf8("&Nächste"));
        QCOMPARE(dialog->lblStatus->text(), QStringLiteral(" Seite 1 von 3 "));
        onNextModal([](QWidget *modal) {
            QCOMPARE(modal->windowTitle(), QStringLiteral("Seite einrichten"));
            QCOMPARE(modal->findChild<QPushButton *>(QStringLiteral("btnCancel"))->text(), QStringLiteral("Abbrechen"));
            static_cast<QDialog *>(modal)->reject();
        });
        dialog->PreviewPageSetup->trigger();
    });
    QBSetAppShared({});
}

QTEST_MAIN(TestPrxPreview)
#include "tst_PrxPreview.moc"
