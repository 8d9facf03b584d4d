// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "controls/ArticleTitle.h"
#include "controls/VtlRichEdit.h"
#include "platform/QBColors.h"
#include "platform/QBHelp.h"
#include "platform/QBImages.h"

#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// A dark desktop's palette: light text on dark ground, tooltips included.
QPalette darkPalette()
{
    QPalette palette;
    const QColor ground(0x2a, 0x2a, 0x2e);
    const QColor text(0xe8, 0xe8, 0xe8);
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::ToolTipBase})
        palette.setColor(role, ground);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
        palette.setColor(role, text);
    palette.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
    return palette;
}

// The pixel of the image that stands out most against the background.
QColor mostContrasting(const QImage &image, const QRect &area, const QColor &background)
{
    QColor best = background;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (QBContrastRatio(pixel, background) > QBContrastRatio(best, background))
                best = pixel;
        }
    return best;
}

} // namespace

// Runs at a scale factor of 2 (see CMakeLists.txt), as on a high-density screen.
class TestHighDpi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }
    void cleanup() { QApplication::setPalette(QPalette()); }

    void icons_areDrawnAtTheScreensDensity_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("index");
        QTest::newRow("command") << int(TQBImageList::Commands) << 0;
        QTest::newRow("marker") << int(TQBImageList::Markers) << 1;
        QTest::newRow("pane") << int(TQBImageList::Panes) << 2;
        QTest::newRow("preview") << int(TQBImageList::Preview) << 3;
        QTest::newRow("title glyph") << int(TQBImageList::Title) << 1;
    }

    void icons_areDrawnAtTheScreensDensity()
    {
        QFETCH(int, list);
        QFETCH(int, index);
        const QIcon icon = QBImage(TQBImageList(list), index);
        const QPixmap sharp = icon.pixmap(QSize(16, 16), 2.0);
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
        QCOMPARE(sharp.size(), QSize(32, 32));
        // Drawn anew at 32 pixels, not a 16-pixel picture blown up.
        const QImage blownUp = icon.pixmap(QSize(16, 16), 1.0).toImage().scaled(32, 32);
        QVERIFY(sharp.toImage().convertToFormat(blownUp.format()) != blownUp);
    }

    void applicationIcon_hasTheSizesOfA2xScreen()
    {
        const QIcon icon = QBApplicationIcon();
        const QPixmap pixmap = icon.pixmap(QSize(32, 32), 2.0);
        QCOMPARE(pixmap.size(), QSize(64, 64));
        QVERIFY(icon.availableSizes().contains(QSize(64, 64)));
    }

    void splash_isDrawnAtTheScreensDensity()
    {
        const QPixmap splash = QBSplashPixmap();
        QCOMPARE(splash.devicePixelRatio(), 2.0);
        QCOMPARE(splash.size(), QSize(2 * QBSplashWidth, 2 * QBSplashHeight));
    }

    void readableOn_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("preferred");
        QTest::addColumn<QColor>("expected");
        const QColor yellow(0xff, 0xff, 0xe1);
        QTest::newRow("dark text on yellow stays") << yellow << QColor(Qt::black) << QColor(Qt::black);
        QTest::newRow("light text on yellow turns black") << yellow << QColor(0xe8, 0xe8, 0xe8) << QColor(Qt::black);
        QTest::newRow("light text on dark stays")
            << QColor(0x2a, 0x2a, 0x2e) << QColor(0xe8, 0xe8, 0xe8) << QColor(0xe8, 0xe8, 0xe8);
        QTest::newRow("black on dark turns white")
            << QColor(0x2a, 0x2a, 0x2e) << QColor(Qt::black) << QColor(Qt::white);
        QTest::newRow("dark blue on navy turns white") << QColor(0, 0, 0x80) << QColor(0, 0, 0xff) << QColor(Qt::white);
        QTest::newRow("red on white stays") << QColor(Qt::white) << QColor(0xc0, 0, 0) << QColor(0xc0, 0, 0);
    }

    void readableOn()
    {
        QFETCH(QColor, background);
        QFETCH(QColor, preferred);
        QFETCH(QColor, expected);
        QCOMPARE(QBReadableOn(background, preferred), expected);
    }

    void titleCaption_onAFixedYellow_readsOnADarkDesktop()
    {
        QApplication::setPalette(darkPalette());
        TArticleTitle title;
        // A title colour stored as a fixed yellow, with the caption in the palette's tooltip text.
        const QColor yellow(0xff, 0xff, 0xe1);
        title.SetColor(yellow);
        title.SetCaptionColor(TColorToQColor(clInfoText));
        title.SetCaption(QStringLiteral("WWWWWWWW"));
        title.resize(400, title.CaptionHeight());
        const QImage image = title.grab().toImage();
        const QColor text = mostContrasting(image, image.rect(), yellow);
        QVERIFY2(QBContrastRatio(text, yellow) >= 4.5, qPrintable(text.name()));
    }

    void addressMarks_readOnADarkEditor_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::newRow("dark window colour") << QColor(0x2a, 0x2a, 0x2e);
        QTest::newRow("white editor colour") << QColor(Qt::white);
    }

    void addressMarks_readOnADarkEditor()
    {
        QFETCH(QColor, background);
        TVtlRichEdit editor;
        QPalette palette = editor.palette();
        palette.setColor(QPalette::Base, background);
        editor.setPalette(palette);
        editor.setPlainText(QStringLiteral("see https://example.org today"));
        editor.resize(400, 200);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.grab();
        const QList<QTextLayout::FormatRange> marks = editor.document()->firstBlock().layout()->formats();
        QCOMPARE(marks.size(), 1);
        const QColor mark = marks.at(0).format.foreground().color();
        QVERIFY2(QBContrastRatio(mark, background) >= 4.5, qPrintable(mark.name()));
        // Where the classic link blue reads, it stays.
        if (QBContrastRatio(QColor(0, 0, 255), background) >= 4.5)
            QCOMPARE(mark, QColor(0, 0, 255));
    }

    void helpPages_readOnADarkDesktop()
    {
        QApplication::setPalette(darkPalette());
        QBShowHelpContents(nullptr);
        QWidget *viewer = QBHelpViewer();
        QVERIFY(viewer);
        auto *page = viewer->findChild<QTextBrowser *>(QStringLiteral("hbPage"));
        QVERIFY(page);
        const QPalette palette = page->palette();
        for (const QPalette::ColorRole role : {QPalette::Text, QPalette::Link, QPalette::LinkVisited})
            QVERIFY2(QBContrastRatio(palette.color(role), palette.color(QPalette::Base)) >= 4.5,
                     qPrintable(palette.color(role).name()));
        viewer->close();
    }
};

QTEST_MAIN(TestHighDpi)
#include "tst_HighDpi.moc"
