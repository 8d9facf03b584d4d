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
    case TWord::PnStart:
        FPnStart = qBound(0, param, MaxListStart);
        FPnHasStart = true;
        break;
    case TWord::PnF:
        FPnFont = param;
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
        FCurListId = 0;
        break;
    case TWord::ListLevel:
        if (FCurListLevels.size() < MaxListLevels)
            FCurListLevels.append(QBRtfParse::TListLevel());
        else
            FCurListLevels.last() = QBRtfParse::TListLevel(); // levels past the last one are not kept
        break;
    case TWord::LevelNfc:
        if (!FCurListLevels.isEmpty())
            FCurListLevels.last().Nfc = param;
        break;
    case TWord::LevelStartAt:
        if (!FCurListLevels.isEmpty())
            FCurListLevels.last().Start = qBound(0, param, MaxListStart);
        break;
    case TWord::F:
        if (!FCurListLevels.isEmpty())
            FCurListLevels.last().Font = param;
        break;
    case TWord::ListId:
        FCurListId = param;
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
        FCurOverride = QBRtfParse::TListOverride();
        FOverrideStartAt = false;
        break;
    case TWord::ListId:
        FCurOverride.List = param;
        break;
    case TWord::LfoLevel:
        if (FCurOverride.Starts.size() < MaxListLevels)
            FCurOverride.Starts.append(-1);
        FOverrideStartAt = false;
        break;
    case TWord::ListOverrideStartAt:
        FOverrideStartAt = true;
        break;
    case TWord::LevelStartAt:
        if (FOverrideStartAt && !FCurOverride.Starts.isEmpty())
            FCurOverride.Starts.last() = qBound(0, param, MaxListStart);
        break;
    case TWord::Ls:
        FOverrides.insert(param, FCurOverride);
        break;
    default:
        break;
    }
}

void TQBRtfParser::TImpl::AuxGroupEnd(TDest dest, TGroupState &parent)
{
    const auto text = [this] {
        QString t = FAux.left(MaxListText);
        t.removeIf([](QChar c) { return c.unicode() < 0x20; });
        return t;
    };
    switch (dest) {
    case TDest::PnText:
        if (parent.Dest == TDest::Text)
            FPnLabel = text();
        break;
    case TDest::PnBefore:
        if (parent.Dest == TDest::Pn)
            FPnPrefix = text();
        break;
    case TDest::PnAfter:
        if (parent.Dest == TDest::Pn)
            FPnSuffix = text();
        break;
    case TDest::LevelText:
    case TDest::LevelNumbers:
        if (parent.Dest == TDest::ListTable && !FCurListLevels.isEmpty()) {
            QBRtfParse::TListLevel &level = FCurListLevels.last();
            if (dest == TDest::LevelText) {
                // The first character counts those that follow; the text ends at ';'.
                const qsizetype length = FAux.isEmpty() ? 0 : qMin<qsizetype>(FAux.at(0).unicode(), FAux.size() - 1);
                level.Text = FAux.mid(1, length);
            } else {
                level.Numbers = FAux.section(QLatin1Char(';'), 0, 0);
            }
            QBRtfParse::SplitLevelText(level);
        }
        break;
    default:
        break;
    }
    FAux.clear();
}

void TQBRtfParser::TImpl::ResolveList(TQBRtfParaState &para) const
{
    const auto over = FOverrides.constFind(para.ListId);
    QBRtfParse::TListLevel level;
    int start = -1;
    if (over != FOverrides.constEnd()) {
        const auto list = FLists.constFind(over.value().List);
        if (list != FLists.constEnd() && para.ListLevel >= 0 && para.ListLevel < list.value().size())
            level = list.value().at(para.ListLevel);
        start = over.value().Starts.value(para.ListLevel, -1);
    }
    para.Numbering = QBRtfParse::NumberingOfNfc(level.Nfc);
    TQBRtfListFacts facts;
    if (level.Texts)
        facts = *level.Texts;
    else
        facts.Suffix = QStringLiteral(".");
    facts.Start = start >= 0 ? start : level.Start;
    facts.HasStart = true;
    facts.BulletFont = level.Font;
    para.ListFacts = std::make_shared<const TQBRtfListFacts>(std::move(facts));
    para.PnGroup = 0;
}

void TQBRtfParser::TImpl::AppendAux(QByteArrayView data)
{
    for (const char c : data) {
        if (FAux.size() >= MaxAux)
            return;
        FAux.append(QChar(char16_t(static_cast<unsigned char>(c))));
    }
}

void TQBRtfParser::TImpl::AuxDest(bool counts, TDest dest)
{
    if (!counts || FOverflow > 0) {
        SetDest(TDest::Skip);
        return;
    }
    SetDest(dest);
    FAux.clear();
}

void TQBRtfParser::TImpl::ApplyPn(const TGroupState &pn, TGroupState &target)
{
    TQBRtfParaState &para = target.Para;
    para.Numbering = pn.PnKind == 1 ? 1 : pn.PnKind == 3 ? 0 : pn.PnType;
    para.ListLevel = pn.PnLevel;
    para.ListId = 0;
    TQBRtfListFacts facts;
    facts.Start = FPnStart;
    facts.HasStart = FPnHasStart;
    facts.BulletFont = FPnFont;
    if (pn.PnKind == 1) {
        facts.Bullet = FPnPrefix;
    } else {
        facts.Prefix = FPnPrefix;
        facts.Suffix = FPnSuffix;
    }
    para.ListFacts = std::make_shared<const TQBRtfListFacts>(std::move(facts));
    para.PnGroup = ++FPnGroups;
}

QString *TQBRtfParser::TImpl::AuxTarget()
{
    return AuxDest() && FAux.size() < MaxAux ? &FAux : nullptr;
}
