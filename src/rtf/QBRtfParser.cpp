// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfParser.h"
#include "QBRtfCodePages.h"
#include "QBRtfText.h"
#include "QBRtfTokenizer.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <climits>

#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

enum class TDest {
    Text,
    Skip,
    FontTable,
    ColorTable,
    FieldInst,
    Pn,
    ListTable,
    ListOverrideTable,
    Pict,
    Object,
    ObjectResult,
};

enum class TWord {
    Unknown,
    // destinations
    Rtf,
    FontTbl,
    ColorTbl,
    Pict,
    Object,
    Result,
    Field,
    FldInst,
    FldRslt,
    Pn,
    PnText,
    ListText,
    ListTable,
    ListOverrideTable,
    ShpPict,
    NonShpPict,
    SkipDest,
    // document
    Ansi,
    AnsiCpg,
    Mac,
    Pc,
    Pca,
    Deff,
    Uc,
    U,
    // font and colour tables
    F,
    FCharset,
    Cpg,
    Red,
    Green,
    Blue,
    // characters
    Plain,
    B,
    I,
    Ul,
    UlNone,
    UlOther,
    Strike,
    Fs,
    Cf,
    Highlight,
    Cb,
    ChCbPat,
    Sub,
    Super,
    NoSuperSub,
    Up,
    Dn,
    // paragraphs
    Pard,
    Ql,
    Qr,
    Qc,
    Qj,
    Li,
    Ri,
    Fi,
    Sb,
    Sa,
    Sl,
    SlMult,
    Tx,
    Tb,
    Tqr,
    Tqc,
    Tqdec,
    PageBb,
    Ls,
    Ilvl,
    // text
    Par,
    Sect,
    Line,
    Tab,
    Page,
    EmDash,
    EnDash,
    EmSpace,
    EnSpace,
    QmSpace,
    LQuote,
    RQuote,
    LDblQuote,
    RDblQuote,
    Bullet,
    Cell,
    Row,
    // numbering
    PnLvlBlt,
    PnLvlBody,
    PnLvlCont,
    PnLvl,
    PnDec,
    PnLcLtr,
    PnUcLtr,
    PnLcRm,
    PnUcRm,
    PnOther,
    // word-processor lists
    List,
    ListId,
    ListLevel,
    LevelNfc,
    ListOverride,
    // pictures and objects
    PngBlip,
    JpegBlip,
    DiBitmap,
    WBitmap,
    WMetafile,
    EmfBlip,
    OtherPict,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
    WbmBitsPixel,
    WbmPlanes,
    WbmWidthBytes,
    ObjW,
    ObjH,
    ObjScaleX,
    ObjScaleY,
};

