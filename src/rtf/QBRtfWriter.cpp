// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfWriter.h"
#include "QBRtfCodePages.h"
#include "QBRtfFormats.h"
#include "QBRtfLists.h"
#include "QBRtfParser.h"
#include "QBRtfTokenizer.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>
#include <algorithm>

namespace {

constexpr double TwipsPerPixel = 15.0;

int Twips(double pixels)
{
    return int(qBound(-1e9, std::round(pixels * TwipsPerPixel), 1e9));
}

struct TFontKey
{
    QString Name;
    int Charset = 0;
    bool operator==(const TFontKey &) const = default;
};

size_t qHash(const TFontKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.Name, key.Charset);
}

// The character state as written, to write only what changes.
struct TCharOut
{
    int Font = 0;
    int Size = 24;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strike = false;
    int Color = 0;
    int Back = 0;
    int VAlign = 0;
};

// A body read straight into writer runs, as far as it holds plain paragraphs: what inserting it at an
// empty plain paragraph of a document and writing that document would give. Lists, pictures, objects,
// links and characters that would start paragraphs of their own fail it.
class TBodySink final : public IQBRtfSink
{
public:
    struct TRun
    {
        QString Text;
        QString Family;
        int Charset = 0;
        TCharOut Out; // Font, Color and Back not looked up yet
        bool Color = false, Back = false;
        QColor Foreground, Background;
    };
    struct TParagraph
    {
        TQBRtfParaState Para;
        QList<TRun> Runs;
    };

    QList<TParagraph> Paragraphs; // those that ended with a mark
    QList<TRun> Tail;             // the text after the last mark
    bool Failed = false;
    const TQBRtfParser *Parser = nullptr;

    void Text(QStringView text, const TQBRtfCharState &state) override
    {
        if (Failed || text.isEmpty())
            return;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u == '\n' || u == '\r' || u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1 ||
                u == QChar::ObjectReplacementCharacter) {
                Failed = true;
                return;
            }
        }
        if (!state.Href.isEmpty()) {
            Failed = true;
            return;
        }
        if (!Tail.isEmpty() && state == FLastState) {
            Tail.last().Text += text;
            return;
        }
        TRun run;
        run.Text = text.toString();
        if (const TQBRtfFont *font = Parser->FindFont(state.Font)) {
            run.Family = font->Name;
            run.Charset = font->Charset;
        }
        run.Out.Size = state.Size > 0 ? state.Size : 24;
        run.Out.Bold = state.Bold;
        run.Out.Italic = state.Italic;
        run.Out.Underline = state.Underline;
        run.Out.Strike = state.Strike;
        run.Out.VAlign = state.VAlign == 1 || state.VAlign == 2 ? state.VAlign : 0;
        const TQBRtfColor color = Parser->Color(state.Color);
        if (!color.Auto) {
            run.Color = true;
            run.Foreground = QColor(color.Red, color.Green, color.Blue);
        }
        if (state.BackColor > 0) {
            const TQBRtfColor back = Parser->Color(state.BackColor);
            if (!back.Auto) {
                run.Back = true;
                run.Background = QColor(back.Red, back.Green, back.Blue);
            }
        }
        Tail.append(std::move(run));
        FLastState = state;
    }

    void ParagraphEnd(const TQBRtfParaState &para, bool withBreak) override
    {
        if (Failed || !withBreak)
            return;
        if (para.Numbering != 0 || para.ListId != 0 || para.PnGroup != 0 || para.ListFacts) {
            Failed = true;
            return;
        }
        Paragraphs.append({para, std::move(Tail)});
        Tail.clear();
    }

    void Picture(const TQBRtfPicture &, const TQBRtfCharState &) override { Failed = true; }

private:
    TQBRtfCharState FLastState;
};

class TWriter
{
public:
    TWriter(const QTextDocument &doc, const TQBRtfWriteOptions &options) : FDoc(&doc), FOptions(options)
    {
        if (!QBRtfCodePage::IsSupported(FOptions.CodePage) || QBRtfCodePage::IsMultiByte(FOptions.CodePage))
            FOptions.CodePage = QBRtfCodePage::Ansi;
        FDefaultFamily = doc.defaultFont().family();
    }

    QByteArray Write(int from, int to, bool finalPar);

