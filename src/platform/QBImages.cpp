// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "platform/QBImages.h"

#include "base/QBPaths.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <mutex>

// Q_INIT_RESOURCE must be used outside any namespace. qb_gui is a static library: without this call
// the linker would drop the compiled resources, since nothing else refers to them.
static void QBInitImageResources()
{
    Q_INIT_RESOURCE(quillbox);
}

namespace {

void EnsureResources()
{
    static std::once_flag once;
    std::call_once(once, QBInitImageResources);
}

QString ListFolder(TQBImageList list)
{
    switch (list) {
    case TQBImageList::Commands:
        return QStringLiteral("commands");
    case TQBImageList::State:
        return QStringLiteral("state");
    case TQBImageList::Markers:
        return QStringLiteral("markers");
    case TQBImageList::Panes:
        return QStringLiteral("panes");
    case TQBImageList::Preview:
        return QStringLiteral("preview");
    case TQBImageList::Title:
        return QStringLiteral("title");
    }
    return QString();
}

QString ImagePath(TQBImageList list, int index)
{
    return QStringLiteral(":/icons/%1/%2.svg").arg(ListFolder(list)).arg(index);
}

// The drawing grid every icon is designed on.
constexpr qreal GridSize = 16.0;

QImage Brightened(const QImage &source)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            // Premultiplied-free format: lighten the colour by a fifth towards white.
            line[x] = qRgba(qRed(p) + (255 - qRed(p)) / 5, qGreen(p) + (255 - qGreen(p)) / 5,
                            qBlue(p) + (255 - qBlue(p)) / 5, a);
        }
    }
    return image;
}

// Renders an SVG image of the resources at any size and in every icon mode, so that toolbars on
// high-density screens and large-icon lists get sharp pictures instead of scaled bitmaps.
class TQBSvgIconEngine final : public QIconEngine
{
public:
    TQBSvgIconEngine(const QString &fileName, const QColor &barColour) : FFileName(fileName), FBarColour(barColour) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = qMax<qreal>(1.0, painter->device() ? painter->device()->devicePixelRatioF() : 1.0);
        const QPixmap pm = scaledPixmap(rect.size() * scale, mode, state, scale);
        painter->drawPixmap(rect, pm);
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // size is in device pixels already (QIcon multiplies by scale before asking), so a 16-pixel icon
    // on a 2x screen is drawn anew at 32 pixels rather than blown up or drawn twice too large.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        const int side = qMin(size.width(), size.height());
        if (side <= 0)
            return QPixmap();
        const QString cacheKey = QStringLiteral("qbimage:%1:%2:%3:%4")
                                     .arg(FFileName)
                                     .arg(side)
                                     .arg(int(mode))
                                     .arg(FBarColour.isValid() ? FBarColour.rgba() : 0u);
        QPixmap result;
        if (QPixmapCache::find(cacheKey, &result))
            return result;

        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QSvgRenderer renderer(FFileName);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter, QRectF(0, 0, side, side));
            if (FBarColour.isValid()) {
                const qreal unit = side / GridSize;
                painter.fillRect(QRectF(1 * unit, 12 * unit, 14 * unit, 4 * unit), FBarColour);
            }
        }
        switch (mode) {
        case QIcon::Disabled:
            result = QBDisabledPixmap(QPixmap::fromImage(image));
            break;
        case QIcon::Active:
            result = QPixmap::fromImage(Brightened(image.convertToFormat(QImage::Format_ARGB32)));
            break;
        default:
            result = QPixmap::fromImage(image);
            break;
        }
        result.setDevicePixelRatio(qMax<qreal>(scale, 1.0));
        QPixmapCache::insert(cacheKey, result);
        return result;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48)};
    }

    QString key() const override { return QStringLiteral("TQBSvgIconEngine"); }
    QIconEngine *clone() const override { return new TQBSvgIconEngine(FFileName, FBarColour); }
    bool isNull() override { return false; }

private:
    QString FFileName;
    QColor FBarColour;
};

QIcon MakeIcon(TQBImageList list, int index, const QColor &barColour = QColor())
{
    EnsureResources();
    if (index < 0 || index >= QBImageCount(list))
        return QIcon();
    return QIcon(new TQBSvgIconEngine(ImagePath(list, index), barColour));
}

} // namespace

int QBImageCount(TQBImageList list)
{
    EnsureResources();
    // The lists are dense from 0, so the count is the first index without a picture. Counted once per
    // list: the resources cannot change while the program runs.
    static int counts[6] = {-1, -1, -1, -1, -1, -1};
    static std::mutex guard;
    const std::lock_guard<std::mutex> lock(guard);
    int &count = counts[int(list)];
    if (count < 0) {
        count = 0;
        while (QFile::exists(ImagePath(list, count)))
            ++count;
    }
    return count;
}

QIcon QBImage(TQBImageList list, int index)
{
    return MakeIcon(list, index);
}

QIcon QBCommandImage(int index)
{
    return MakeIcon(TQBImageList::Commands, index);
}

QIcon QBStateImage(int index)
{
    return MakeIcon(TQBImageList::State, index);
}

QIcon QBMarkerImage(int index)
{
    return MakeIcon(TQBImageList::Markers, index);
}

QIcon QBPaneImage(int index)
{
    return MakeIcon(TQBImageList::Panes, index);
}

QIcon QBPreviewImage(int index)
{
    return MakeIcon(TQBImageList::Preview, index);
}

QIcon QBTitleGlyph(bool expanded)
{
    return MakeIcon(TQBImageList::Title, expanded ? 1 : 0);
}

QIcon QBCommandImageWithColorBar(int index, const QColor &colour)
{
    return MakeIcon(TQBImageList::Commands, index, colour);
}

QPixmap QBDisabledPixmap(const QPixmap &pixmap)
{
    if (pixmap.isNull())
        return QPixmap();
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            // A light grey of the pixel's brightness, at under half its opacity: the shape stays
            // readable while the picture clearly recedes.
            const int grey = 110 + qGray(p) * 115 / 255;
            line[x] = qRgba(grey, grey, grey, qAlpha(p) * 11 / 20);
        }
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(pixmap.devicePixelRatio());
    return result;
}

QPixmap QBSplashPixmap()
{
    EnsureResources();
    // Drawn at the screen's density so the splash is as sharp on a 2x screen as on a 1x one.
    const qreal ratio = qApp ? qMax<qreal>(1.0, qApp->devicePixelRatio()) : 1.0;
    QPixmap pixmap(qRound(QBSplashWidth * ratio), qRound(QBSplashHeight * ratio));
    pixmap.setDevicePixelRatio(ratio);
    // The splash window is black; the picture is drawn over the same black.
    pixmap.fill(Qt::black);
    QSvgRenderer renderer(QStringLiteral(":/splash.svg"));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderer.render(&painter, QRectF(0, 0, QBSplashWidth, QBSplashHeight));
    return pixmap;
}

QIcon QBApplicationIcon()
{
    EnsureResources();
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QSvgRenderer renderer(QStringLiteral(":/quillbox.svg"));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, side, side));
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QString QBTipsFileName()
{
    return QDir(QBResourceFolder()).filePath(QStringLiteral("tips.txt"));
}