const std::unordered_map<std::string_view, TWord> &Words()
{
    static const std::unordered_map<std::string_view, TWord> words = {
        {"rtf", TWord::Rtf},
        {"fonttbl", TWord::FontTbl},
        {"colortbl", TWord::ColorTbl},
        {"pict", TWord::Pict},
        {"object", TWord::Object},
        {"result", TWord::Result},
        {"field", TWord::Field},
        {"fldinst", TWord::FldInst},
        {"fldrslt", TWord::FldRslt},
        {"pn", TWord::Pn},
        {"pntext", TWord::PnText},
        {"listtext", TWord::ListText},
        {"listtable", TWord::ListTable},
        {"listoverridetable", TWord::ListOverrideTable},
        {"shppict", TWord::ShpPict},
        {"nonshppict", TWord::NonShpPict},
        // Destinations whose text is not body text.
        {"stylesheet", TWord::SkipDest},
        {"info", TWord::SkipDest},
        {"header", TWord::SkipDest},
        {"headerl", TWord::SkipDest},
        {"headerr", TWord::SkipDest},
        {"headerf", TWord::SkipDest},
        {"footer", TWord::SkipDest},
        {"footerl", TWord::SkipDest},
        {"footerr", TWord::SkipDest},
        {"footerf", TWord::SkipDest},
        {"footnote", TWord::SkipDest},
        {"annotation", TWord::SkipDest},
        {"xe", TWord::SkipDest},
        {"tc", TWord::SkipDest},
        {"txe", TWord::SkipDest},
        {"rxe", TWord::SkipDest},
        {"revtbl", TWord::SkipDest},
        {"filetbl", TWord::SkipDest},
        {"author", TWord::SkipDest},
        {"operator", TWord::SkipDest},
        {"title", TWord::SkipDest},
        {"subject", TWord::SkipDest},
        {"keywords", TWord::SkipDest},
        {"comment", TWord::SkipDest},
        {"doccomm", TWord::SkipDest},
        {"pntxta", TWord::SkipDest},
        {"pntxtb", TWord::SkipDest},
        {"objdata", TWord::SkipDest},
        {"objclass", TWord::SkipDest},
        {"objname", TWord::SkipDest},
        {"datafield", TWord::SkipDest},
        {"ansi", TWord::Ansi},
        {"ansicpg", TWord::AnsiCpg},
        {"mac", TWord::Mac},
        {"pc", TWord::Pc},
        {"pca", TWord::Pca},
        {"deff", TWord::Deff},
        {"uc", TWord::Uc},
        {"u", TWord::U},
        {"f", TWord::F},
        {"fcharset", TWord::FCharset},
        {"cpg", TWord::Cpg},
        {"red", TWord::Red},
        {"green", TWord::Green},
        {"blue", TWord::Blue},
        {"plain", TWord::Plain},
        {"b", TWord::B},
        {"i", TWord::I},
        {"ul", TWord::Ul},
        {"ulnone", TWord::UlNone},
        {"uld", TWord::UlOther},
        {"uldash", TWord::UlOther},
        {"uldashd", TWord::UlOther},
        {"uldashdd", TWord::UlOther},
        {"uldb", TWord::UlOther},
        {"ulhwave", TWord::UlOther},
        {"ulldash", TWord::UlOther},
        {"ulth", TWord::UlOther},
        {"ulthd", TWord::UlOther},
        {"ulthdash", TWord::UlOther},
        {"ulthdashd", TWord::UlOther},
        {"ulthdashdd", TWord::UlOther},
        {"ulthldash", TWord::UlOther},
        {"ululdbwave", TWord::UlOther},
        {"ulw", TWord::UlOther},
        {"ulwave", TWord::UlOther},
        {"strike", TWord::Strike},
        {"striked", TWord::Strike},
        {"fs", TWord::Fs},
        {"cf", TWord::Cf},
        {"highlight", TWord::Highlight},
        {"cb", TWord::Cb},
        {"chcbpat", TWord::ChCbPat},
        {"sub", TWord::Sub},
        {"super", TWord::Super},
        {"nosupersub", TWord::NoSuperSub},
        {"up", TWord::Up},
        {"dn", TWord::Dn},
        {"pard", TWord::Pard},
        {"ql", TWord::Ql},
        {"qr", TWord::Qr},
        {"qc", TWord::Qc},
        {"qj", TWord::Qj},
        {"qd", TWord::Qj},
        {"li", TWord::Li},
        {"ri", TWord::Ri},
        {"fi", TWord::Fi},
        {"sb", TWord::Sb},
        {"sa", TWord::Sa},
        {"sl", TWord::Sl},
        {"slmult", TWord::SlMult},
        {"tx", TWord::Tx},
        {"tb", TWord::Tb},
        {"tqr", TWord::Tqr},
        {"tqc", TWord::Tqc},
        {"tqdec", TWord::Tqdec},
        {"pagebb", TWord::PageBb},
        {"ls", TWord::Ls},
        {"ilvl", TWord::Ilvl},
        {"par", TWord::Par},
        {"sect", TWord::Sect},
        {"line", TWord::Line},
        {"tab", TWord::Tab},
        {"page", TWord::Page},
        {"emdash", TWord::EmDash},
        {"endash", TWord::EnDash},
        {"emspace", TWord::EmSpace},
        {"enspace", TWord::EnSpace},
        {"qmspace", TWord::QmSpace},
        {"lquote", TWord::LQuote},
        {"rquote", TWord::RQuote},
        {"ldblquote", TWord::LDblQuote},
        {"rdblquote", TWord::RDblQuote},
        {"bullet", TWord::Bullet},
        {"cell", TWord::Cell},
        {"row", TWord::Row},
        {"nestcell", TWord::Cell},
        {"nestrow", TWord::Row},
        {"pnlvlblt", TWord::PnLvlBlt},
        {"pnlvlbody", TWord::PnLvlBody},
        {"pnlvlcont", TWord::PnLvlCont},
        {"pnlvl", TWord::PnLvl},
        {"pndec", TWord::PnDec},
        {"pnlcltr", TWord::PnLcLtr},
        {"pnucltr", TWord::PnUcLtr},
        {"pnlcrm", TWord::PnLcRm},
        {"pnucrm", TWord::PnUcRm},
        {"pnord", TWord::PnOther},
        {"pncard", TWord::PnOther},
        {"pnordt", TWord::PnOther},
        {"list", TWord::List},
        {"listid", TWord::ListId},
        {"listlevel", TWord::ListLevel},
        {"levelnfc", TWord::LevelNfc},
        {"levelnfcn", TWord::LevelNfc},
        {"listoverride", TWord::ListOverride},
        {"pngblip", TWord::PngBlip},
        {"jpegblip", TWord::JpegBlip},
        {"dibitmap", TWord::DiBitmap},
        {"wbitmap", TWord::WBitmap},
        {"wmetafile", TWord::WMetafile},
        {"emfblip", TWord::EmfBlip},
        {"pmmetafile", TWord::OtherPict},
        {"macpict", TWord::OtherPict},
        {"picw", TWord::PicW},
        {"pich", TWord::PicH},
        {"picwgoal", TWord::PicWGoal},
        {"pichgoal", TWord::PicHGoal},
        {"picscalex", TWord::PicScaleX},
        {"picscaley", TWord::PicScaleY},
        {"wbmbitspixel", TWord::WbmBitsPixel},
        {"wbmplanes", TWord::WbmPlanes},
        {"wbmwidthbytes", TWord::WbmWidthBytes},
        {"objw", TWord::ObjW},
        {"objh", TWord::ObjH},
        {"objscalex", TWord::ObjScaleX},
        {"objscaley", TWord::ObjScaleY},
    };
    return words;
}

TWord Lookup(QByteArrayView word)
{
    const auto &words = Words();
    const auto it = words.find(std::string_view(word.data(), size_t(word.size())));
    return it == words.end() ? TWord::Unknown : it->second;
}

struct TGroupState
{
    TDest Dest = TDest::Text;
    TQBRtfCharState Char;
    TQBRtfParaState Para;
    int Uc = 1;
    int Field = -1;
    qsizetype Start = 0;
    // Numbering being described by a \pn group.
    int PnKind = 0; // 0 none, 1 bullet, 2 body, 3 continuation
    int PnType = 2;
    int PnLevel = 0;
    TQBRtfTabKind TabKind = TQBRtfTabKind::Left; // set by \tqr, \tqc, \tqdec for the next \tx
};