    // For many documents in one file: the paragraphs of each as it comes, and the header after the last.
    void StartBody();
    void AddParagraphs(const QTextDocument &doc, int count);
    QByteArray Header();
    const QByteArray &Body() const { return FOut; }
    bool AddBody(const QByteArray &rtf);

private:
    struct TRange
    {
        QTextBlock Block;
        int From, To;   // characters of the block in the range
        bool Separator; // the block's paragraph end is in the range
    };

    void WriteHeader();
    void WriteRanges(const QList<TRange> &ranges);

    void Collect(const QList<TRange> &ranges);
    int FontIndex(const QTextCharFormat &format);
    int FontIndex(const QString &family, int charset);
    int ColorIndex(const QColor &color);
    void WriteParagraph(const QTextBlock &block) { WriteParagraph(block.blockFormat(), block); }
    // list: the paragraph's block when it may be a list item.
    void WriteParagraph(const QTextBlockFormat &format, const QTextBlock &list);
    void WriteListItem(const QTextBlock &block);
    int BulletFontIndex(const TQBListStyle &style);
    struct TRunFormat
    {
        bool Known = false;
        TCharOut Out;
        QString Href;
        bool Image = false;
        int Charset = 0;
    };
    const TRunFormat &RunFormat(const QTextFragment &fragment);
    TCharOut CharOut(const QTextCharFormat &format);
    void WriteCharOut(const TCharOut &next);
    void WriteText(const QString &text, int codePage);
    void WritePicture(const QTextImageFormat &format);
    void WriteHex(const QByteArray &data);
    void Word(const char *word)
    {
        FOut += word;
        FNeedSpace = true;
    }
    void Word(const char *word, int param)
    {
        FOut += word;
        FOut += QByteArray::number(param);
        FNeedSpace = true;
    }

    const QTextDocument *FDoc;
    TQBRtfWriteOptions FOptions;
    QByteArray FOut;
    bool FNeedSpace = false; // a control word was written and the next text must be delimited
    QList<TFontKey> FFonts;
    QHash<TFontKey, int> FFontIndex;
    QList<QRgb> FColors;
    QHash<QRgb, int> FColorIndex;
    TCharOut FCur;
    QString FDefaultFamily;
    // What the formats of the document being written come to, by their index in it: comparing or reading
    // the formats themselves on every run costs more than writing the text.
    std::vector<TRunFormat> FRunFormats;
    // The list of the paragraph written last and the number its run of items started with.
    const QTextList *FRunList = nullptr;
    int FRunBlock = -1;
    int FRunStart = 1;
    const QTextList *FBulletList = nullptr; // the list whose bullet font was looked up last
    int FBulletFont = -1;
};

// Fonts whose characters are symbols, not letters.
bool IsSymbolFont(const QString &family)
{
    return family.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0 ||
           family.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive) ||
           family.startsWith(QLatin1String("Webdings"), Qt::CaseInsensitive);
}

int TWriter::BulletFontIndex(const TQBListStyle &style)
{
    // The standard bullet is the rich edit control's: character b7 of Symbol.
    const QString family = style.Bullet.isEmpty() ? QStringLiteral("Symbol") : style.BulletFont;
    if (family.isEmpty())
        return -1;
    QTextCharFormat format;
    format.setFontFamilies(QStringList{family});
    format.setProperty(QBRtfFormat::Charset, IsSymbolFont(family) ? 2 : 0);
    return FontIndex(format);
}

