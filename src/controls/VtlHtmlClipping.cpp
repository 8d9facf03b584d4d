// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "VtlHtmlClipping.h"
#include "VtlHtmlValues.h"

#include "EditorTexts.h"
#include "rtf/QBRtfFormats.h"
#include "rtf/QBRtfLists.h"
#include "rtf/QBRtfPictures.h"
#include "rtf/QBRtfWriter.h"
#include "xml/QBHtmlReader.h"

#include <QBuffer>
#include <QColor>
#include <QCryptographicHash>
#include <QFontMetricsF>
#include <QHash>
#include <QImageReader>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace {

using namespace VtlHtmlValues;

// Browsers' default heading sizes, relative to the text's.
constexpr double HeadingScale[] = {2.0, 1.5, 1.17, 1.0, 0.83, 0.67};
// How far a quote or a list level is indented, in pixels, as browsers indent.
constexpr double IndentStep = 40;
// Tab stops are set for this many table columns; cells beyond still get a tab.
constexpr int MaxColumns = 64;
// A column is at most this wide in pixels when its tab stops are placed; longer cells push the row on.
constexpr double MaxColumnWidth = 320;
// Pictures this small in either direction are tracking pixels.
constexpr int TrackingPixel = 2;

QString MonospaceFamily()
{
    return QStringLiteral("Courier New");
}

enum class TKind {
    Inline,
    Skip,
    Block,
    Heading,
    List,
    Item,
    Quote,
    Pre,
    Table,
    Row,
    Cell,
    Link,
    Break,
    Image,
};

TKind KindOf(const QString &name)
{
    static const QHash<QString, TKind> kinds = [] {
        QHash<QString, TKind> k;
        // Not content of the page, or nothing a note can hold.
        for (const char *n : {"script",   "style",   "noscript", "template", "iframe", "frame",  "frameset", "noframes",
                              "object",   "embed",   "applet",   "param",    "head",   "title",  "meta",     "link",
                              "base",     "form",    "input",    "button",   "select", "option", "optgroup", "textarea",
                              "datalist", "output",  "svg",      "math",     "canvas", "audio",  "video",    "source",
                              "track",    "picture", "map",      "area",     "dialog", "portal"})
            k.insert(QLatin1String(n), TKind::Skip);
        for (const char *n :
             {"p",       "div",        "section", "article", "header", "footer", "nav",  "aside",   "main",
              "figure",  "figcaption", "address", "center",  "dl",     "dt",     "dd",   "caption", "details",
              "summary", "fieldset",   "legend",  "hr",      "tbody",  "thead",  "tfoot"})
            k.insert(QLatin1String(n), TKind::Block);
        for (const char *n : {"h1", "h2", "h3", "h4", "h5", "h6"})
            k.insert(QLatin1String(n), TKind::Heading);
        for (const char *n : {"ul", "ol", "menu", "dir"})
            k.insert(QLatin1String(n), TKind::List);
        k.insert(QStringLiteral("li"), TKind::Item);
        k.insert(QStringLiteral("blockquote"), TKind::Quote);
        for (const char *n : {"pre", "listing", "xmp", "plaintext"})
            k.insert(QLatin1String(n), TKind::Pre);
        k.insert(QStringLiteral("table"), TKind::Table);
        k.insert(QStringLiteral("tr"), TKind::Row);
        k.insert(QStringLiteral("td"), TKind::Cell);
        k.insert(QStringLiteral("th"), TKind::Cell);
        k.insert(QStringLiteral("a"), TKind::Link);
        k.insert(QStringLiteral("br"), TKind::Break);
        k.insert(QStringLiteral("img"), TKind::Image);
        return k;
    }();
    return kinds.value(name, TKind::Inline);
}

struct TLevel
{
    TKind Kind = TKind::Inline;
    QTextCharFormat Char;
    int Align = -1; // Qt::Alignment, -1 when the element sets none
    int Heading = 0;
    // A list, table, row or cell that shapes the text; inside a table's cell they only separate words.
    bool Structural = false;
    bool Root = false; // html or body
};