constexpr int MaxTabs = 32;
constexpr int MaxListLevels = 9;
constexpr int MaxTwips = 1440 * 100; // shown sizes beyond 100 inches are cut

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int NumberingOfNfc(int nfc)
{
    switch (nfc) {
    case 0:
        return 2;
    case 1:
        return 6;
    case 2:
        return 5;
    case 3:
        return 4;
    case 4:
        return 3;
    case 23:
        return 1;
    case 255:
        return 0;
    default:
        return 2;
    }
}

// Characters the body may hold: control characters other than tab go, and the characters the text
// document reserves for its own structure are replaced.
inline bool Keep(char16_t &c)
{
    if (c < 0x20)
        return c == '\t';
    if (c == 0x2029)
        c = 0x2028;
    else if (c >= 0xFDD0 && c <= 0xFDEF)
        c = 0xFFFD;
    return true;
}

QString HyperlinkTarget(const QString &instruction)
{
    const QString text = instruction.trimmed();
    if (!text.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return {};
    qsizetype i = 9;
    const qsizetype n = text.size();
    QString target;
    QString bookmark;
    bool haveTarget = false;
    bool nextIsBookmark = false;
    bool skipNextArgument = false;
    while (i < n) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        QString argument;
        if (c == QLatin1Char('\\') && i + 1 < n && text.at(i + 1).isLetter()) {
            const QChar sw = text.at(i + 1).toLower();
            i += 2;
            // \l names a bookmark; \o (tip) and \t (frame) take an argument that is not the target.
            nextIsBookmark = sw == QLatin1Char('l');
            skipNextArgument = sw == QLatin1Char('o') || sw == QLatin1Char('t');
            continue;
        }
        if (c == QLatin1Char('"')) {
            const qsizetype end = text.indexOf(QLatin1Char('"'), i + 1);
            argument = text.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? n : end + 1;
        } else {
            qsizetype end = i;
            while (end < n && !text.at(end).isSpace())
                ++end;
            argument = text.mid(i, end - i);
            i = end;
        }
        if (nextIsBookmark) {
            bookmark = argument;
            nextIsBookmark = false;
        } else if (skipNextArgument) {
            skipNextArgument = false;
        } else if (!haveTarget) {
            target = argument;
            haveTarget = true;
        }
    }
    if (!bookmark.isEmpty())
        target += QLatin1Char('#') + bookmark;
    return target;
}

} // namespace

class TQBRtfParser::TImpl
{
public:
    TImpl(IQBRtfSink &sink, TOptions options) : FSink(sink), FOptions(options) {}

    void Parse(const QByteArray &input);
    void ParsePlain(const QByteArray &input);

    IQBRtfSink &FSink;
    TOptions FOptions;
    QByteArrayView FInput;

    std::vector<TGroupState> FStack;
    int FOverflow = 0; // groups opened beyond MaxDepth, read without a state of their own
    bool FStar = false;
    int FSkip = 0;
    bool FDone = false;

    int FDocCodePage = QBRtfCodePage::Ansi;
    int FDeff = 0;
    QHash<int, TQBRtfFont> FFonts;
    QList<TQBRtfColor> FColors;

    // Font table entry being read.
    int FEntryNumber = 0;
    int FEntryCharset = 1;
    int FEntryCpg = 0;
    QByteArray FEntryName;  // bytes not decoded yet
    QString FEntryNameText; // decoded so far, up to a \u
    bool FEntryOpen = false;

    // Colour table entry being read.
    TQBRtfColor FEntryColor;

    // Word-processor lists: list id -> level number formats; override number -> list id.
    QHash<int, QList<int>> FLists;
    QHash<int, int> FOverrides;
    QList<int> FCurListLevels;
    int FCurOverrideList = 0;

    QList<QString> FFields;

    // Picture or object being read, with the stack size of the group that opened it.
    bool FInPict = false;
    bool FPictForObject = false;
    size_t FPictDepth = 0;
    TQBRtfPicture FPict;
    int FPictScaleX = 100, FPictScaleY = 100, FPictGoalW = 0, FPictGoalH = 0;
    int FNibble = -1;
    bool FInObject = false;
    size_t FObjectDepth = 0;
    TQBRtfPicture FObject;
    int FObjScaleX = 100, FObjScaleY = 100;
    qsizetype FPictWord = 0, FObjectWord = 0; // where \pict and \object stand
    bool FClosingAtEnd = false;               // closing groups the input left open

    // The group of a picture or object from its opening word on: what came before the word in the same
    // group was read as text already and must not come back when the group is written out again.
    QByteArray KeptSource(qsizetype groupStart, qsizetype word, qsizetype groupEnd) const
    {
        QByteArray source = "{";
        if (word > groupStart + 1)
            source += FInput.sliced(word, groupEnd + 1 - word);
        else
            source = FInput.sliced(groupStart, groupEnd + 1 - groupStart).toByteArray();
        return FClosingAtEnd ? RtfClosedGroups(source) : source;
    }

    // Text waiting to go to the sink, all in one character state.
    QString FText;
    QByteArray FBytes; // bytes of a multi-byte code page waiting to be decoded together
    int FBytesCodePage = 0;
    TQBRtfCharState FTextState;
    int FTableCodePage = 0;
    const char16_t *FTable = nullptr;
    int FCpFont = INT_MIN;
    int FCpValue = QBRtfCodePage::Ansi;

