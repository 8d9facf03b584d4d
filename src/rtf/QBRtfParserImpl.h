// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

// The parser's inner state, shared by its source files. Not for use outside src/rtf.
#include "QBRtfCodePages.h"
#include "QBRtfParser.h"
#include "QBRtfTokenizer.h"

#include <QHash>

#include <climits>
#include <vector>

namespace QBRtfParse {

enum class TDest {
    Text,
    Skip,
    FontTable,
    ColorTable,
    FieldInst,
    Pn,
    PnText,   // {\pntext}: the label the writer showed
    PnBefore, // {\pntxtb} in a \pn group
    PnAfter,  // {\pntxta} in a \pn group
    ListTable,
    LevelText,
    LevelNumbers,
    ListOverrideTable,
    Pict,
    Object,
    ObjectResult,
};

// The handler that takes a control word in the body. A word's area sits in the high bits of its
// value, so finding the handler costs a shift and no table.
enum class TArea {
    Other, // words that count only inside a table, picture or object, and words this reader ignores
    Destination,
    Document,
    Character, // words that stand for a character
    CharFormat,
    ParaFormat,
    Break,
};

constexpr int AreaStart(TArea area)
{
    return int(area) << 8;
}

// Each area's words follow one another and start at AreaStart of their area.
enum class TWord {
    Unknown = AreaStart(TArea::Other),
    // font and colour tables
    FCharset,
    Cpg,
    Red,
    Green,
    Blue,
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
    PnStart,
    PnF,
    // word-processor lists
    List,
    ListId,
    ListLevel,
    LevelNfc,
    LevelStartAt,
    ListOverride,
    LfoLevel,
    ListOverrideStartAt,
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

    // destinations
    Rtf = AreaStart(TArea::Destination),
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
    PnTxtA,
    PnTxtB,
    LevelText,
    LevelNumbers,
    ListText,
    ListTable,
    ListOverrideTable,
    ShpPict,
    NonShpPict,
    SkipDest,

    // document
    Ansi = AreaStart(TArea::Document),
    AnsiCpg,
    Mac,
    Pc,
    Pca,
    Deff,
    Uc,

    // characters
    U = AreaStart(TArea::Character),
    Tab,
    Line,
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

    // character formatting; \f also numbers a font table entry
    F = AreaStart(TArea::CharFormat),
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

    // paragraph formatting; \ls also numbers a list override
    Pard = AreaStart(TArea::ParaFormat),
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

    // breaks
    Par = AreaStart(TArea::Break),
    Sect,
    Page,
    Cell,
    Row,
};

constexpr TArea AreaOf(TWord word)
{
    return TArea(int(word) >> 8);
}

// No area has outgrown its 256 values into the next one.
static_assert(AreaOf(TWord::ObjScaleY) == TArea::Other && AreaOf(TWord::SkipDest) == TArea::Destination &&
              AreaOf(TWord::Uc) == TArea::Document && AreaOf(TWord::Bullet) == TArea::Character &&
              AreaOf(TWord::Dn) == TArea::CharFormat && AreaOf(TWord::Ilvl) == TArea::ParaFormat &&
              AreaOf(TWord::Row) == TArea::Break);

// The control word of a token's name; Unknown for words this reader ignores.
TWord Lookup(QByteArrayView word);

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

inline int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The numbering style (0 to 6) of a word-processor list level's number format.
int NumberingOfNfc(int nfc);

// One level of a word-processor list as its \listlevel group describes it.
struct TListLevel
{
    int Nfc = 0;
    int Start = 1;
    int Font = -1;
    QString Text;    // \leveltext without its length: placeholders for level numbers are characters 0 to 8
    QString Numbers; // \levelnumbers: 1-based places of the placeholders in \leveltext, length included
    // Prefix, suffix and bullet split from Text and Numbers; null: a number and a full stop.
    std::shared_ptr<const TQBRtfListFacts> Texts; // prefix, suffix and bullet only
};

// Prefix, suffix and bullet of a level from its \leveltext and \levelnumbers.
void SplitLevelText(TListLevel &level);

struct TListOverride
{
    int List = 0;
    QList<int> Starts; // by level; -1 where the override keeps the list's start
};

// Characters the body may hold: control characters other than tab go, and the characters the text
// document reserves for its own structure are replaced.
inline bool Keep(char16_t &c)
{
    if (c < 0x20)
        return c == '\t';
    if (c == 0x2029)
        c = 0x2028;
    else if ((c >= 0xFDD0 && c <= 0xFDEF) || c == 0xFFFC) // U+FFFC stands for pictures only
        c = 0xFFFD;
    return true;
}

// The target of a HYPERLINK field instruction, empty for other fields.
QString HyperlinkTarget(const QString &instruction);

} // namespace QBRtfParse