void TWriter::WriteListItem(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    const TQBListStyle style = QBListStyleOf(list->format());
    const int level = qBound(0, style.Level, 8);
    // A \pn group on every item, as each paragraph starts with \pard; its start is the number that this
    // run of the list's items began with, so readers that count paragraphs and readers that read
    // \pnstart agree with the label.
    const int number = QBListNumber(block);
    if (list != FRunList || block.blockNumber() != FRunBlock + 1)
        FRunStart = number;
    FRunList = list;
    FRunBlock = block.blockNumber();
    const QByteArray lvl = level > 0 ? "\\pnlvl" + QByteArray::number(level + 1) : QByteArray();
    if (style.Numbering == TQBListStyle::Bulleted) {
        if (list != FBulletList) {
            FBulletList = list;
            FBulletFont = BulletFontIndex(style);
        }
        const int font = FBulletFont;
        QString glyph = style.Bullet.isEmpty() ? QStringLiteral("\u00b7") : style.Bullet;
        // A symbol font's characters read as U+F0xx are its bytes xx, which every reader knows.
        if (IsSymbolFont(style.BulletFont))
            for (QChar &c : glyph)
                if (c.unicode() >= 0xF020 && c.unicode() <= 0xF0FF)
                    c = QChar(char16_t(c.unicode() - 0xF000));
        const QByteArray f = font >= 0 ? QByteArray::number(font) : QByteArray();
        FOut += "{\\pntext";
        if (font >= 0)
            FOut += "\\f" + f;
        FNeedSpace = true;
        WriteText(glyph, QBRtfCodePage::Ansi);
        FOut += "\\tab}{\\*\\pn" + lvl + "\\pnlvlblt";
        if (font >= 0)
            FOut += "\\pnf" + f;
        FOut += "\\pnindent0{\\pntxtb";
        FNeedSpace = true;
        WriteText(glyph, QBRtfCodePage::Ansi);
        FOut += "}}";
        FNeedSpace = false;
        return;
    }
    const char *type = "\\pndec";
    switch (style.Numbering) {
    case TQBListStyle::LowerAlpha:
        type = "\\pnlcltr";
        break;
    case TQBListStyle::UpperAlpha:
        type = "\\pnucltr";
        break;
    case TQBListStyle::LowerRoman:
        type = "\\pnlcrm";
        break;
    case TQBListStyle::UpperRoman:
        type = "\\pnucrm";
        break;
    default:
        break;
    }
    // The label as text for readers that know no numbering, then the numbering itself.
    FOut += "{\\pntext";
    FNeedSpace = true;
    WriteText(QBListLabel(block), FOptions.CodePage);
    FOut += "\\tab}{\\*\\pn" + (level > 0 ? lvl : QByteArray("\\pnlvlbody")) + "\\pnindent0\\pnstart" +
            QByteArray::number(FRunStart) + type;
    if (!style.Prefix.isEmpty()) {
        FOut += "{\\pntxtb";
        FNeedSpace = true;
        WriteText(style.Prefix, FOptions.CodePage);
        FOut += '}';
    }
    if (!style.Suffix.isEmpty()) {
        FOut += "{\\pntxta";
        FNeedSpace = true;
        WriteText(style.Suffix, FOptions.CodePage);
        FOut += '}';
    }
    FOut += '}';
    FNeedSpace = false;
}

int TWriter::FontIndex(const QTextCharFormat &format)
{
    return FontIndex(format.fontFamilies().toStringList().value(0),
                     format.hasProperty(QBRtfFormat::Charset) ? format.intProperty(QBRtfFormat::Charset) : 0);
}

int TWriter::FontIndex(const QString &family, int charset)
{
    TFontKey key;
    key.Name = family.isEmpty() ? FDefaultFamily : family;
    key.Charset = charset;
    const auto it = FFontIndex.constFind(key);
    if (it != FFontIndex.constEnd())
        return it.value();
    FFonts.append(key);
    FFontIndex.insert(key, int(FFonts.size() - 1));
    return int(FFonts.size() - 1);
}

int TWriter::ColorIndex(const QColor &color)
{
    const QRgb rgb = color.rgb();
    const auto it = FColorIndex.constFind(rgb);
    if (it != FColorIndex.constEnd())
        return it.value();
    FColors.append(rgb);
    FColorIndex.insert(rgb, int(FColors.size())); // entry 0 is the automatic colour
    return int(FColors.size());
}

void TWriter::Collect(const QList<TRange> &ranges)
{
    FDefaultFamily = FDoc->defaultFont().family();
    for (const TRange &range : ranges) {
        // Fragments follow one another: counting is cheaper than asking each where it starts.
        int next = range.Block.position();
        for (auto it = range.Block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int position = next;
            next += fragment.length();
            if (position + fragment.length() <= range.From || position >= range.To)
                continue;
            // Its font and colours, in the order the text names them.
            RunFormat(fragment);
        }
    }
    // Bullets' fonts go into the font table after the text's: the first is the default font.
    const QTextList *last = nullptr;
    for (const TRange &range : ranges) {
        const QTextList *list = range.Block.textList();
        if (list && list != last) {
            const TQBListStyle style = QBListStyleOf(list->format());
            if (style.Numbering == TQBListStyle::Bulleted) {
                // The first font is the default one, never a bullet's.
                if (FFonts.isEmpty())
                    FontIndex(QTextCharFormat());
                BulletFontIndex(style);
            }
        }
        last = list;
    }
}