    bool FPendingBreak = false;
    TQBRtfParaState FPendingPara;
    bool FPendingPageBreak = false;
    int FPendingCells = 0;
    bool FHaveFinalPara = false;
    TQBRtfParaState FFinalPara;

    TGroupState &Top() { return FStack.back(); }
    bool TextDest() const
    {
        const TDest d = FStack.back().Dest;
        return d == TDest::Text || d == TDest::FieldInst || d == TDest::FontTable;
    }

    int CodePage()
    {
        const TGroupState &top = Top();
        if (top.Dest == TDest::FontTable)
            return FEntryCpg ? FEntryCpg : QBRtfCodePage::OfCharset(FEntryCharset, FDocCodePage);
        if (top.Char.Font != FCpFont) {
            FCpFont = top.Char.Font;
            const TQBRtfFont *font = FindFont(FCpFont);
            FCpValue = !font ? FDocCodePage
                       : font->CodePage && QBRtfCodePage::IsSupported(font->CodePage)
                           ? font->CodePage
                           : QBRtfCodePage::OfCharset(font->Charset, FDocCodePage);
        }
        return FCpValue;
    }

    const TQBRtfFont *FindFont(int number) const
    {
        const auto it = FFonts.constFind(number < 0 ? FDeff : number);
        return it == FFonts.constEnd() ? nullptr : &it.value();
    }

    // Where decoded characters of the current destination go.
    QString *Target()
    {
        switch (Top().Dest) {
        case TDest::Text:
            if (FText.isEmpty() && FBytes.isEmpty()) {
                FTextState = Top().Char;
                for (; FPendingCells > 0; --FPendingCells)
                    FText += QLatin1Char('\t');
            }
            return &FText;
        case TDest::FieldInst:
            return Top().Field >= 0 ? &FFields[Top().Field] : nullptr;
        default:
            return nullptr;
        }
    }

    void FlushBytes()
    {
        if (FBytes.isEmpty())
            return;
        QString decoded;
        QBRtfCodePage::Decode(FBytesCodePage, FBytes, decoded);
        FBytes.clear();
        QString *target = Top().Dest == TDest::FieldInst && Top().Field >= 0 ? &FFields[Top().Field] : &FText;
        for (QChar ch : decoded) {
            char16_t c = ch.unicode();
            if (Keep(c))
                target->append(QChar(c));
        }
    }

    void EmitPendingBreak()
    {
        if (FPendingBreak) {
            FPendingBreak = false;
            FSink.ParagraphEnd(FPendingPara, true);
        }
    }

    void FlushText()
    {
        FlushBytes();
        if (FText.isEmpty())
            return;
        EmitPendingBreak();
        FSink.Text(FText, FTextState);
        FText.clear();
    }

    void AppendChar(char16_t c)
    {
        if (!Keep(c))
            return;
        if (Top().Dest == TDest::FontTable) {
            DecodeEntryName();
            FEntryNameText.append(QChar(c));
            FEntryOpen = true;
            return;
        }
        FlushBytes();
        if (QString *target = Target())
            target->append(QChar(c));
    }

    void AppendBytes(QByteArrayView data)
    {
        if (Top().Dest == TDest::FontTable) {
            for (const char c : data) {
                if (c == ';')
                    FinishFontEntry();
                else if (static_cast<unsigned char>(c) >= 0x20) {
                    FEntryName.append(c);
                    FEntryOpen = true;
                }
            }
            return;
        }
        QString *target = Target();
        if (!target)
            return;
        const int cp = CodePage();
        if (QBRtfCodePage::IsMultiByte(cp)) {
            if (!FBytes.isEmpty() && FBytesCodePage != cp)
                FlushBytes();
            FBytesCodePage = cp;
            for (const char c : data) {
                const auto b = static_cast<unsigned char>(c);
                if (b >= 0x20 || b == '\t') {
                    if (b == '\t') {
                        FlushBytes();
                        target->append(QLatin1Char('\t'));
                    } else {
                        FBytes.append(c);
                    }
                }
            }
            return;
        }
        FlushBytes();
        if (cp != FTableCodePage) {
            FTableCodePage = cp;
            FTable = QBRtfCodePage::SingleByteTable(cp);
        }
        const char16_t *table = FTable;
        const char *p = data.data();
        const char *end = p + data.size();
        while (p < end) {
            const char *run = p;
            while (p < end && static_cast<unsigned char>(*p) >= 0x20 && static_cast<unsigned char>(*p) < 0x80)
                ++p;
            if (p > run)
                target->append(QLatin1StringView(run, p - run));
            if (p < end) {
                char16_t c = table[static_cast<unsigned char>(*p)];
                if (Keep(c))
                    target->append(QChar(c));
                ++p;
            }
        }
    }

    void DecodeEntryName()
    {
        const int cp = FEntryCpg ? FEntryCpg : QBRtfCodePage::OfCharset(FEntryCharset, FDocCodePage);
        QBRtfCodePage::Decode(cp, FEntryName, FEntryNameText);
        FEntryName.clear();
    }

    void FinishFontEntry()
    {
        if (!FEntryOpen && FEntryName.isEmpty())
            return;
        if (FEntryNumber < 0) {
            // A name without its \f number names nothing.
            FEntryName.clear();
            FEntryNameText.clear();
            FEntryOpen = false;
            return;
        }
        TQBRtfFont font;
        font.Charset = FEntryCharset;
        font.CodePage = FEntryCpg;
        DecodeEntryName();
        font.Name = FEntryNameText.trimmed();
        FEntryNameText.clear();
        FFonts.insert(FEntryNumber, font);
        FEntryNumber = -1;
        FEntryCharset = 1;
        FEntryCpg = 0;
        FEntryOpen = false;
        FCpFont = INT_MIN;
    }