struct TList
{
    TQBListStyle Style;
    QTextList *List = nullptr;
    bool ItemPending = false; // an item started and has no paragraph yet
};

struct TTable
{
    QList<int> RowBlocks;
    QList<double> Widths;
    int Cell = 0;
    int CellStart = 0;
    bool Header = false;
};

class TBuilder final : public IQBHtmlSink
{
public:
    TBuilder(const QTextCharFormat &base, const VtlHtmlClipping::TPicture &picture, bool singleImage)
        : FCursor(&FDoc), FClipboardPicture(picture), FSingleImage(singleImage)
    {
        FBase = base;
        QFont font = FDoc.defaultFont();
        font.setFamilies(base.fontFamilies().toStringList());
        if (base.fontPointSize() > 0)
            font.setPointSizeF(base.fontPointSize());
        FDoc.setDefaultFont(font);
        FDoc.setUndoRedoEnabled(false);
        FCursor.beginEditBlock();
    }

    void StartElement(const QString &name, const QList<TQBHtmlAttribute> &attributes) override
    {
        if (FSkip > 0) {
            ++FSkip;
            return;
        }
        TLevel level;
        level.Kind = KindOf(name);
        const QHash<QString, QString> style = StyleOf(attributes);
        if (level.Kind == TKind::Skip || HasAttribute(attributes, QLatin1String("hidden")) ||
            style.value(QStringLiteral("display")) == QLatin1String("none") ||
            style.value(QStringLiteral("visibility")) == QLatin1String("hidden")) {
            FSkip = 1;
            return;
        }
        level.Char = Char();
        level.Root = name == QLatin1String("html") || name == QLatin1String("body");
        ApplyTag(name, attributes, level);
        ApplyStyle(style, level);
        const bool inCell = FCells > 0;
        switch (level.Kind) {
        case TKind::Block:
        case TKind::Quote:
        case TKind::Pre:
            Separate();
            break;
        case TKind::Heading:
            Separate();
            level.Heading = name.at(1).digitValue();
            level.Char.setFontWeight(QFont::Bold);
            level.Char.setFontPointSize(FBase.fontPointSize() * HeadingScale[qBound(1, level.Heading, 6) - 1]);
            break;
        case TKind::List:
            Separate();
            if (!inCell) {
                level.Structural = true;
                TList list;
                list.Style = ListStyle(name, attributes);
                list.Style.Level = qMin(int(FLists.size()), 8);
                FLists.append(list);
            }
            break;
        case TKind::Item:
            Separate();
            if (!inCell && !FLists.isEmpty())
                FLists.last().ItemPending = true;
            break;
        case TKind::Table:
            Separate();
            if (!inCell) {
                level.Structural = true;
                FTables.append(TTable());
            }
            break;
        case TKind::Row:
            Separate();
            level.Structural = !inCell && !FTables.isEmpty();
            if (level.Structural)
                FTables.last().Cell = 0;
            break;
        case TKind::Cell:
            if (!inCell && !FTables.isEmpty()) {
                level.Structural = true;
                StartCell(name == QLatin1String("th"), level);
            } else {
                PendSpace();
            }
            break;
        case TKind::Break:
            if (inCell) {
                PendSpace();
            } else {
                EnsureBlock();
                FCursor.insertText(QString(QChar::LineSeparator), level.Char);
                FBlockHasContent = true;
                FLineStart = true;
                FPendingSpace = false;
                FTrailingBreak = true;
            }
            break;
        case TKind::Image:
            Picture(attributes, style, level.Char);
            break;
        default:
            break;
        }
        FStack.append(level);
    }