void TWriter::WriteParagraph(const QTextBlockFormat &format, const QTextBlock &block)
{
    Word("\\pard");
    switch (format.alignment() & Qt::AlignHorizontal_Mask) {
    case Qt::AlignRight:
        Word("\\qr");
        break;
    case Qt::AlignHCenter:
        Word("\\qc");
        break;
    case Qt::AlignJustify:
        Word("\\qj");
        break;
    default:
        break;
    }
    if (block.isValid() && block.textList())
        WriteListItem(block);
    if (const int li = Twips(format.leftMargin()))
        Word("\\li", li);
    if (const int ri = Twips(format.rightMargin()))
        Word("\\ri", ri);
    if (const int fi = Twips(format.textIndent()))
        Word("\\fi", fi);
    if (const int sb = Twips(format.topMargin()))
        Word("\\sb", sb);
    if (const int sa = Twips(format.bottomMargin()))
        Word("\\sa", sa);
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (format.lineHeight() > 0) {
            Word("\\sl", int(std::round(format.lineHeight() * 240.0 / 100.0)));
            Word("\\slmult1");
        }
        break;
    case QTextBlockFormat::MinimumHeight:
        Word("\\sl", Twips(format.lineHeight()));
        Word("\\slmult0");
        break;
    case QTextBlockFormat::FixedHeight:
        Word("\\sl", -Twips(format.lineHeight()));
        Word("\\slmult0");
        break;
    default:
        break;
    }
    for (const QTextOption::Tab &tab : format.tabPositions()) {
        switch (tab.type) {
        case QTextOption::RightTab:
            Word("\\tqr");
            break;
        case QTextOption::CenterTab:
            Word("\\tqc");
            break;
        case QTextOption::DelimiterTab:
            Word("\\tqdec");
            break;
        default:
            break;
        }
        Word("\\tx", Twips(tab.position));
    }
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        Word("\\pagebb");
}

const TWriter::TRunFormat &TWriter::RunFormat(const QTextFragment &fragment)
{
    const auto index = size_t(qMax(0, fragment.charFormatIndex()));
    if (index >= FRunFormats.size())
        FRunFormats.resize(index + 1);
    TRunFormat &run = FRunFormats[index];
    if (!run.Known) {
        const QTextCharFormat format = fragment.charFormat();
        run.Known = true;
        run.Out = CharOut(format);
        run.Href = format.isAnchor() ? format.anchorHref() : QString();
        run.Image = format.isImageFormat();
        run.Charset = format.hasProperty(QBRtfFormat::Charset) ? format.intProperty(QBRtfFormat::Charset) : 0;
    }
    return run;
}

TCharOut TWriter::CharOut(const QTextCharFormat &format)
{
    TCharOut next;
    next.Font = FontIndex(format);
    next.Size = format.fontPointSize() > 0 ? int(std::round(format.fontPointSize() * 2)) : 24;
    next.Bold = format.fontWeight() >= QFont::DemiBold;
    next.Italic = format.fontItalic();
    next.Underline = format.fontUnderline();
    next.Strike = format.fontStrikeOut();
    next.Color = format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush
                     ? ColorIndex(format.foreground().color())
                     : 0;
    next.Back = format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush
                    ? ColorIndex(format.background().color())
                    : 0;
    next.VAlign = format.verticalAlignment() == QTextCharFormat::AlignSubScript     ? 1
                  : format.verticalAlignment() == QTextCharFormat::AlignSuperScript ? 2
                                                                                    : 0;
    return next;
}

void TWriter::WriteCharOut(const TCharOut &next)
{
    if (next.Font != FCur.Font)
        Word("\\f", next.Font);
    if (next.Size != FCur.Size)
        Word("\\fs", next.Size);
    if (next.Bold != FCur.Bold)
        Word(next.Bold ? "\\b" : "\\b0");
    if (next.Italic != FCur.Italic)
        Word(next.Italic ? "\\i" : "\\i0");
    if (next.Underline != FCur.Underline)
        Word(next.Underline ? "\\ul" : "\\ulnone");
    if (next.Strike != FCur.Strike)
        Word(next.Strike ? "\\strike" : "\\strike0");
    if (next.Color != FCur.Color)
        Word("\\cf", next.Color);
    if (next.Back != FCur.Back)
        Word("\\highlight", next.Back);
    if (next.VAlign != FCur.VAlign)
        Word(next.VAlign == 1 ? "\\sub" : next.VAlign == 2 ? "\\super" : "\\nosupersub");
    FCur = next;
}

