// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "platform/QBImages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTextStream>

namespace {

int OpaquePixels(const QPixmap &pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                ++count;
    return count;
}

struct TUsedImage
{
    TQBImageList List;
    int Index;
    const char *Use;
};

// Every image the program's windows ask for by number.
QList<TUsedImage> UsedImages()
{
    QList<TUsedImage> used;
    for (int i = 0; i <= ciViewToggleFocus; ++i)
        used.append({TQBImageList::Commands, i, "command"});
    for (int i = 0; i < 17; ++i)
        used.append({TQBImageList::Markers, i, "marker"});
    for (int i : {siLeaf, siFolder, siFolderOpen})
        used.append({TQBImageList::State, i, "outline state"});
    for (int i : {piOutline, piIndex, piSearch})
        used.append({TQBImageList::Panes, i, "pane page"});
    for (int i = 0; i <= 8; ++i)
        used.append({TQBImageList::Preview, i, "preview tool"});
    for (int i = 0; i <= 1; ++i)
        used.append({TQBImageList::Title, i, "title glyph"});
    return used;
}

const char *ListName(TQBImageList list)
{
    switch (list) {
    case TQBImageList::Commands:
        return "commands";
    case TQBImageList::State:
        return "state";
    case TQBImageList::Markers:
        return "markers";
    case TQBImageList::Panes:
        return "panes";
    case TQBImageList::Preview:
        return "preview";
    case TQBImageList::Title:
        return "title";
    }
    return "";
}

} // namespace