class TQBRtfParser::TImpl
{
public:
    using TDest = QBRtfParse::TDest;
    using TArea = QBRtfParse::TArea;
    using TWord = QBRtfParse::TWord;
    using TGroupState = QBRtfParse::TGroupState;
    static constexpr int MaxTabs = QBRtfParse::MaxTabs;
    static constexpr int MaxListLevels = QBRtfParse::MaxListLevels;
    static constexpr int MaxTwips = QBRtfParse::MaxTwips;
    static constexpr int MaxListStart = TQBRtfParser::MaxListStart;
    static constexpr int MaxListText = TQBRtfParser::MaxListText;

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

    // Word-processor lists: list id -> levels; override number -> list id and restarts.
    QHash<int, QList<QBRtfParse::TListLevel>> FLists;
    QHash<int, QBRtfParse::TListOverride> FOverrides;
    QList<QBRtfParse::TListLevel> FCurListLevels;
    int FCurListId = 0;
    QBRtfParse::TListOverride FCurOverride;
    bool FOverrideStartAt = false;

    // The rich edit control's lists: the texts of the \pn group being read, the label of the paragraph
    // being read, and how many \pn groups were read.
    QString FAux; // text of a {\pntext}, {\pntxta}, {\pntxtb}, {\leveltext} or {\levelnumbers}
    QString FPnPrefix, FPnSuffix;
    int FPnStart = 1;
    bool FPnHasStart = false;
    int FPnFont = -1;
    QString FPnLabel;
    int FPnGroups = 0;
    static constexpr int MaxAux = 300;

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
            if (QBRtfParse::Keep(c))
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
        if (!QBRtfParse::Keep(c))
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
        else if (QString *aux = AuxTarget())
            aux->append(QChar(c));
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
                if (QBRtfParse::Keep(c))
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
        if (result.ListId > 0)
            ResolveList(result);
        if (!FPnLabel.isEmpty()) {
            TQBRtfListFacts facts = result.ListFacts ? *result.ListFacts : TQBRtfListFacts();
            facts.Label = FPnLabel;
            result.ListFacts = std::make_shared<const TQBRtfListFacts>(std::move(facts));
        }
        if (FPendingPageBreak)
            result.PageBreakBefore = true;
        return result;
    }

    void ResolveList(TQBRtfParaState &para) const;

    bool AuxDest() const
    {
        const TDest d = FStack.back().Dest;
        return d == TDest::PnText || d == TDest::PnBefore || d == TDest::PnAfter || d == TDest::LevelText ||
               d == TDest::LevelNumbers;
    }
    void AuxGroupEnd(TDest dest, TGroupState &parent);
    // Where characters of a list text go; null in the destinations that keep no text.
    QString *AuxTarget();
    // Raw characters of a list text: placeholders and symbol-font bytes must come through as they are.
    void AppendAux(QByteArrayView data);
    // A destination whose text the lists need, where it counts; skipped elsewhere.
    void AuxDest(bool counts, TDest dest);
    // A \pn group's numbering goes to the paragraph of the group around it.
    void ApplyPn(const TGroupState &pn, TGroupState &target);

    void ParagraphMark()
    {
        FlushText();
        EmitPendingBreak();
        FPendingCells = 0;
        FPendingPara = Resolved(Top().Para);
        FPnLabel.clear();
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
            // The object is shown as its last result picture; the object itself stays as read.
            FObject.Kind = FPict.Kind;
            FObject.Data = std::move(FPict.Data);
            FObject.IsMetafile = FPict.IsMetafile;
            FObject.PicWidth = FPict.PicWidth;
            FObject.PicHeight = FPict.PicHeight;
            FObject.BitsPerPixel = FPict.BitsPerPixel;
            FObject.Planes = FPict.Planes;
            FObject.WidthBytes = FPict.WidthBytes;
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
            const int v = QBRtfParse::HexValue(c);
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
            ApplyPn(popped, top);
        } else if (popped.Dest != top.Dest) {
            AuxGroupEnd(popped.Dest, top);
        }
        if (popped.Dest == TDest::ListTable && FCurListId != 0)
            FLists.insert(FCurListId, FCurListLevels);
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

    // A control word goes to the handler of its area, or inside a table, picture or object to the
    // handler of that destination.
    void ControlWord(const TQBRtfToken &token);
    void CharacterWord(TWord word, int param);
    void DestinationWord(TWord word, const TQBRtfToken &token, TDest dest);
    void FontTableWord(TWord word, int param);
    void ColorTableWord(TWord word, int param);
    void NumberingWord(TWord word, int param);
    void ListTableWord(TWord word, int param);
    void ListOverrideWord(TWord word, int param);
    void PictureWord(TWord word, int param);
    void ObjectWord(TWord word, int param);
    void DocumentWord(TWord word, int param);
    void CharFormatWord(TWord word, const TQBRtfToken &token);
    void ParaFormatWord(TWord word, const TQBRtfToken &token);
    void BreakWord(TWord word, TDest dest);
    void ControlSymbol(const TQBRtfToken &token);
    void Finish();
};