void TWriter::WriteText(const QString &text, int codePage)
{
    // No code page (-1): everything beyond ASCII goes as \u.
    const unsigned char *encode = codePage < 0 ? nullptr : QBRtfCodePage::EncodeTable(codePage);
    const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *end = p + text.size();
    while (p < end) {
        const char16_t c = *p++;
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '{' && c != '}') {
            if (FNeedSpace) {
                FOut += ' ';
                FNeedSpace = false;
            }
            FOut += char(c);
            continue;
        }
        switch (c) {
        case '\\':
            FOut += "\\\\";
            FNeedSpace = false;
            continue;
        case '{':
            FOut += "\\{";
            FNeedSpace = false;
            continue;
        case '}':
            FOut += "\\}";
            FNeedSpace = false;
            continue;
        case '\t':
            Word("\\tab");
            continue;
        case 0x2028:
            Word("\\line");
            continue;
        case 0x00A0:
            FOut += "\\~";
            FNeedSpace = false;
            continue;
        case 0x00AD:
            FOut += "\\-";
            FNeedSpace = false;
            continue;
        case 0x2011:
            FOut += "\\_";
            FNeedSpace = false;
            continue;
        default:
            break;
        }
        if (c < 0x20)
            continue;
        if (c == QChar::ObjectReplacementCharacter) {
            // The character of a picture that is gone; keep its place.
            FOut += "\\u-3?";
            FNeedSpace = false;
            continue;
        }
        const unsigned char byte = encode && c >= 0x80 ? encode[c] : 0;
        if (byte) {
            static const char hex[] = "0123456789abcdef";
            FOut += "\\'";
            FOut += hex[byte >> 4];
            FOut += hex[byte & 15];
            FNeedSpace = false;
            continue;
        }
        FOut += "\\u";
        FOut += QByteArray::number(int(qint16(c)));
        FOut += '?';
        FNeedSpace = false;
    }
}

void TWriter::WriteHex(const QByteArray &data)
{
    static const char hex[] = "0123456789abcdef";
    const qsizetype start = FOut.size();
    FOut.resize(start + data.size() * 2 + data.size() / 64 + 2);
    char *out = FOut.data() + start;
    *out++ = '\n';
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto b = static_cast<unsigned char>(data.at(i));
        *out++ = hex[b >> 4];
        *out++ = hex[b & 15];
        if (i % 64 == 63)
            *out++ = '\n';
    }
    FOut.resize(out - FOut.constData());
}

void TWriter::WritePicture(const QTextImageFormat &format)
{
    const QByteArray kept = format.property(QBRtfFormat::KeptRtf).toByteArray();
    if (!kept.isEmpty()) {
        FOut += FOptions.PlainRtf ? RtfWithoutGroups(kept, "result") : kept;
        FNeedSpace = false;
        return;
    }
    const QVariant resource = FDoc->resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image = qvariant_cast<QImage>(resource);
    QByteArray data = format.property(QBRtfFormat::PictureData).toByteArray();
    int kind = format.intProperty(QBRtfFormat::PictureKind);
    if (data.isEmpty() || (kind != QBRtfFormat::Png && kind != QBRtfFormat::Jpeg)) {
        if (image.isNull()) {
            // The picture is gone from the document's resources: keep its place in the text.
            FOut += "\\u-3?";
            FNeedSpace = false;
            return;
        }
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        kind = QBRtfFormat::Png;
    }
    const double width = format.width() > 0 ? format.width() : image.width();
    const double height = format.height() > 0 ? format.height() : image.height();
    FOut += kind == QBRtfFormat::Jpeg ? "{\\pict\\jpegblip" : "{\\pict\\pngblip";
    if (!image.isNull()) {
        FOut += "\\picw" + QByteArray::number(image.width());
        FOut += "\\pich" + QByteArray::number(image.height());
    }
    FOut += "\\picwgoal" + QByteArray::number(Twips(width));
    FOut += "\\pichgoal" + QByteArray::number(Twips(height));
    WriteHex(data);
    FOut += '}';
    FNeedSpace = false;
}

