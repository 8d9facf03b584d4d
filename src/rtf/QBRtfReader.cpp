// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfReader.h"
#include "QBRtfFormats.h"
#include "QBRtfLists.h"
#include "QBRtfParser.h"
#include "QBRtfPictures.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

namespace {

// Sizes in RTF are twips; the document counts pixels at 96 dots per inch.
constexpr double TwipsPerPixel = 15.0;

QTextBlockFormat BlockFormat(const TQBRtfParaState &para)
{
    QTextBlockFormat format;
    switch (para.Align) {
    case 1:
        format.setAlignment(Qt::AlignRight);
        break;
    case 2:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case 3:
        format.setAlignment(Qt::AlignJustify);
        break;
    default:
        break;
    }
    if (para.LeftIndent)
        format.setLeftMargin(para.LeftIndent / TwipsPerPixel);
    if (para.RightIndent)
        format.setRightMargin(para.RightIndent / TwipsPerPixel);
    if (para.FirstIndent)
        format.setTextIndent(para.FirstIndent / TwipsPerPixel);
    if (para.SpaceBefore)
        format.setTopMargin(para.SpaceBefore / TwipsPerPixel);
    if (para.SpaceAfter)
        format.setBottomMargin(para.SpaceAfter / TwipsPerPixel);
    if (para.LineSpacing != 0) {
        if (para.LineMultiple)
            format.setLineHeight(qAbs(para.LineSpacing) * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (para.LineSpacing > 0)
            format.setLineHeight(para.LineSpacing / TwipsPerPixel, QTextBlockFormat::MinimumHeight);
        else
            format.setLineHeight(-para.LineSpacing / TwipsPerPixel, QTextBlockFormat::FixedHeight);
    }
    if (!para.Tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        for (const TQBRtfTab &tab : para.Tabs) {
            switch (tab.Kind) {
            case TQBRtfTabKind::Right:
                tabs.append(QTextOption::Tab(tab.Position / TwipsPerPixel, QTextOption::RightTab));
                break;
            case TQBRtfTabKind::Center:
                tabs.append(QTextOption::Tab(tab.Position / TwipsPerPixel, QTextOption::CenterTab));
                break;
            case TQBRtfTabKind::Decimal:
                tabs.append(
                    QTextOption::Tab(tab.Position / TwipsPerPixel, QTextOption::DelimiterTab, QLatin1Char('.')));
                break;
            default:
                tabs.append(QTextOption::Tab(tab.Position / TwipsPerPixel, QTextOption::LeftTab));
                break;
            }
        }
        format.setTabPositions(tabs);
    }
    if (para.PageBreakBefore)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    return format;
}

class TDocumentSink final : public IQBRtfSink
{
public:
    TDocumentSink(QTextCursor &cursor, bool whole) : FCursor(cursor), FWhole(whole)
    {
        FOrigBlockFormat = cursor.blockFormat();
        FOrigList = cursor.currentList();
        if (!whole) {
            // Text inserted without a font or size of its own takes those of the text at the cursor, as a
            // link from the link template does.
            const QTextCharFormat here = cursor.charFormat();
            if (here.hasProperty(QTextFormat::FontFamilies))
                FBaseFamilies = here.property(QTextFormat::FontFamilies);
            if (here.hasProperty(QBRtfFormat::Charset))
                FBaseCharset = here.property(QBRtfFormat::Charset);
            if (here.hasProperty(QTextFormat::FontPointSize))
                FBaseSize = here.fontPointSize();
        }
    }

    TQBRtfParser *FParser = nullptr;

    void Text(QStringView text, const TQBRtfCharState &state) override
    {
        FCursor.insertText(text.toString(), Format(state));
    }

    void ParagraphEnd(const TQBRtfParaState &para, bool withBreak) override
    {
        QTextBlock block = FCursor.block();
        if (!withBreak && !FWhole) {
            // The tail of the paragraph the text went into keeps that paragraph's format.
            if (FAnyBreak) {
                if (QTextList *list = block.textList())
                    list->remove(block);
                FCursor.setBlockFormat(FOrigBlockFormat);
                if (FOrigList)
                    FOrigList->add(FCursor.block());
            }
            return;
        }
        if (QTextList *list = block.textList())
            list->remove(block);
        FCursor.setBlockFormat(BlockFormat(para));
        if (para.Numbering > 0) {
            AddToList(para);
        } else {
            // The rich edit control's lists end at a paragraph without a number; a word processor's go on
            // after it.
            for (TOpenList &open : FPnLists)
                open = TOpenList();
        }
        if (withBreak) {
            FCursor.insertBlock(QTextBlockFormat(), FHaveState ? FLastFormat : QTextCharFormat());
            FAnyBreak = true;
        }
    }

    void Picture(const TQBRtfPicture &picture, const TQBRtfCharState &state) override
    {
        QImage image;
        switch (picture.Kind) {
        case TQBRtfPictureKind::Png:
            image = QBRtfPictures::DecodePng(picture.Data);
            break;
        case TQBRtfPictureKind::Jpeg:
            image = QBRtfPictures::DecodeJpeg(picture.Data);
            break;
        case TQBRtfPictureKind::Dib:
            image = QBRtfPictures::DecodeDib(picture.Data);
            break;
        case TQBRtfPictureKind::WBitmap:
            image = QBRtfPictures::DecodeWBitmap(picture.Data, picture.PicWidth, picture.PicHeight,
                                                 picture.BitsPerPixel, picture.WidthBytes);
            break;
        case TQBRtfPictureKind::Kept:
            break;
        }

        QTextImageFormat format;
        format.merge(Format(state));
        const bool kept = image.isNull();
        const double width = picture.WidthTwips > 0 ? picture.WidthTwips / TwipsPerPixel
                             : kept                 ? 32.0
                                                    : double(image.width());
        const double height = picture.HeightTwips > 0 ? picture.HeightTwips / TwipsPerPixel
                              : kept                  ? 32.0
                                                      : double(image.height());
        if (kept) {
            image = QBRtfPictures::Placeholder(QSize(qRound(width), qRound(height)));
            format.setProperty(QBRtfFormat::KeptRtf, picture.Source);
        }
        QByteArray data = picture.Data;
        if (!kept) {
            // Bitmaps are saved as PNG; converting now makes the document the same after a save and a load.
            if (picture.Kind != TQBRtfPictureKind::Png && picture.Kind != TQBRtfPictureKind::Jpeg) {
                data.clear();
                QBuffer buffer(&data);
                buffer.open(QIODevice::WriteOnly);
                image.save(&buffer, "PNG");
            }
            format.setProperty(QBRtfFormat::PictureData, data);
            format.setProperty(QBRtfFormat::PictureKind,
                               picture.Kind == TQBRtfPictureKind::Jpeg ? QBRtfFormat::Jpeg : QBRtfFormat::Png);
        }
        // Named after the content, so the same picture is one resource and names never clash.
        const QByteArray hash =
            QCryptographicHash::hash(kept ? picture.Source : data, QCryptographicHash::Sha1).toHex();
        const QUrl name(QString::fromLatin1(QBRtfFormat::ImageScheme) + QLatin1Char(':') + QString::fromLatin1(hash));
        FCursor.document()->addResource(QTextDocument::ImageResource, name, image);
        format.setName(name.toString());
        format.setWidth(width);
        format.setHeight(height);
        FCursor.insertImage(format);
    }

private:
    // A list items can still be added to, and what its next item would be.
    struct TOpenList
    {
        QTextList *List = nullptr;
        TQBListStyle Style;
        int Next = 1;
        int LastBlock = -1; // block number of the last item
        int PnStart = 1;    // \pnstart of the last item
        int PnGroup = 0;    // \pn group of the last item
    };

    TQBListStyle StyleOf(const TQBRtfParaState &para) const
    {
        TQBListStyle style;
        style.Numbering = qBound(1, para.Numbering, 6);
        style.Level = qBound(0, para.ListLevel, 8);
        const TQBRtfListFacts texts = Facts(para);
        style.Start = texts.HasStart ? texts.Start : 1;
        style.Prefix = texts.Prefix;
        style.Suffix = texts.Suffix;
        if (style.Numbering == TQBListStyle::Bulleted) {
            style.Bullet = texts.Bullet;
            if (const TQBRtfFont *font = texts.BulletFont >= 0 ? FParser->FindFont(texts.BulletFont) : nullptr)
                style.BulletFont = font->Name;
            style.Suffix.clear();
        }
        return style;
    }

    void AddToList(const TQBRtfParaState &para)
    {
        TQBListStyle style = StyleOf(para);
        const int level = style.Level;
        const int blockNumber = FCursor.block().blockNumber();
        TOpenList *open = nullptr;
        if (para.ListId > 0) {
            for (TOpenList &pn : FPnLists)
                pn = TOpenList();
            // A word processor's item ends the deeper levels of its list, which start again below it.
            for (int deeper = level + 1; deeper < 9; ++deeper)
                FLsLists.remove(LsKey(para.ListId, deeper));
            open = &FLsLists[LsKey(para.ListId, level)];
            if (open->List && !(open->Style == style))
                *open = TOpenList();
        } else {
            for (int deeper = level + 1; deeper < 9; ++deeper)
                FPnLists[deeper] = TOpenList();
            open = &FPnLists[level];
            if (open->List && !SameLook(open->Style, style))
                *open = TOpenList();
            if (open->List && !ContinuesPn(*open, para, style, blockNumber))
                *open = TOpenList();
        }
        if (open->List) {
            open->List->add(FCursor.block());
        } else {
            // The label the writer showed is the surest start; then what the list says.
            const int shown = QBListLabelNumber(Label(para), style);
            if (para.ListId == 0 && shown >= 0)
                style.Start = qMin(shown, TQBRtfParser::MaxListStart);
            open->Style = style;
            open->Next = style.Start;
            open->List = FCursor.createList(QBListFormat(style));
        }
        open->Next = qMin(open->Next + 1, QBRtfLists::MaxNumber);
        open->LastBlock = blockNumber;
        open->PnStart = Facts(para).Start;
        open->PnGroup = para.PnGroup;
    }

    static bool SameLook(const TQBListStyle &a, const TQBListStyle &b)
    {
        return a.Numbering == b.Numbering && a.Prefix == b.Prefix && a.Suffix == b.Suffix && a.Bullet == b.Bullet &&
               a.BulletFont == b.BulletFont;
    }

    // Whether a rich edit control's item goes on with the open list of its level or starts a new one.
    static bool ContinuesPn(const TOpenList &open, const TQBRtfParaState &para, const TQBListStyle &style,
                            int blockNumber)
    {
        const bool follows = open.LastBlock == blockNumber - 1;
        if (follows && para.PnGroup == open.PnGroup)
            return true; // the paragraph inherits the numbering of the one before
        if (style.Numbering == TQBListStyle::Bulleted)
            return true;
        const int shown = QBListLabelNumber(Label(para), style);
        if (shown >= 0)
            return shown == open.Next;
        const TQBRtfListFacts facts = Facts(para);
        return !facts.HasStart || facts.Start == open.Next || (follows && facts.Start == open.PnStart);
    }

    static TQBRtfListFacts Facts(const TQBRtfParaState &para)
    {
        return para.ListFacts ? *para.ListFacts : TQBRtfListFacts();
    }
    static QString Label(const TQBRtfParaState &para) { return Facts(para).Label; }

    static qint64 LsKey(int list, int level) { return (qint64(list) << 4) | level; }

    QTextCharFormat Format(const TQBRtfCharState &state)
    {
        if (FHaveState && state == FLastState)
            return FLastFormat;
        QTextCharFormat format;
        if (const TQBRtfFont *font = FParser->FindFont(state.Font)) {
            if (!font->Name.isEmpty())
                format.setFontFamilies(QStringList{font->Name});
            format.setProperty(QBRtfFormat::Charset, font->Charset);
        } else if (FBaseFamilies.isValid()) {
            format.setProperty(QTextFormat::FontFamilies, FBaseFamilies);
            if (FBaseCharset.isValid())
                format.setProperty(QBRtfFormat::Charset, FBaseCharset);
        }
        format.setFontPointSize(!state.HasSize && FBaseSize > 0 ? FBaseSize : state.Size / 2.0);
        format.setFontWeight(state.Bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(state.Italic);
        format.setFontUnderline(state.Underline);
        format.setFontStrikeOut(state.Strike);
        const TQBRtfColor color = FParser->Color(state.Color);
        if (!color.Auto)
            format.setForeground(QColor(color.Red, color.Green, color.Blue));
        if (state.BackColor > 0) {
            const TQBRtfColor back = FParser->Color(state.BackColor);
            if (!back.Auto)
                format.setBackground(QColor(back.Red, back.Green, back.Blue));
        }
        if (state.VAlign == 1)
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        else if (state.VAlign == 2)
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        if (!state.Href.isEmpty()) {
            format.setAnchor(true);
            format.setAnchorHref(state.Href);
        }
        FHaveState = true;
        FLastState = state;
        FLastFormat = format;
        return format;
    }

    QTextCursor &FCursor;
    bool FWhole;
    bool FAnyBreak = false;
    QTextBlockFormat FOrigBlockFormat;
    QTextList *FOrigList = nullptr;
    TOpenList FPnLists[9];
    QHash<qint64, TOpenList> FLsLists;
    QVariant FBaseFamilies;
    QVariant FBaseCharset;
    double FBaseSize = 0;
    bool FHaveState = false;
    TQBRtfCharState FLastState;
    QTextCharFormat FLastFormat;
};

void Read(QTextCursor &cursor, const QByteArray &rtf, bool whole)
{
    TDocumentSink sink(cursor, whole);
    TQBRtfParser::TOptions options;
    options.WholeDocument = whole;
    TQBRtfParser parser(sink, options);
    sink.FParser = &parser;
    parser.Parse(rtf);
}

} // namespace

void TQBRtfReader::Load(QTextDocument &document, const QByteArray &rtf)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    // Inside an edit block the cursor does not lay out the paragraph after every insertion.
    cursor.beginEditBlock();
    Read(cursor, rtf, true);
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

void TQBRtfReader::Insert(QTextCursor &cursor, const QByteArray &rtf)
{
    cursor.beginEditBlock();
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    Read(cursor, rtf, false);
    cursor.endEditBlock();
}