    TQBRtfParaState Resolved(const TQBRtfParaState &para)
    {
        TQBRtfParaState result = para;
        if (result.ListId > 0) {
            const auto over = FOverrides.constFind(result.ListId);
            int nfc = 0;
            if (over != FOverrides.constEnd()) {
                const QList<int> levels = FLists.value(over.value());
                if (result.ListLevel >= 0 && result.ListLevel < levels.size())
                    nfc = levels.at(result.ListLevel);
            }
            result.Numbering = NumberingOfNfc(nfc);
        }
        if (FPendingPageBreak)
            result.PageBreakBefore = true;
        return result;
    }

    void ParagraphMark()
    {
        FlushText();
        EmitPendingBreak();
        FPendingCells = 0;
        FPendingPara = Resolved(Top().Para);
        FPendingPageBreak = false;
        FPendingBreak = true;
    }

    void Content()
    {
        FlushText();
        EmitPendingBreak();
        for (; FPendingCells > 0; --FPendingCells)
            FSink.Text(u"\t", Top().Char);
    }

    void StartPicture(const TQBRtfToken &token)
    {
        if (FInPict)
            return;
        FInPict = true;
        FPictForObject = Top().Dest == TDest::ObjectResult;
        FPictDepth = FStack.size();
        FPictWord = token.Offset;
        FPict = TQBRtfPicture();
        FPictScaleX = FPictScaleY = 100;
        FPictGoalW = FPictGoalH = 0;
        FNibble = -1;
        Top().Dest = TDest::Pict;
    }

    void FinishPicture(qsizetype endOffset, const TGroupState &group)
    {
        FInPict = false;
        int w = FPictGoalW > 0     ? FPictGoalW
                : FPict.IsMetafile ? int(qint64(FPict.PicWidth) * 1440 / 2540)
                                   : int(qint64(FPict.PicWidth) * 15);
        int h = FPictGoalH > 0     ? FPictGoalH
                : FPict.IsMetafile ? int(qint64(FPict.PicHeight) * 1440 / 2540)
                                   : int(qint64(FPict.PicHeight) * 15);
        FPict.WidthTwips = int(std::clamp<qint64>(qint64(w) * FPictScaleX / 100, 0, MaxTwips));
        FPict.HeightTwips = int(std::clamp<qint64>(qint64(h) * FPictScaleY / 100, 0, MaxTwips));
        if (FPictForObject) {
            if (FObject.WidthTwips <= 0 || FObject.HeightTwips <= 0) {
                FObject.WidthTwips = FPict.WidthTwips;
                FObject.HeightTwips = FPict.HeightTwips;
            }
            FPict = TQBRtfPicture();
            return;
        }
        if (FOptions.WantPictureData)
            FPict.Source = KeptSource(group.Start, FPictWord, endOffset);
        Content();
        FSink.Picture(FPict, group.Char);
        FPict = TQBRtfPicture();
    }

    void FinishObject(qsizetype endOffset, const TGroupState &group)
    {
        FInObject = false;
        FObject.IsObject = true;
        FObject.Kind = TQBRtfPictureKind::Kept;
        FObject.WidthTwips = int(std::clamp<qint64>(qint64(FObject.WidthTwips) * FObjScaleX / 100, 0, MaxTwips));
        FObject.HeightTwips = int(std::clamp<qint64>(qint64(FObject.HeightTwips) * FObjScaleY / 100, 0, MaxTwips));
        if (FOptions.WantPictureData)
            FObject.Source = KeptSource(group.Start, FObjectWord, endOffset);
        Content();
        FSink.Picture(FObject, group.Char);
        FObject = TQBRtfPicture();
    }

    void PictureHex(QByteArrayView data)
    {
        if (!FOptions.WantPictureData)
            return;
        for (const char c : data) {
            const int v = HexValue(c);
            if (v < 0)
                continue;
            if (FNibble < 0) {
                FNibble = v;
            } else {
                FPict.Data.append(char(FNibble * 16 + v));
                FNibble = -1;
            }
        }
    }

    void GroupStart(const TQBRtfToken &token)
    {
        FlushText();
        FSkip = 0;
        if (FStack.size() >= size_t(MaxDepth)) {
            ++FOverflow;
            return;
        }
        FStack.push_back(FStack.back());
        TGroupState &top = FStack.back();
        top.Start = token.Offset;
        top.PnKind = 0;
    }

    void GroupEnd(const TQBRtfToken &token)
    {
        FlushText();
        FSkip = 0;
        FStar = false;
        if (FOverflow > 0) {
            --FOverflow;
            return;
        }
        if (FStack.size() <= 1)
            return; // a closing brace without an opening one
        if (Top().Dest == TDest::FontTable)
            FinishFontEntry();
        if (Top().Dest == TDest::ColorTable && FStack[FStack.size() - 2].Dest != TDest::ColorTable && !FEntryColor.Auto)
            FColors.append(FEntryColor); // a last entry without its semicolon
        const size_t depth = FStack.size();
        TGroupState popped = std::move(FStack.back());
        FStack.pop_back();
        TGroupState &top = FStack.back();

        if (popped.Dest == TDest::Pn && top.Dest != TDest::Pn && popped.PnKind != 0) {
            top.Para.Numbering = popped.PnKind == 1 ? 1 : popped.PnKind == 3 ? 0 : popped.PnType;
            top.Para.ListLevel = popped.PnLevel;
            top.Para.ListId = 0;
        }
        if (FInPict && depth == FPictDepth)
            FinishPicture(token.Offset, popped);
        if (FInObject && depth == FObjectDepth)
            FinishObject(token.Offset, popped);
        if (FStack.size() == 1) {
            // The last paragraph takes its format where the document group ends, as a mark would.
            FHaveFinalPara = true;
            FFinalPara = Resolved(popped.Para);
            FDone = true; // the document's group is closed; what follows is not RTF
        }
    }