    void EndElement(const QString &) override
    {
        if (FSkip > 0) {
            --FSkip;
            return;
        }
        if (FStack.isEmpty())
            return;
        const TLevel level = FStack.takeLast();
        switch (level.Kind) {
        case TKind::Block:
        case TKind::Quote:
        case TKind::Pre:
        case TKind::Heading:
        case TKind::Item:
        case TKind::Row:
            Separate();
            break;
        case TKind::List:
            if (level.Structural)
                FLists.removeLast();
            Separate();
            break;
        case TKind::Table:
            if (level.Structural)
                FinishTable();
            Separate();
            break;
        case TKind::Cell:
            if (level.Structural)
                EndCell();
            else
                PendSpace();
            break;
        default:
            break;
        }
    }

    void Text(QStringView text) override
    {
        if (FSkip > 0 || text.isEmpty())
            return;
        if (InPre()) {
            // Preformatted lines stay one paragraph, as a block of code or verse does.
            QString kept = text.toString();
            kept.remove(QLatin1Char('\r'));
            kept.replace(QLatin1Char('\n'), QChar::LineSeparator);
            if (FLineStart && FBlockHasContent == false && kept.startsWith(QChar::LineSeparator))
                kept.remove(0, 1);
            if (!kept.isEmpty())
                Insert(kept);
            return;
        }
        QString out;
        out.reserve(text.size() + 1);
        for (const QChar c : text) {
            if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r') ||
                c == QLatin1Char('\f')) {
                if (!FPendingSpace)
                    FSpaceFormat = Char();
                FPendingSpace = true;
                FSpaceInside = !FStack.isEmpty() && !FStack.last().Root;
                continue;
            }
            // A space between two elements looks as it did where it was written: "a <u>link</u>" has no
            // underlined space.
            if (FPendingSpace && out.isEmpty() && !FLineStart && !FNeedBlock) {
                FCursor.insertText(QStringLiteral(" "), FSpaceFormat);
                FPendingSpace = false;
            }
            if (FPendingSpace && !out.isEmpty())
                out += QLatin1Char(' ');
            FPendingSpace = false;
            out += c;
        }
        if (!out.isEmpty())
            Insert(out);
    }

    // The clipping as RTF; empty when the page held nothing to paste.
    QByteArray Rtf()
    {
        if (!FAnyContent) {
            FCursor.endEditBlock();
            return {};
        }
        DropTrailingBreak();
        // White space at the end of a piece of a line was copied with it; after the last element it only
        // lays out the page's source.
        if (FPendingSpace && FSpaceInside && !FNeedBlock)
            FCursor.insertText(QStringLiteral(" "), FSpaceFormat);
        FCursor.endEditBlock();
        // A clipping of several paragraphs that ends with a block keeps that block's format (a list item,
        // a heading) by ending it; a piece of one paragraph goes into the line at the caret.
        if (FDoc.blockCount() > 1 && FNeedBlock)
            return TQBRtfWriter::Write(FDoc);
        QTextCursor all(&FDoc);
        all.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        return TQBRtfWriter::WriteSelection(all);
    }

    int PicturesLeftOut() const { return FPicturesLeftOut; }

