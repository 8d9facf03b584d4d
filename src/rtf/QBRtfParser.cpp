// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfListLabels.h"
#include "QBRtfParserImpl.h"
#include "QBRtfText.h"

#include <QStringDecoder>

void TQBRtfParser::TImpl::ControlSymbol(const TQBRtfToken &token)
{
    if (token.Symbol == '*') {
        FStar = true;
        return;
    }
    FStar = false;
    if (FSkip > 0) {
        --FSkip;
        return;
    }
    switch (token.Symbol) {
    case '~':
        AppendChar(0x00A0);
        break;
    case '-':
        AppendChar(0x00AD);
        break;
    case '_':
        AppendChar(0x2011);
        break;
    case '\n':
        if (Top().Dest == TDest::Text)
            ParagraphMark();
        break;
    default:
        break;
    }
}

void TQBRtfParser::TImpl::Finish()
{
    FlushText();
    // Groups left open at the end: pictures and objects still come through.
    FClosingAtEnd = true;
    while (FStack.size() > 1 && (FInPict || FInObject)) {
        TQBRtfToken end;
        end.Offset = FInput.size() - 1;
        FOverflow = 0;
        GroupEnd(end);
    }
    TQBRtfParaState last = FHaveFinalPara ? FFinalPara : Resolved(FStack.back().Para);
    if (FPendingBreak) {
        if (FOptions.WholeDocument) {
            FPendingBreak = false;
            last = FPendingPara;
        } else {
            EmitPendingBreak();
        }
    }
    FSink.ParagraphEnd(last, false);
}

void TQBRtfParser::TImpl::Parse(const QByteArray &input)
{
    FInput = QByteArrayView(input);
    FStack.clear();
    FStack.emplace_back();
    TQBRtfTokenizer tokenizer(FInput);
    TQBRtfToken token;
    while (!FDone && tokenizer.Next(token)) {
        switch (token.Kind) {
        case TQBRtfTokenKind::GroupStart:
            GroupStart(token);
            break;
        case TQBRtfTokenKind::GroupEnd:
            GroupEnd(token);
            break;
        case TQBRtfTokenKind::ControlWord:
            ControlWord(token);
            break;
        case TQBRtfTokenKind::ControlSymbol:
            ControlSymbol(token);
            break;
        case TQBRtfTokenKind::Text: {
            FStar = false;
            QByteArrayView data = token.Data;
            if (FSkip > 0) {
                const qsizetype n = qMin<qsizetype>(FSkip, data.size());
                FSkip -= int(n);
                data = data.sliced(n);
            }
            if (data.isEmpty())
                break;
            switch (Top().Dest) {
            case TDest::Text:
            case TDest::FieldInst:
            case TDest::FontTable:
                AppendBytes(data);
                break;
            case TDest::ColorTable:
                for (const char c : data) {
                    if (c == ';') {
                        FColors.append(FEntryColor);
                        FEntryColor = TQBRtfColor();
                    }
                }
                break;
            case TDest::Pict:
                PictureHex(data);
                break;
            case TDest::PnText:
            case TDest::PnBefore:
            case TDest::PnAfter:
            case TDest::LevelText:
            case TDest::LevelNumbers:
                AppendAux(data);
                break;
            default:
                break;
            }
            break;
        }
        case TQBRtfTokenKind::HexByte:
            FStar = false;
            if (FSkip > 0) {
                --FSkip;
                break;
            }
            if (TextDest()) {
                const char byte = char(token.Byte);
                AppendBytes(QByteArrayView(&byte, 1));
            } else if (AuxDest()) {
                const char byte = char(token.Byte);
                AppendAux(QByteArrayView(&byte, 1));
            }
            break;
        case TQBRtfTokenKind::Binary:
            FStar = false;
            if (FSkip > 0) {
                --FSkip;
                break;
            }
            if (Top().Dest == TDest::Pict && FOptions.WantPictureData) {
                FNibble = -1;
                FPict.Data.append(token.Data);
            }
            break;
        case TQBRtfTokenKind::End:
            break;
        }
    }
    Finish();
}

