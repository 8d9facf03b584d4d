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

} // namespace

QTextBlockFormat QBRtfBlockFormat(const TQBRtfParaState &para)
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

namespace {

class TDocumentSink final : public IQBRtfSink
{
public:
    TDocumentSink(QTextCursor &cursor, bool whole, const TQBRtfParser &parser)
        : FCursor(cursor), FWhole(whole), FParser(parser), FListTracker(parser)
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
        // Most paragraphs keep the plain format a new paragraph starts with; setting it again is a change
        // of the document of its own, which costs more the longer the document is.
        const QTextBlockFormat format = QBRtfBlockFormat(para);
        if (block.blockFormat() != format)
            FCursor.setBlockFormat(format);
        const TQBRtfListTracker::TItem item = FListTracker.Add(para, FParagraphs++);
        if (item.NewList)
            FLists.append(FCursor.createList(QBListFormat(item.Style)));
        else if (item.List >= 0)
            FLists.at(item.List)->add(FCursor.block());
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
        const bool kept = image.isNull() || picture.IsObject;
        const double width = picture.WidthTwips > 0 ? picture.WidthTwips / TwipsPerPixel
                             : image.isNull()       ? 32.0
                                                    : double(image.width());
        const double height = picture.HeightTwips > 0 ? picture.HeightTwips / TwipsPerPixel
                              : image.isNull()        ? 32.0
                                                      : double(image.height());
        if (kept) {
            if (image.isNull())
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
    QTextCharFormat Format(const TQBRtfCharState &state)
    {
        if (FHaveState && state == FLastState)
            return FLastFormat;
        QTextCharFormat format;
        if (const TQBRtfFont *font = FParser.FindFont(state.Font)) {
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
        const TQBRtfColor color = FParser.Color(state.Color);
        if (!color.Auto)
            format.setForeground(QColor(color.Red, color.Green, color.Blue));
        if (state.BackColor > 0) {
            const TQBRtfColor back = FParser.Color(state.BackColor);
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
    const TQBRtfParser &FParser;
    bool FAnyBreak = false;
    int FParagraphs = 0; // paragraphs ended so far
    QTextBlockFormat FOrigBlockFormat;
    QTextList *FOrigList = nullptr;
    TQBRtfListTracker FListTracker;
    QList<QTextList *> FLists; // by the tracker's list number
    QVariant FBaseFamilies;
    QVariant FBaseCharset;
    double FBaseSize = 0;
    bool FHaveState = false;
    TQBRtfCharState FLastState;
    QTextCharFormat FLastFormat;
};

void Read(QTextCursor &cursor, const QByteArray &rtf, bool whole)
{
    // The sink needs the parser's font and colour tables, and the parser its sink.
    struct TReader
    {
        TQBRtfParser Parser;
        TDocumentSink Sink;
        TReader(QTextCursor &cursor, bool whole, TQBRtfParser::TOptions options)
            : Parser(Sink, options), Sink(cursor, whole, Parser)
        {
        }
    };
    TQBRtfParser::TOptions options;
    options.WholeDocument = whole;
    TReader reader(cursor, whole, options);
    reader.Parser.Parse(rtf);
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