private:
    QTextCharFormat Char() const { return FStack.isEmpty() ? FBase : FStack.last().Char; }

    bool InPre() const
    {
        return std::any_of(FStack.begin(), FStack.end(), [](const TLevel &level) { return level.Kind == TKind::Pre; });
    }

    void ApplyTag(const QString &name, const QList<TQBHtmlAttribute> &attributes, TLevel &level)
    {
        QTextCharFormat &format = level.Char;
        if (name == QLatin1String("b") || name == QLatin1String("strong") || name == QLatin1String("th"))
            format.setFontWeight(QFont::Bold);
        else if (name == QLatin1String("i") || name == QLatin1String("em") || name == QLatin1String("cite") ||
                 name == QLatin1String("var") || name == QLatin1String("dfn"))
            format.setFontItalic(true);
        else if (name == QLatin1String("u") || name == QLatin1String("ins"))
            format.setFontUnderline(true);
        else if (name == QLatin1String("s") || name == QLatin1String("strike") || name == QLatin1String("del"))
            format.setFontStrikeOut(true);
        else if (name == QLatin1String("code") || name == QLatin1String("kbd") || name == QLatin1String("samp") ||
                 name == QLatin1String("tt") || level.Kind == TKind::Pre)
            format.setFontFamilies(QStringList{MonospaceFamily()});
        else if (name == QLatin1String("sub"))
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        else if (name == QLatin1String("sup"))
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (name == QLatin1String("font")) {
            const QColor color = ColorOf(Attribute(attributes, QLatin1String("color")));
            if (color.isValid())
                format.setForeground(color);
        } else if (level.Kind == TKind::Link) {
            const QString href = Attribute(attributes, QLatin1String("href")).trimmed();
            if (LinkAllowed(href)) {
                format.setAnchor(true);
                format.setAnchorHref(href);
                format.setForeground(QColor(0, 0, 255));
                format.setFontUnderline(true);
            }
        }
        const QString align = Attribute(attributes, QLatin1String("align")).toLower();
        if (!align.isEmpty())
            level.Align = AlignmentOf(align);
    }

    static int AlignmentOf(const QString &value)
    {
        if (value == QLatin1String("center"))
            return Qt::AlignHCenter;
        if (value == QLatin1String("right"))
            return Qt::AlignRight;
        if (value == QLatin1String("justify"))
            return Qt::AlignJustify;
        if (value == QLatin1String("left"))
            return Qt::AlignLeft;
        return -1;
    }

    static void ApplyStyle(const QHash<QString, QString> &style, TLevel &level)
    {
        if (style.isEmpty())
            return;
        QTextCharFormat &format = level.Char;
        const QString weight = style.value(QStringLiteral("font-weight"));
        if (weight == QLatin1String("bold") || weight == QLatin1String("bolder") || weight.toInt() >= 600)
            format.setFontWeight(QFont::Bold);
        else if (weight == QLatin1String("normal") || weight == QLatin1String("lighter") ||
                 (weight.toInt() > 0 && weight.toInt() < 600))
            format.setFontWeight(QFont::Normal);
        const QString fontStyle = style.value(QStringLiteral("font-style"));
        if (fontStyle == QLatin1String("italic") || fontStyle == QLatin1String("oblique"))
            format.setFontItalic(true);
        else if (fontStyle == QLatin1String("normal"))
            format.setFontItalic(false);
        QString decoration = style.value(QStringLiteral("text-decoration-line"));
        if (decoration.isEmpty())
            decoration = style.value(QStringLiteral("text-decoration"));
        if (decoration.contains(QLatin1String("underline")))
            format.setFontUnderline(true);
        if (decoration.contains(QLatin1String("line-through")))
            format.setFontStrikeOut(true);
        if (decoration == QLatin1String("none")) {
            format.setFontUnderline(false);
            format.setFontStrikeOut(false);
        }
        if (style.contains(QStringLiteral("color"))) {
            const QColor color = ColorOf(style.value(QStringLiteral("color")));
            if (color.isValid())
                format.setForeground(color);
        }
        const int align = AlignmentOf(style.value(QStringLiteral("text-align")));
        if (align >= 0)
            level.Align = align;
    }

    static TQBListStyle ListStyle(const QString &name, const QList<TQBHtmlAttribute> &attributes)
    {
        TQBListStyle style;
        if (name != QLatin1String("ol")) {
            style.Numbering = TQBListStyle::Bulleted;
            style.Suffix.clear();
            return style;
        }
        const QString type = Attribute(attributes, QLatin1String("type"));
        if (type == QLatin1String("a"))
            style.Numbering = TQBListStyle::LowerAlpha;
        else if (type == QLatin1String("A"))
            style.Numbering = TQBListStyle::UpperAlpha;
        else if (type == QLatin1String("i"))
            style.Numbering = TQBListStyle::LowerRoman;
        else if (type == QLatin1String("I"))
            style.Numbering = TQBListStyle::UpperRoman;
        bool ok = false;
        const int start = Attribute(attributes, QLatin1String("start")).trimmed().toInt(&ok);
        if (ok)
            style.Start = qBound(1, start, QBRtfLists::MaxNumber);
        return style;
    }

    // A block element starts or ends: the next text begins a paragraph; inside a table's cell a space.
    void PendSpace()
    {
        FPendingSpace = true;
        FSpaceInside = true;
        FSpaceFormat = Char();
    }

    // A line break that ends a paragraph shows nothing in a browser; one alone stays an empty paragraph.
    void DropTrailingBreak()
    {
        if (!FTrailingBreak)
            return;
        FTrailingBreak = false;
        FCursor.deletePreviousChar();
    }

    void Separate()
    {
        if (FCells > 0) {
            PendSpace();
            return;
        }
        DropTrailingBreak();
        FNeedBlock = true;
        FPendingSpace = false;
        FLineStart = true;
    }

    QTextBlockFormat BlockFormat() const
    {
        QTextBlockFormat format;
        int quotes = 0;
        int align = -1;
        int heading = 0;
        bool paragraph = false;
        for (const TLevel &level : FStack) {
            quotes += level.Kind == TKind::Quote ? 1 : 0;
            if (level.Align >= 0)
                align = level.Align;
            if (level.Heading > 0)
                heading = level.Heading;
            paragraph = paragraph || level.Kind == TKind::Block;
        }
        if (align >= 0 && align != Qt::AlignLeft)
            format.setAlignment(Qt::Alignment(align));
        double left = quotes * IndentStep;
        // A paragraph of a list item after its first stays under the item's text.
        if (!FLists.isEmpty() && !FLists.last().ItemPending && FLists.last().List != nullptr)
            left += IndentStep * (FLists.last().Style.Level + 1);
        if (left > 0)
            format.setLeftMargin(left);
        if (heading > 0) {
            format.setTopMargin(8);
            format.setBottomMargin(4);
        } else if (paragraph && FLists.isEmpty() && FTables.isEmpty()) {
            format.setBottomMargin(6);
        }
        return format;
    }

    void EnsureBlock()
    {
        if (!FNeedBlock && FAnyContent)
            return;
        if (FNeedBlock && FBlockHasContent) {
            FCursor.insertBlock(QTextBlockFormat(), Char());
            FBlockHasContent = false;
        }
        FNeedBlock = false;
        FCursor.setBlockFormat(BlockFormat());
        if (!FLists.isEmpty() && FLists.last().ItemPending) {
            TList &list = FLists.last();
            if (list.List == nullptr)
                list.List = FCursor.createList(QBListFormat(list.Style));
            else
                list.List->add(FCursor.block());
            list.ItemPending = false;
        }
        FAnyContent = true;
        FLineStart = true;
    }

    void Insert(const QString &text)
    {
        EnsureBlock();
        FCursor.insertText(text, Char());
        FBlockHasContent = true;
        FLineStart = false;
        FTrailingBreak = false;
    }

    void StartCell(bool header, TLevel &level)
    {
        EnsureBlock();
        TTable &table = FTables.last();
        if (table.Cell == 0)
            table.RowBlocks.append(FCursor.blockNumber());
        else
            FCursor.insertText(QStringLiteral("\t"), FBase);
        FBlockHasContent = true;
        FLineStart = true;
        FPendingSpace = false;
        FTrailingBreak = false;
        table.CellStart = FCursor.positionInBlock();
        table.Header = header;
        if (header)
            level.Char.setFontWeight(QFont::Bold);
        ++FCells;
    }

    void EndCell()
    {
        --FCells;
        TTable &table = FTables.last();
        if (table.Cell < MaxColumns) {
            const QString text = FCursor.block().text().mid(table.CellStart);
            QFont font = FDoc.defaultFont();
            font.setBold(table.Header);
            const double width = qMin(MaxColumnWidth, QFontMetricsF(font).horizontalAdvance(text));
            while (table.Widths.size() <= table.Cell)
                table.Widths.append(0);
            table.Widths[table.Cell] = qMax(table.Widths.at(table.Cell), width);
        }
        ++table.Cell;
        FPendingSpace = false;
    }

    // The columns line up at tab stops after their widest cell.
    void FinishTable()
    {
        const TTable table = FTables.takeLast();
        if (table.Widths.size() < 2)
            return;
        QList<QTextOption::Tab> tabs;
        double x = 0;
        for (qsizetype i = 0; i + 1 < table.Widths.size(); ++i) {
            x += table.Widths.at(i) + 16;
            tabs.append(QTextOption::Tab(x, QTextOption::LeftTab));
        }
        for (const int number : table.RowBlocks) {
            QTextCursor row(FDoc.findBlockByNumber(number));
            QTextBlockFormat format = row.blockFormat();
            format.setTabPositions(tabs);
            row.setBlockFormat(format);
        }
    }

    void Picture(const QList<TQBHtmlAttribute> &attributes, const QHash<QString, QString> &style,
                 const QTextCharFormat &format)
    {
        int width = PixelsOf(style.value(QStringLiteral("width"), Attribute(attributes, QLatin1String("width"))));
        int height = PixelsOf(style.value(QStringLiteral("height"), Attribute(attributes, QLatin1String("height"))));
        if ((width >= 0 && width <= TrackingPixel) || (height >= 0 && height <= TrackingPixel))
            return;
        const QString src = Attribute(attributes, QLatin1String("src")).trimmed();
        const QString alt = Attribute(attributes, QLatin1String("alt"));
        QByteArray data;
        QImage image;
        if (src.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
            data = PictureOfDataUrl(src);
        } else if (FSingleImage && (src.startsWith(QLatin1String("http:"), Qt::CaseInsensitive) ||
                                    src.startsWith(QLatin1String("https:"), Qt::CaseInsensitive))) {
            // The browser copied the picture's pixels too; those are used, the address never.
            data = FClipboardPicture.Data;
            image = FClipboardPicture.Image;
            FClipboardPicture = {};
        }
        int kind = 0;
        QSize size;
        if (!data.isEmpty()) {
            QBuffer buffer(&data);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer);
            reader.setDecideFormatFromContent(true);
            const QByteArray type = reader.format();
            size = reader.size();
            if (type.isEmpty() || !size.isValid()) {
                AltText(alt);
                return;
            }
            if (!Affordable(qint64(size.width()) * size.height(), data.size())) {
                AltText(alt);
                return;
            }
            if (size.width() <= TrackingPixel || size.height() <= TrackingPixel)
                return;
            if (type == "png") {
                kind = QBRtfFormat::Png;
            } else if (type == "jpeg") {
                kind = QBRtfFormat::Jpeg;
            } else {
                // Other kinds are stored as PNG, decoded only now that their size is known to be bearable.
                image = reader.read();
                if (image.isNull()) {
                    AltText(alt);
                    return;
                }
                data.clear();
            }
        } else if (!image.isNull()) {
            size = image.size();
            if (!Affordable(qint64(size.width()) * size.height(), 0)) {
                AltText(alt);
                return;
            }
            if (size.width() <= TrackingPixel || size.height() <= TrackingPixel)
                return;
        } else {
            // Remote or local pictures are never loaded.
            AltText(alt);
            return;
        }
        if (data.isEmpty()) {
            QBuffer buffer(&data);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            kind = QBRtfFormat::Png;
        }
        // A page's width and height shrink a picture, never enlarge it; one of them keeps the proportions.
        QSizeF shown(size);
        if (width > 0 && height > 0 && (width < size.width() || height < size.height()))
            shown = QSizeF(qMin(width, size.width()), qMin(height, size.height()));
        else if (width > 0 && width < size.width())
            shown = QSizeF(width, double(size.height()) * width / size.width());
        else if (height > 0 && height < size.height())
            shown = QSizeF(double(size.width()) * height / size.height(), height);
        if (shown.width() <= TrackingPixel || shown.height() <= TrackingPixel)
            return;
        const QByteArray hash = QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex();
        QTextImageFormat picture;
        picture.merge(format);
        picture.setName(QString::fromLatin1(QBRtfFormat::ImageScheme) + QLatin1Char(':') + QString::fromLatin1(hash));
        picture.setWidth(shown.width());
        picture.setHeight(shown.height());
        picture.setProperty(QBRtfFormat::PictureData, data);
        picture.setProperty(QBRtfFormat::PictureKind, kind);
        EnsureBlock();
        if (FPendingSpace && !FLineStart)
            FCursor.insertText(QStringLiteral(" "), FSpaceFormat);
        FPendingSpace = false;
        FCursor.insertImage(picture);
        FBlockHasContent = true;
        FLineStart = false;
        FTrailingBreak = false;
    }

    // Whether a picture of this many pixels may be decoded, as the body's reader will; counts it if so.
    bool Affordable(qint64 pixels, qint64 dataSize)
    {
        const bool allowed = pixels > 0 && pixels <= QBRtfPictures::MaxPixels &&
                             (dataSize == 0 || QBRtfPictures::SizeAllowed(pixels, dataSize)) &&
                             FPixels + pixels <= VtlHtmlClipping::MaxTotalPixels;
        if (!allowed) {
            ++FPicturesLeftOut;
            return false;
        }
        FPixels += pixels;
        return true;
    }

    void AltText(const QString &alt)
    {
        if (!alt.trimmed().isEmpty())
            Text(alt);
    }

    QTextDocument FDoc;
    QTextCursor FCursor;
    QTextCharFormat FBase;
    VtlHtmlClipping::TPicture FClipboardPicture;
    bool FSingleImage = false;
    QList<TLevel> FStack;
    QList<TList> FLists;
    QList<TTable> FTables;
    int FSkip = 0;  // open elements whose content is dropped
    int FCells = 0; // open cells of tables that shape the text
    bool FNeedBlock = false;
    bool FBlockHasContent = false;
    bool FLineStart = true;
    bool FPendingSpace = false;
    bool FSpaceInside = false;    // the pending space is inside an element of the page
    QTextCharFormat FSpaceFormat; // how the pending space looked where it was written
    bool FTrailingBreak = false;  // the paragraph so far ends with a line break
    bool FAnyContent = false;
    qint64 FPixels = 0;
    int FPicturesLeftOut = 0;
};

} // namespace

TVtlHtmlClipping VtlHtmlClipping::Import(const QByteArray &html, const TPicture &picture, const QTextCharFormat &base)
{
    TVtlHtmlClipping result;
    if (html.size() > MaxBytes) {
        result.Refused = true;
        result.Message = EditorText("SHtmlTooLarge", "The web page on the clipboard is too large to paste with its "
                                                     "formatting. Its plain text was pasted instead.");
        return result;
    }
    QTextCharFormat plain = base;
    if (plain.fontPointSize() <= 0)
        plain.setFontPointSize(10);
    const QString text = QBHtml::DecodeClipboard(html);
    TBuilder builder(plain, picture, text.count(QLatin1String("<img"), Qt::CaseInsensitive) == 1);
    const bool whole = QBHtml::Parse(text, builder);
    result.Rtf = builder.Rtf();
    QStringList notes;
    if (!whole)
        notes << EditorText("SHtmlTooDeep", "Part of the web page was nested too deeply and was pasted as plain text.");
    if (builder.PicturesLeftOut() > 0)
        notes << EditorText("SHtmlPicturesLeftOut", "Some pictures of the web page were too large and were left out.");
    result.Message = notes.join(QLatin1Char('\n'));
    return result;
}