void TQBRtfParser::TImpl::ParsePlain(const QByteArray &input)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(input);
    if (utf8.hasError()) {
        text.clear();
        QBRtfCodePage::Decode(QBRtfCodePage::Ansi, input, text);
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    FStack.clear();
    FStack.emplace_back();
    const TQBRtfCharState state;
    const TQBRtfParaState para;
    QString line;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = text.at(i).unicode();
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            if (!line.isEmpty())
                FSink.Text(line, state);
            line.clear();
            FSink.ParagraphEnd(para, true);
            continue;
        }
        if (QBRtfParse::Keep(c))
            line.append(QChar(c));
    }
    if (!line.isEmpty())
        FSink.Text(line, state);
    FSink.ParagraphEnd(para, false);
}

TQBRtfParser::TQBRtfParser(IQBRtfSink &sink, TOptions options) : FImpl(new TImpl(sink, options)) {}

TQBRtfParser::~TQBRtfParser()
{
    delete FImpl;
}

void TQBRtfParser::Parse(const QByteArray &input)
{
    if (input.startsWith("{\\rtf"))
        FImpl->Parse(input);
    else
        FImpl->ParsePlain(input);
}

const TQBRtfFont *TQBRtfParser::FindFont(int number) const
{
    return FImpl->FindFont(number);
}

TQBRtfColor TQBRtfParser::Color(int index) const
{
    if (index < 0 || index >= FImpl->FColors.size())
        return {};
    return FImpl->FColors.at(index);
}

namespace {

// Text as the editor holds it; with a paragraph callback, one paragraph at a time with its list label.
class TPlainTextSink final : public IQBRtfSink
{
public:
    using TParagraph = std::function<void(const TQBRtfTextParagraph &)>;

    TPlainTextSink(const TQBRtfParser &parser, bool whole, TParagraph paragraph)
        : FWhole(whole), FParagraph(std::move(paragraph)), FLists(parser)
    {
    }

    QString Result;

    void Text(QStringView text, const TQBRtfCharState &) override { Result += text; }
    void ParagraphEnd(const TQBRtfParaState &para, bool withBreak) override
    {
        if (!FParagraph) {
            if (withBreak)
                Result += QLatin1Char('\n');
            return;
        }
        TQBRtfTextParagraph paragraph;
        paragraph.Text = std::move(Result);
        Result.clear();
        if (withBreak || FWhole) {
            const TQBRtfListTracker::TItem item = FLists.Add(para, FParagraphs++);
            if (item.List >= 0) {
                paragraph.Label = QBListLabelText(item.Style, item.Number);
                paragraph.Level = item.Style.Level;
            }
        }
        FParagraph(paragraph);
    }
    void Picture(const TQBRtfPicture &, const TQBRtfCharState &) override
    {
        Result += QChar::ObjectReplacementCharacter;
    }

private:
    bool FWhole;
    TParagraph FParagraph;
    TQBRtfListTracker FLists;
    int FParagraphs = 0;
};

// The sink needs the parser's font table for bullets, and the parser its sink.
struct TPlainTextReader
{
    TQBRtfParser Parser;
    TPlainTextSink Sink;

    TPlainTextReader(bool whole, TPlainTextSink::TParagraph paragraph)
        : Parser(Sink, Options(whole)), Sink(Parser, whole, std::move(paragraph))
    {
    }

    static TQBRtfParser::TOptions Options(bool whole)
    {
        TQBRtfParser::TOptions options;
        options.WholeDocument = whole;
        options.WantPictureData = false;
        return options;
    }
};

} // namespace

QString RtfToPlainText(const QByteArray &rtf)
{
    TPlainTextReader reader(true, {});
    reader.Parser.Parse(rtf);
    return std::move(reader.Sink.Result);
}

void RtfForEachParagraph(const QByteArray &rtf, bool whole,
                         const std::function<void(const TQBRtfTextParagraph &paragraph)> &paragraph)
{
    TPlainTextReader reader(whole, paragraph);
    reader.Parser.Parse(rtf);
}