class TestQBImages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyUsedImage_drawsSomethingAtSixteenAndThirtyTwoPixels_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("index");
        for (const TUsedImage &used : UsedImages())
            QTest::addRow("%s %d (%s)", ListName(used.List), used.Index, used.Use) << int(used.List) << used.Index;
    }

    void everyUsedImage_drawsSomethingAtSixteenAndThirtyTwoPixels()
    {
        QFETCH(int, list);
        QFETCH(int, index);
        const QIcon icon = QBImage(TQBImageList(list), index);
        QVERIFY(!icon.isNull());
        for (const int side : {16, 32}) {
            const QPixmap pixmap = icon.pixmap(side, side);
            QCOMPARE(pixmap.width(), side);
            QCOMPARE(pixmap.height(), side);
            // Not blank, yet not a filled square either: a picture with a shape.
            const int opaque = OpaquePixels(pixmap);
            QVERIFY2(opaque > side / 4, qPrintable(QStringLiteral("only %1 pixels drawn").arg(opaque)));
            QVERIFY2(opaque <= side * side, "more pixels than the square holds");
        }
    }

    void imageCounts_coverEveryUsedIndex()
    {
        QVERIFY(QBImageCount(TQBImageList::Commands) >= 43);
        QCOMPARE(QBImageCount(TQBImageList::Commands), int(ciViewToggleFocus) + 1);
        QCOMPARE(QBImageCount(TQBImageList::Markers), 17);
        QCOMPARE(QBImageCount(TQBImageList::State), 4);
        QCOMPARE(QBImageCount(TQBImageList::Panes), 3);
        QCOMPARE(QBImageCount(TQBImageList::Preview), 9);
        QCOMPARE(QBImageCount(TQBImageList::Title), 2);
    }

    void namedAccessors_giveTheSameListsAsTheGeneralOne()
    {
        const QImage viaName = QBMarkerImage(11).pixmap(16, 16).toImage();
        const QImage viaList = QBImage(TQBImageList::Markers, 11).pixmap(16, 16).toImage();
        QCOMPARE(viaName, viaList);
        QCOMPARE(QBCommandImage(ciDocDelete).pixmap(16, 16).toImage(),
                 QBImage(TQBImageList::Commands, 18).pixmap(16, 16).toImage());
        QCOMPARE(QBStateImage(siFolder).pixmap(16, 16).toImage(),
                 QBImage(TQBImageList::State, 2).pixmap(16, 16).toImage());
        QCOMPARE(QBPaneImage(piSearch).pixmap(16, 16).toImage(),
                 QBImage(TQBImageList::Panes, 2).pixmap(16, 16).toImage());
        QCOMPARE(QBPreviewImage(5).pixmap(16, 16).toImage(),
                 QBImage(TQBImageList::Preview, 5).pixmap(16, 16).toImage());
        QVERIFY(QBTitleGlyph(true).pixmap(16, 16).toImage() != QBTitleGlyph(false).pixmap(16, 16).toImage());
    }

    void differentIndices_giveDifferentPictures()
    {
        // A copy-paste slip in the resource list would show one picture for two commands.
        QSet<QByteArray> seen;
        const int count = QBImageCount(TQBImageList::Commands);
        int distinct = 0;
        for (int i = 0; i < count; ++i) {
            const QImage image = QBCommandImage(i).pixmap(32, 32).toImage();
            const QByteArray bytes(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
            if (!seen.contains(bytes))
                ++distinct;
            seen.insert(bytes);
        }
        // The View Index and View Search commands share the pictures of their panes, not of another command.
        QCOMPARE(distinct, count);
        QVERIFY(QBMarkerImage(1).pixmap(16, 16).toImage() != QBMarkerImage(2).pixmap(16, 16).toImage());
    }

    void unknownIndices_giveNullIconsWithoutCrashing_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("index");
        for (int list = 0; list <= int(TQBImageList::Title); ++list) {
            QTest::addRow("%s -1", ListName(TQBImageList(list))) << list << -1;
            QTest::addRow("%s count", ListName(TQBImageList(list))) << list << QBImageCount(TQBImageList(list));
            QTest::addRow("%s 255", ListName(TQBImageList(list))) << list << 255;
            QTest::addRow("%s min", ListName(TQBImageList(list))) << list << std::numeric_limits<int>::min();
        }
    }

    void unknownIndices_giveNullIconsWithoutCrashing()
    {
        QFETCH(int, list);
        QFETCH(int, index);
        const QIcon icon = QBImage(TQBImageList(list), index);
        QVERIFY(icon.isNull());
        QVERIFY(icon.pixmap(16, 16).isNull());
    }

    void markerIndexFromAFile_beyondTheDictionary_hasNoPicture()
    {
        // A loaded file may carry any marker index up to 255.
        QVERIFY(QBMarkerImage(17).isNull());
        QVERIFY(QBMarkerImage(200).isNull());
        QVERIFY(QBCommandImageWithColorBar(-5, Qt::red).isNull());
    }

    void disabledMode_isGreyAndFaded()
    {
        const QIcon icon = QBCommandImage(ciNavBack);
        const QImage normal =
            icon.pixmap(QSize(32, 32), QIcon::Normal).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage disabled =
            icon.pixmap(QSize(32, 32), QIcon::Disabled).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(disabled.size(), normal.size());
        QVERIFY(OpaquePixels(QPixmap::fromImage(disabled)) > 0);
        bool sawColour = false;
        for (int y = 0; y < normal.height(); ++y) {
            for (int x = 0; x < normal.width(); ++x) {
                const QRgb n = normal.pixel(x, y);
                const QRgb d = disabled.pixel(x, y);
                QVERIFY(qAlpha(d) <= qAlpha(n));
                if (qAlpha(d) > 0) {
                    QCOMPARE(qRed(d), qGreen(d));
                    QCOMPARE(qGreen(d), qBlue(d));
                }
                if (qAlpha(n) == 255 && (qRed(n) != qGreen(n) || qGreen(n) != qBlue(n))) {
                    sawColour = true;
                    QVERIFY(qAlpha(d) < 255);
                }
            }
        }
        QVERIFY(sawColour);
    }

    void disabledPixmap_ofNothing_isNothing() { QVERIFY(QBDisabledPixmap(QPixmap()).isNull()); }

    void activeMode_isBrighterThanNormal()
    {
        const QIcon icon = QBMarkerImage(13);
        const QImage normal =
            icon.pixmap(QSize(16, 16), QIcon::Normal).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage hot = icon.pixmap(QSize(16, 16), QIcon::Active).toImage().convertToFormat(QImage::Format_ARGB32);
        qint64 normalSum = 0;
        qint64 hotSum = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                normalSum += qGray(normal.pixel(x, y)) * qAlpha(normal.pixel(x, y));
                hotSum += qGray(hot.pixel(x, y)) * qAlpha(hot.pixel(x, y));
            }
        }
        QVERIFY(hotSum > normalSum);
    }

    void colourBar_isPaintedAtTheBottomOfTheColourButtons_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QColor>("colour");
        QTest::addRow("foreground red") << int(ciFormatForeColor) << QColor(Qt::red);
        QTest::addRow("foreground navy") << int(ciFormatForeColor) << QColor(0, 0, 128);
        QTest::addRow("background lime") << int(ciFormatBackColor) << QColor(Qt::green);
        QTest::addRow("background white") << int(ciFormatBackColor) << QColor(Qt::white);
    }

    void colourBar_isPaintedAtTheBottomOfTheColourButtons()
    {
        QFETCH(int, index);
        QFETCH(QColor, colour);
        for (const int side : {16, 32}) {
            const int unit = side / 16;
            const QImage image = QBCommandImageWithColorBar(index, colour).pixmap(side, side).toImage();
            // The bar covers x 1 to 15 and y 12 to 16 of the design grid; sample its inside.
            for (int y = 12 * unit; y < 16 * unit; ++y)
                for (int x = 1 * unit; x < 15 * unit; ++x)
                    QCOMPARE(QColor(image.pixel(x, y)).rgb(), colour.rgb());
            // Outside the bar the picture is left as drawn.
            QCOMPARE(qAlpha(image.pixel(0, 14 * unit)),
                     qAlpha(QBCommandImage(index).pixmap(side, side).toImage().pixel(0, 14 * unit)));
        }
    }

    void colourBar_withInvalidColour_leavesThePictureAsDrawn()
    {
        QCOMPARE(QBCommandImageWithColorBar(ciFormatForeColor, QColor()).pixmap(16, 16).toImage(),
                 QBCommandImage(ciFormatForeColor).pixmap(16, 16).toImage());
    }

    void splash_hasTheWindowsSizeAndShowsAPicture()
    {
        const QPixmap splash = QBSplashPixmap();
        QCOMPARE(splash.size(), QSize(QBSplashWidth, QBSplashHeight));
        QCOMPARE(splash.size(), QSize(349, 215));
        const QImage image = splash.toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 20, "the splash is a plain fill");
    }

    void applicationIcon_hasSmallAndLargeSizes()
    {
        const QIcon icon = QBApplicationIcon();
        QVERIFY(!icon.isNull());
        for (const int side : {16, 32, 48, 256}) {
            const QPixmap pixmap = icon.pixmap(side, side);
            QCOMPARE(pixmap.width(), side);
            QVERIFY(OpaquePixels(pixmap) > side * side / 8);
        }
    }

    void tipsFile_besideTheProgram_holdsAtLeastTwentyTips()
    {
        // The test programs live in a sibling folder of the programs; the build copies the tips to bin/.
        QFile file(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bin/tips.txt")));
        QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.fileName()));
        QTextStream in(&file);
        int tips = 0;
        while (!in.atEnd()) {
            const QString line = in.readLine();
            QVERIFY2(!line.trimmed().isEmpty(), "an empty line would show as an empty tip");
            QVERIFY2(line.size() < 300, qPrintable(line));
            ++tips;
        }
        QVERIFY(tips >= 20);
    }

    void tipsFileName_isBesideTheProgram()
    {
        QCOMPARE(QFileInfo(QBTipsFileName()).absolutePath(),
                 QDir(QCoreApplication::applicationDirPath()).absolutePath());
        QCOMPARE(QFileInfo(QBTipsFileName()).fileName(), QStringLiteral("tips.txt"));
    }

    // With QB_ICON_SHEET set to a file name, draws every picture at 16 and 32 px into one PNG for review.
    void contactSheet_isWrittenOnRequest()
    {
        const QString target = qEnvironmentVariable("QB_ICON_SHEET");
        if (target.isEmpty())
            QSKIP("set QB_ICON_SHEET to a PNG file name to get the contact sheet");
        const int cell = 92;
        const int columns = 10;
        const QList<TUsedImage> used = UsedImages();
        int rows = 0;
        TQBImageList last = TQBImageList::Commands;
        int column = 0;
        for (const TUsedImage &u : used) {
            if (u.List != last || column == columns) {
                ++rows;
                column = 0;
                last = u.List;
            }
            ++column;
        }
        ++rows;
        const int extraHeight = QBSplashHeight + 20;
        QImage sheet(columns * cell, rows * cell + extraHeight, QImage::Format_ARGB32);
        sheet.fill(QColor(0xf0, 0xf0, 0xf0));
        QPainter painter(&sheet);
        QFont font = painter.font();
        font.setPixelSize(9);
        painter.setFont(font);
        int row = 0;
        column = 0;
        last = TQBImageList::Commands;
        for (const TUsedImage &u : used) {
            if (u.List != last || column == columns) {
                ++row;
                column = 0;
                last = u.List;
            }
            const QIcon icon = QBImage(u.List, u.Index);
            const int x = column * cell;
            const int y = row * cell;
            painter.drawPixmap(x + 6, y + 8, icon.pixmap(16, 16));
            painter.drawPixmap(x + 6, y + 30, icon.pixmap(QSize(16, 16), QIcon::Disabled));
            painter.drawPixmap(x + 30, y + 8, icon.pixmap(32, 32));
            painter.fillRect(x + 66, y + 8, 20, 20, Qt::white);
            painter.drawPixmap(x + 68, y + 10, icon.pixmap(16, 16));
            painter.setPen(Qt::black);
            painter.drawText(QRect(x + 2, y + 48, cell - 4, 40), Qt::AlignLeft | Qt::TextWordWrap,
                             QStringLiteral("%1 %2").arg(QString::fromLatin1(ListName(u.List))).arg(u.Index));
            ++column;
        }
        const int splashTop = rows * cell;
        painter.drawPixmap(6, splashTop, QBSplashPixmap());
        painter.drawPixmap(QBSplashWidth + 20, splashTop, QBApplicationIcon().pixmap(16, 16));
        painter.drawPixmap(QBSplashWidth + 40, splashTop, QBApplicationIcon().pixmap(32, 32));
        painter.drawPixmap(QBSplashWidth + 80, splashTop, QBApplicationIcon().pixmap(128, 128));
        painter.drawPixmap(QBSplashWidth + 220, splashTop,
                           QBCommandImageWithColorBar(ciFormatForeColor, Qt::red).pixmap(32, 32));
        painter.drawPixmap(QBSplashWidth + 260, splashTop,
                           QBCommandImageWithColorBar(ciFormatBackColor, Qt::cyan).pixmap(32, 32));
        painter.end();
        QVERIFY(sheet.save(target));

        // The 16 px pictures magnified four times without smoothing, to judge them pixel by pixel.
        const int zoomCell = 72;
        QImage zoom(columns * zoomCell, ((used.size() + columns - 1) / columns) * zoomCell, QImage::Format_ARGB32);
        zoom.fill(Qt::white);
        QPainter zoomPainter(&zoom);
        for (int i = 0; i < used.size(); ++i) {
            const QImage small = QBImage(used[i].List, used[i].Index).pixmap(16, 16).toImage();
            zoomPainter.drawImage(QPoint((i % columns) * zoomCell + 4, (i / columns) * zoomCell + 4),
                                  small.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        }
        zoomPainter.end();
        QString zoomTarget = target;
        zoomTarget.replace(QStringLiteral(".png"), QStringLiteral("-16px-x4.png"));
        QVERIFY(zoom.save(zoomTarget));
    }
};

QTEST_MAIN(TestQBImages)
#include "tst_QBImages.moc"