QByteArray TWriter::Write(int from, int to, bool finalPar)
{
    QList<TRange> ranges;
    if (to > from || finalPar) {
        for (QTextBlock block = FDoc->findBlock(from); block.isValid(); block = block.next()) {
            const int start = block.position();
            const int separator = start + block.length() - 1;
            if (start > to || (start == to && ranges.size() > 0 && !finalPar))
                break;
            ranges.append({block, qMax(from, start), qMin(to, separator), separator < to});
            if (separator >= to)
                break;
        }
    }
    if (finalPar && !ranges.isEmpty())
        ranges.last().Separator = true;

    Collect(ranges);
    if (FFonts.isEmpty())
        FontIndex(QTextCharFormat());
    FOut.reserve(qMax(256, to - from) * 2);
    WriteHeader();
    StartBody();
    WriteRanges(ranges);
    FOut += "}\n";
    return FOut;
}

void TWriter::WriteHeader()
{
    FOut += "{\\rtf1\\ansi\\ansicpg" + QByteArray::number(FOptions.CodePage) + "\\deff0\\uc1{\\fonttbl";
    for (int i = 0; i < FFonts.size(); ++i) {
        FOut += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" + QByteArray::number(FFonts.at(i).Charset) + ' ';
        FNeedSpace = false;
        QString name = FFonts.at(i).Name;
        name.remove(QLatin1Char(';'));
        WriteText(name, QBRtfCodePage::OfCharset(FFonts.at(i).Charset, FOptions.CodePage));
        FOut += ";}";
    }
    FOut += '}';
    if (!FColors.isEmpty()) {
        FOut += "{\\colortbl ;";
        for (const QRgb rgb : std::as_const(FColors))
            FOut += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb)) + "\\blue" +
                    QByteArray::number(qBlue(rgb)) + ';';
        FOut += '}';
    }
    FOut += "\n\\viewkind4";
}

void TWriter::WriteRanges(const QList<TRange> &ranges)
{
    for (const TRange &range : std::as_const(ranges)) {
        WriteParagraph(range.Block);
        QString href;
        TCharOut beforeField;
        bool inField = false;
        int next = range.Block.position();
        for (auto it = range.Block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int position = next;
            next += fragment.length();
            const int start = qMax(position, range.From);
            const int end = qMin(position + fragment.length(), range.To);
            if (start >= end)
                continue;
            const TRunFormat &run = RunFormat(fragment);
            if (run.Href != href) {
                if (inField) {
                    FOut += "}}}";
                    FNeedSpace = false; // a space after a brace would be text
                    FCur = beforeField;
                    inField = false;
                }
                href = run.Href;
                if (!href.isEmpty()) {
                    beforeField = FCur;
                    inField = true;
                    // A quoted argument ends at the next quote, so a target holding one is written
                    // bare (it then has no space, as readers take it); otherwise its quotes become %22.
                    const bool bare =
                        href.contains(QLatin1Char('"')) && !href.startsWith(QLatin1Char('"')) &&
                        !(href.startsWith(QLatin1Char('\\')) && href.size() > 1 && href.at(1).isLetter()) &&
                        std::none_of(href.begin(), href.end(), [](QChar c) { return c.isSpace(); });
                    FOut += bare ? "{\\field{\\*\\fldinst{HYPERLINK " : "{\\field{\\*\\fldinst{HYPERLINK \"";
                    FNeedSpace = false;
                    // Readers take the instruction's bytes in whatever font is current there, so the
                    // target goes in Unicode beyond ASCII.
                    WriteText(bare ? href : QString(href).replace(QLatin1Char('"'), QLatin1String("%22")), -1);
                    FOut += bare ? "}}{\\fldrslt{" : "\"}}{\\fldrslt{";
                    FNeedSpace = false;
                }
            }
            WriteCharOut(run.Out);
            if (run.Image) {
                const QTextImageFormat image = fragment.charFormat().toImageFormat();
                for (int i = start; i < end; ++i)
                    WritePicture(image);
            } else {
                const int codePage = QBRtfCodePage::OfCharset(run.Charset, FOptions.CodePage);
                if (start == position && end == position + fragment.length())
                    WriteText(fragment.text(), codePage);
                else
                    WriteText(fragment.text().mid(start - position, end - start), codePage);
            }
        }
        if (inField) {
            FOut += "}}}";
            FNeedSpace = false;
            FCur = beforeField;
        }
        if (range.Separator) {
            FOut += "\\par\n";
            FNeedSpace = false;
        }
    }
}

