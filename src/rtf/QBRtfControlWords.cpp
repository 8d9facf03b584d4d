// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfParserImpl.h"

namespace {

// The ignorable destinations this reader knows; the others are skipped whole.
bool KnownIgnorable(QBRtfParse::TWord word)
{
    using QBRtfParse::TWord;
    switch (word) {
    case TWord::Pn:
    case TWord::FldInst:
    case TWord::ListTable:
    case TWord::ListOverrideTable:
    case TWord::ShpPict:
    case TWord::Pict:
        return true;
    default:
        return false;
    }
}

} // namespace

void TQBRtfParser::TImpl::ControlWord(const TQBRtfToken &token)
{
    const bool star = FStar;
    FStar = false;
    const TWord word = QBRtfParse::Lookup(token.Word);
    if (FSkip > 0) {
        --FSkip;
        return;
    }
    const TDest dest = Top().Dest;
    if (dest == TDest::Skip)
        return;

    // Control words that only add characters keep the pending text; all others end it first.
    const TArea area = QBRtfParse::AreaOf(word);
    if (area == TArea::Character) {
        CharacterWord(word, token.Param);
        return;
    }
    FlushText();

    if (star && !KnownIgnorable(word)) {
        SetDest(TDest::Skip);
        return;
    }
    if (area == TArea::Destination) {
        DestinationWord(word, token, dest);
        return;
    }

    const int param = token.Param;
    switch (dest) {
    case TDest::FontTable:
        FontTableWord(word, param);
        return;
    case TDest::ColorTable:
        ColorTableWord(word, param);
        return;
    case TDest::Pn:
        NumberingWord(word, param);
        return;
    case TDest::ListTable:
        ListTableWord(word, param);
        return;
    case TDest::ListOverrideTable:
        ListOverrideWord(word, param);
        return;
    case TDest::Pict:
        PictureWord(word, param);
        return;
    case TDest::Object:
        ObjectWord(word, param);
        return;
    case TDest::Text:
    case TDest::FieldInst:
        break;
    default:
        return;
    }

    switch (area) {
    case TArea::Document:
        DocumentWord(word, param);
        break;
    case TArea::CharFormat:
        CharFormatWord(word, token);
        break;
    case TArea::ParaFormat:
        ParaFormatWord(word, token);
        break;
    case TArea::Break:
        BreakWord(word, dest);
        break;
    default:
        break;
    }
}

void TQBRtfParser::TImpl::CharacterWord(TWord word, int param)
{
    switch (word) {
    case TWord::U: {
        int value = param;
        if (value < 0)
            value += 65536;
        AppendChar(value >= 0 && value <= 0xFFFF ? char16_t(value) : char16_t(0xFFFD));
        FSkip = Top().Uc;
        break;
    }
    case TWord::Tab:
        AppendChar('\t');
        break;
    case TWord::Line:
        AppendChar(0x2028);
        break;
    case TWord::EmDash:
        AppendChar(0x2014);
        break;
    case TWord::EnDash:
        AppendChar(0x2013);
        break;
    case TWord::EmSpace:
        AppendChar(0x2003);
        break;
    case TWord::EnSpace:
        AppendChar(0x2002);
        break;
    case TWord::QmSpace:
        AppendChar(0x2005);
        break;
    case TWord::LQuote:
        AppendChar(0x2018);
        break;
    case TWord::RQuote:
        AppendChar(0x2019);
        break;
    case TWord::LDblQuote:
        AppendChar(0x201C);
        break;
    case TWord::RDblQuote:
        AppendChar(0x201D);
        break;
    case TWord::Bullet:
        AppendChar(0x2022);
        break;
    default:
        break;
    }
}

void TQBRtfParser::TImpl::DestinationWord(TWord word, const TQBRtfToken &token, TDest dest)
{
    TGroupState &top = Top();
    switch (word) {
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
            const QString target = QBRtfParse::HyperlinkTarget(FFields.at(top.Field));
            if (!target.isEmpty())
                top.Char.Href = target;
        }
        return;
    case TWord::Pn:
        if (dest == TDest::Text && FOverflow == 0) {
            SetDest(TDest::Pn);
            FPnPrefix.clear();
            FPnSuffix.clear();
            FPnStart = 1;
            FPnHasStart = false;
            FPnFont = -1;
        }
        return;
    case TWord::PnText:
        AuxDest(dest == TDest::Text, TDest::PnText);
        return;
    case TWord::PnTxtA:
        AuxDest(dest == TDest::Pn, TDest::PnAfter);
        return;
    case TWord::PnTxtB:
        AuxDest(dest == TDest::Pn, TDest::PnBefore);
        return;
    case TWord::LevelText:
        AuxDest(dest == TDest::ListTable, TDest::LevelText);
        return;
    case TWord::LevelNumbers:
        AuxDest(dest == TDest::ListTable, TDest::LevelNumbers);
        return;
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
}