    void SetDest(TDest dest)
    {
        if (FOverflow == 0)
            Top().Dest = dest;
    }

    void ControlWord(const TQBRtfToken &token);
    void ControlSymbol(const TQBRtfToken &token);
    void Finish();
};

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

void TQBRtfParser::TImpl::ControlWord(const TQBRtfToken &token)
{
    const bool star = FStar;
    FStar = false;
    const TWord word = Lookup(token.Word);
    if (FSkip > 0) {
        --FSkip;
        return;
    }
    const TDest dest = Top().Dest;
    if (dest == TDest::Skip)
        return;

    const int param = token.Param;
    const bool on = !token.HasParam || param != 0;
    TGroupState &top = Top();
    TQBRtfCharState &ch = top.Char;
    TQBRtfParaState &para = top.Para;

    // Control words that only add characters keep the pending text; all others end it first.
    switch (word) {
    case TWord::U: {
        int value = param;
        if (value < 0)
            value += 65536;
        AppendChar(value >= 0 && value <= 0xFFFF ? char16_t(value) : char16_t(0xFFFD));
        FSkip = top.Uc;
        return;
    }
    case TWord::Tab:
        AppendChar('\t');
        return;
    case TWord::Line:
        AppendChar(0x2028);
        return;
    case TWord::EmDash:
        AppendChar(0x2014);
        return;
    case TWord::EnDash:
        AppendChar(0x2013);
        return;
    case TWord::EmSpace:
        AppendChar(0x2003);
        return;
    case TWord::EnSpace:
        AppendChar(0x2002);
        return;
    case TWord::QmSpace:
        AppendChar(0x2005);
        return;
    case TWord::LQuote:
        AppendChar(0x2018);
        return;
    case TWord::RQuote:
        AppendChar(0x2019);
        return;
    case TWord::LDblQuote:
        AppendChar(0x201C);
        return;
    case TWord::RDblQuote:
        AppendChar(0x201D);
        return;
    case TWord::Bullet:
        AppendChar(0x2022);
        return;
    default:
        break;
    }
    FlushText();

    if (star) {
        // An ignorable destination: read only those this reader knows.
        switch (word) {
        case TWord::Pn:
        case TWord::FldInst:
        case TWord::ListTable:
        case TWord::ListOverrideTable:
        case TWord::ShpPict:
        case TWord::Pict:
            break;
        default:
            SetDest(TDest::Skip);
            return;
        }
    }

    switch (word) {
    // Destinations
    case TWord::FontTbl:
        // Tables count only at the document level; inside a picture or another destination they are
        // skipped, so a kept group written back can never change the document's tables.
        if (dest != TDest::Text) {
            SetDest(TDest::Skip);
            return;
        }
        SetDest(TDest::FontTable);
        FEntryNumber = -1;
        FEntryCharset = 1;
        FEntryCpg = 0;
        FEntryOpen = false;
        FEntryName.clear();
        FEntryNameText.clear();
        return;
    case TWord::ColorTbl:
        if (dest != TDest::Text) {
            SetDest(TDest::Skip);
            return;
        }
        SetDest(TDest::ColorTable);
        FEntryColor = TQBRtfColor();
        return;
    case TWord::Pict:
        if (FOverflow == 0 && (dest == TDest::Text || dest == TDest::ObjectResult))
            StartPicture(token);
        else
            SetDest(TDest::Skip);
        return;
    case TWord::Object:
        if (FOverflow == 0 && dest == TDest::Text && !FInObject) {
            FInObject = true;
            FObjectDepth = FStack.size();
            FObjectWord = token.Offset;
            FObject = TQBRtfPicture();
            FObjScaleX = FObjScaleY = 100;
            SetDest(TDest::Object);
        } else {
            SetDest(TDest::Skip);
        }
        return;
    case TWord::Result:
        if (dest == TDest::Object)
            SetDest(TDest::ObjectResult);
        return;
    case TWord::Field:
        if (FOverflow == 0 && dest == TDest::Text) {
            FFields.append(QString());
            top.Field = int(FFields.size() - 1);
        }
        return;
    case TWord::FldInst:
        SetDest(dest == TDest::Text && top.Field >= 0 ? TDest::FieldInst : TDest::Skip);
        return;
    case TWord::FldRslt:
        if (dest == TDest::Text && top.Field >= 0 && FOverflow == 0) {
            const QString target = HyperlinkTarget(FFields.at(top.Field));
            if (!target.isEmpty())
                ch.Href = target;
        }
        return;
    case TWord::Pn:
        if (dest == TDest::Text)
            SetDest(TDest::Pn);
        return;
    case TWord::PnText:
    case TWord::ListText:
    case TWord::NonShpPict:
    case TWord::SkipDest:
        SetDest(TDest::Skip);
        return;
    case TWord::ListTable:
        SetDest(dest == TDest::Text ? TDest::ListTable : TDest::Skip);
        return;
    case TWord::ListOverrideTable:
        SetDest(dest == TDest::Text ? TDest::ListOverrideTable : TDest::Skip);
        return;
    case TWord::ShpPict:
        return;
    default:
        break;
    }

    switch (dest) {
    case TDest::FontTable:
        switch (word) {
        case TWord::F:
            FinishFontEntry();
            FEntryNumber = param;
            FEntryCharset = 1;
            FEntryCpg = 0;
            FEntryOpen = true;
            break;
        case TWord::FCharset:
            FEntryCharset = param;
            break;
        case TWord::Cpg:
            FEntryCpg = QBRtfCodePage::IsSupported(param) ? param : 0;
            break;
        default:
            break;
        }
        return;
    case TDest::ColorTable:
        switch (word) {
        case TWord::Red:
            FEntryColor.Auto = false;
            FEntryColor.Red = qBound(0, param, 255);
            break;
        case TWord::Green:
            FEntryColor.Auto = false;
            FEntryColor.Green = qBound(0, param, 255);
            break;
        case TWord::Blue:
            FEntryColor.Auto = false;
            FEntryColor.Blue = qBound(0, param, 255);
            break;
        default:
            break;
        }
        return;
    case TDest::Pn:
        switch (word) {
        case TWord::PnLvlBlt:
            top.PnKind = 1;
            break;
        case TWord::PnLvlBody:
            top.PnKind = 2;
            break;
        case TWord::PnLvlCont:
            top.PnKind = 3;
            break;
        case TWord::PnLvl:
            top.PnKind = 2;
            top.PnLevel = qBound(0, param - 1, MaxListLevels - 1);
            break;
        case TWord::PnDec:
        case TWord::PnOther:
            top.PnType = 2;
            break;
        case TWord::PnLcLtr:
            top.PnType = 3;
            break;
        case TWord::PnUcLtr:
            top.PnType = 4;
            break;
        case TWord::PnLcRm:
            top.PnType = 5;
            break;
        case TWord::PnUcRm:
            top.PnType = 6;
            break;
        default:
            break;
        }
        return;
    case TDest::ListTable:
        switch (word) {
        case TWord::List:
            FCurListLevels.clear();
            break;
        case TWord::ListLevel:
            if (FCurListLevels.size() < MaxListLevels)
                FCurListLevels.append(0);
            break;
        case TWord::LevelNfc:
            if (!FCurListLevels.isEmpty())
                FCurListLevels.last() = param;
            break;
        case TWord::ListId:
            FLists.insert(param, FCurListLevels);
            break;
        default:
            break;
        }
        return;
    case TDest::ListOverrideTable:
        switch (word) {
        case TWord::ListOverride:
            FCurOverrideList = 0;
            break;
        case TWord::ListId:
            FCurOverrideList = param;
            break;
        case TWord::Ls:
            FOverrides.insert(param, FCurOverrideList);
            break;
        default:
            break;
        }
        return;
    case TDest::Pict:
        switch (word) {
        case TWord::PngBlip:
            FPict.Kind = TQBRtfPictureKind::Png;
            break;
        case TWord::JpegBlip:
            FPict.Kind = TQBRtfPictureKind::Jpeg;
            break;
        case TWord::DiBitmap:
            FPict.Kind = TQBRtfPictureKind::Dib;
            break;
        case TWord::WBitmap:
            FPict.Kind = TQBRtfPictureKind::WBitmap;
            break;
        case TWord::WMetafile:
        case TWord::EmfBlip:
            FPict.Kind = TQBRtfPictureKind::Kept;
            FPict.IsMetafile = true;
            break;
        case TWord::OtherPict:
            FPict.Kind = TQBRtfPictureKind::Kept;
            break;
        case TWord::PicW:
            FPict.PicWidth = qBound(0, param, MaxTwips);
            break;
        case TWord::PicH:
            FPict.PicHeight = qBound(0, param, MaxTwips);
            break;
        case TWord::PicWGoal:
            FPictGoalW = qBound(0, param, MaxTwips);
            break;
        case TWord::PicHGoal:
            FPictGoalH = qBound(0, param, MaxTwips);
            break;
        case TWord::PicScaleX:
            FPictScaleX = qBound(1, param, 1000);
            break;
        case TWord::PicScaleY:
            FPictScaleY = qBound(1, param, 1000);
            break;
        case TWord::WbmBitsPixel:
            FPict.BitsPerPixel = param;
            break;
        case TWord::WbmPlanes:
            FPict.Planes = param;
            break;
        case TWord::WbmWidthBytes:
            FPict.WidthBytes = param;
            break;
        default:
            break;
        }
        return;
    case TDest::Object:
        switch (word) {
        case TWord::ObjW:
            FObject.WidthTwips = qBound(0, param, MaxTwips);
            break;
        case TWord::ObjH:
            FObject.HeightTwips = qBound(0, param, MaxTwips);
            break;
        case TWord::ObjScaleX:
            FObjScaleX = qBound(1, param, 1000);
            break;
        case TWord::ObjScaleY:
            FObjScaleY = qBound(1, param, 1000);
            break;
        default:
            break;
        }
        return;
    case TDest::Text:
    case TDest::FieldInst:
        break;
    default:
        return;
    }

    switch (word) {
    // Document
    case TWord::AnsiCpg:
        if (QBRtfCodePage::IsSupported(param))
            FDocCodePage = param;
        FCpFont = INT_MIN;
        break;
    case TWord::Ansi:
        FDocCodePage = QBRtfCodePage::Ansi;
        FCpFont = INT_MIN;
        break;
    case TWord::Mac:
        FDocCodePage = QBRtfCodePage::MacRoman;
        FCpFont = INT_MIN;
        break;
    case TWord::Pc:
        FDocCodePage = 437;
        FCpFont = INT_MIN;
        break;
    case TWord::Pca:
        FDocCodePage = 850;
        FCpFont = INT_MIN;
        break;
    case TWord::Deff:
        FDeff = param;
        FCpFont = INT_MIN;
        break;
    case TWord::Uc:
        top.Uc = qBound(0, param, 16);
        break;

    // Characters
    case TWord::Plain: {
        const QString href = ch.Href;
        ch = TQBRtfCharState();
        ch.Href = href;
        break;
    }
    case TWord::F:
        ch.Font = param;
        break;
    case TWord::B:
        ch.Bold = on;
        break;
    case TWord::I:
        ch.Italic = on;
        break;
    case TWord::Ul:
    case TWord::UlOther:
        ch.Underline = on;
        break;
    case TWord::UlNone:
        ch.Underline = false;
        break;
    case TWord::Strike:
        ch.Strike = on;
        break;
    case TWord::Fs:
        ch.Size = token.HasParam && param > 0 ? qMin(param, 3276) : 24;
        break;
    case TWord::Cf:
        ch.Color = qMax(0, param);
        break;
    case TWord::Highlight:
    case TWord::Cb:
    case TWord::ChCbPat:
        ch.BackColor = qMax(0, param);
        break;
    case TWord::Sub:
        ch.VAlign = on ? 1 : 0;
        break;
    case TWord::Super:
        ch.VAlign = on ? 2 : 0;
        break;
    case TWord::NoSuperSub:
        ch.VAlign = 0;
        break;
    case TWord::Up:
        ch.VAlign = token.HasParam && param == 0 ? 0 : 2;
        break;
    case TWord::Dn:
        ch.VAlign = token.HasParam && param == 0 ? 0 : 1;
        break;

    // Paragraphs
    case TWord::Pard:
        para = TQBRtfParaState();
        break;
    case TWord::Ql:
        para.Align = 0;
        break;
    case TWord::Qr:
        para.Align = 1;
        break;
    case TWord::Qc:
        para.Align = 2;
        break;
    case TWord::Qj:
        para.Align = 3;
        break;
    case TWord::Li:
        para.LeftIndent = qBound(-MaxTwips, param, MaxTwips);
        break;
    case TWord::Ri:
        para.RightIndent = qBound(-MaxTwips, param, MaxTwips);
        break;
    case TWord::Fi:
        para.FirstIndent = qBound(-MaxTwips, param, MaxTwips);
        break;
    case TWord::Sb:
        para.SpaceBefore = qBound(0, param, MaxTwips);
        break;
    case TWord::Sa:
        para.SpaceAfter = qBound(0, param, MaxTwips);
        break;
    case TWord::Sl:
        para.LineSpacing = qBound(-MaxTwips, param, MaxTwips);
        break;
    case TWord::SlMult:
        para.LineMultiple = on;
        break;
    case TWord::Tqr:
    case TWord::Tqc:
    case TWord::Tqdec:
        // The kind comes before the position it qualifies.
        top.TabKind = word == TWord::Tqr   ? TQBRtfTabKind::Right
                      : word == TWord::Tqc ? TQBRtfTabKind::Center
                                           : TQBRtfTabKind::Decimal;
        break;
    case TWord::Tx:
    case TWord::Tb: {
        TQBRtfTab tab;
        tab.Position = qBound(0, param, MaxTwips);
        if (word == TWord::Tx)
            tab.Kind = top.TabKind;
        top.TabKind = TQBRtfTabKind::Left;
        if (para.Tabs.size() < MaxTabs)
            para.Tabs.append(tab);
        break;
    }
    case TWord::PageBb:
        para.PageBreakBefore = on;
        break;
    case TWord::Ls:
        para.ListId = qMax(0, param);
        break;
    case TWord::Ilvl:
        para.ListLevel = qBound(0, param, MaxListLevels - 1);
        break;

    // Breaks
    case TWord::Par:
    case TWord::Sect:
        if (dest == TDest::Text)
            ParagraphMark();
        break;
    case TWord::Page:
        if (dest == TDest::Text) {
            ParagraphMark();
            FPendingPageBreak = true;
        }
        break;
    case TWord::Cell:
        if (dest == TDest::Text)
            ++FPendingCells;
        break;
    case TWord::Row:
        if (dest == TDest::Text)
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
        if (Keep(c))
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

class TPlainTextSink final : public IQBRtfSink
{
public:
    QString Result;
    void Text(QStringView text, const TQBRtfCharState &) override { Result += text; }
    void ParagraphEnd(const TQBRtfParaState &, bool withBreak) override
    {
        if (withBreak)
            Result += QLatin1Char('\n');
    }
    void Picture(const TQBRtfPicture &, const TQBRtfCharState &) override
    {
        Result += QChar::ObjectReplacementCharacter;
    }
};

} // namespace

QString RtfToPlainText(const QByteArray &rtf)
{
    TPlainTextSink sink;
    TQBRtfParser::TOptions options;
    options.WantPictureData = false;
    TQBRtfParser parser(sink, options);
    parser.Parse(rtf);
    return sink.Result;
}