void TWriter::StartBody()
{
    FCur = TCharOut();
    FCur.Font = -1; // nothing written yet: the first run names its font
    FCur.Size = -1;
    FNeedSpace = true;
}

void TWriter::AddParagraphs(const QTextDocument &doc, int count)
{
    FDoc = &doc;
    // Lists and cached formats belong to the document they came from; a later one may reuse the addresses.
    FRunList = nullptr;
    FRunBlock = -1;
    FBulletList = nullptr;
    FRunFormats.clear();
    QList<TRange> ranges;
    QTextBlock block = doc.begin();
    for (int i = 0; i < count && block.isValid(); ++i, block = block.next())
        ranges.append({block, block.position(), block.position() + block.length() - 1, true});
    Collect(ranges);
    WriteRanges(ranges);
}

QByteArray TWriter::Header()
{
    if (FFonts.isEmpty())
        FontIndex(QTextCharFormat());
    QByteArray body = std::move(FOut);
    FOut.clear();
    WriteHeader();
    QByteArray header = std::move(FOut);
    FOut = std::move(body);
    return header;
}

bool TWriter::AddBody(const QByteArray &rtf)
{
    struct TReader
    {
        TBodySink Sink;
        TQBRtfParser Parser;
        TReader() : Parser(Sink, {false, true}) { Sink.Parser = &Parser; }
    } reader;
    reader.Parser.Parse(rtf);
    TBodySink &body = reader.Sink;
    if (body.Failed)
        return false;
    // The empty paragraph after a final mark is taken away when the next paragraph starts; text after
    // the last mark keeps the plain format of the paragraph it went into.
    if (body.Paragraphs.isEmpty() || !body.Tail.isEmpty())
        body.Paragraphs.append({TQBRtfParaState(), std::move(body.Tail)});
    const QTextBlock none;
    const TQBRtfParaState *lastPara = nullptr;
    QTextBlockFormat format;
    for (const TBodySink::TParagraph &paragraph : std::as_const(body.Paragraphs)) {
        if (!lastPara || !(paragraph.Para == *lastPara)) {
            format = QBRtfBlockFormat(paragraph.Para);
            lastPara = &paragraph.Para;
        }
        WriteParagraph(format, none);
        for (const TBodySink::TRun &run : paragraph.Runs) {
            TCharOut out = run.Out;
            out.Font = FontIndex(run.Family, run.Charset);
            out.Color = run.Color ? ColorIndex(run.Foreground) : 0;
            out.Back = run.Back ? ColorIndex(run.Background) : 0;
            WriteCharOut(out);
            WriteText(run.Text, QBRtfCodePage::OfCharset(run.Charset, FOptions.CodePage));
        }
        FOut += "\\par\n";
        FNeedSpace = false;
    }
    return true;
}

} // namespace

class TQBRtfDocumentWriter : public TWriter
{
public:
    using TWriter::TWriter;
};

QByteArray TQBRtfWriter::Write(const QTextDocument &document, const TQBRtfWriteOptions &options)
{
    return TWriter(document, options).Write(0, qMax(0, document.characterCount() - 1), true);
}

QByteArray TQBRtfWriter::WriteSelection(const QTextCursor &cursor, const TQBRtfWriteOptions &options)
{
    const QTextDocument *document = cursor.document();
    if (!document) {
        QTextDocument empty;
        return TWriter(empty, options).Write(0, 0, false);
    }
    return TWriter(*document, options).Write(cursor.selectionStart(), cursor.selectionEnd(), false);
}

TQBRtfStreamWriter::TQBRtfStreamWriter(const QTextDocument &empty, const TQBRtfWriteOptions &options)
    : FWriter(std::make_unique<TQBRtfDocumentWriter>(empty, options))
{
    FWriter->StartBody();
}

TQBRtfStreamWriter::~TQBRtfStreamWriter() = default;

void TQBRtfStreamWriter::AddParagraphs(const QTextDocument &document, int count)
{
    FWriter->AddParagraphs(document, count);
}

QByteArray TQBRtfStreamWriter::Header()
{
    return FWriter->Header();
}

const QByteArray &TQBRtfStreamWriter::Body() const
{
    return FWriter->Body();
}

bool TQBRtfStreamWriter::AddBody(const QByteArray &rtf)
{
    return FWriter->AddBody(rtf);
}
