// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfParserImpl.h"

// Control words inside the document's tables: fonts, colours, lists and the older \pn numbering.

void TQBRtfParser::TImpl::FontTableWord(TWord word, int param)
{
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
}

void TQBRtfParser::TImpl::ColorTableWord(TWord word, int param)
{
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
}

void TQBRtfParser::TImpl::NumberingWord(TWord word, int param)
{
    TGroupState &top = Top();
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
}

void TQBRtfParser::TImpl::ListTableWord(TWord word, int param)
{
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
}

void TQBRtfParser::TImpl::ListOverrideWord(TWord word, int param)
{
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
}
