// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfParserImpl.h"

// Control words of the body: the document's code page and defaults, character and paragraph
// formatting, and the breaks that end paragraphs and cells.

namespace {

// A toggle without a parameter, or with one other than 0, switches on.
bool IsOn(const TQBRtfToken &token)
{
    return !token.HasParam || token.Param != 0;
}

} // namespace

void TQBRtfParser::TImpl::DocumentWord(TWord word, int param)
{
    switch (word) {
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
        Top().Uc = qBound(0, param, 16);
        break;
    default:
        break;
    }
}

void TQBRtfParser::TImpl::CharFormatWord(TWord word, const TQBRtfToken &token)
{
    const int param = token.Param;
    const bool on = IsOn(token);
    TQBRtfCharState &ch = Top().Char;
    switch (word) {
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
        ch.HasSize = true;
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
    default:
        break;
    }
}

void TQBRtfParser::TImpl::ParaFormatWord(TWord word, const TQBRtfToken &token)
{
    const int param = token.Param;
    TGroupState &top = Top();
    TQBRtfParaState &para = top.Para;
    switch (word) {
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
        para.LineMultiple = IsOn(token);
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
        para.PageBreakBefore = IsOn(token);
        break;
    case TWord::Ls:
        para.ListId = qMax(0, param);
        break;
    case TWord::Ilvl:
        para.ListLevel = qBound(0, param, MaxListLevels - 1);
        break;
    default:
        break;
    }
}

void TQBRtfParser::TImpl::BreakWord(TWord word, TDest dest)
{
    // In a field instruction these words stand for nothing.
    if (dest != TDest::Text)
        return;
    switch (word) {
    case TWord::Par:
    case TWord::Sect:
    case TWord::Row:
        ParagraphMark();
        break;
    case TWord::Page:
        ParagraphMark();
        FPendingPageBreak = true;
        break;
    case TWord::Cell:
        ++FPendingCells;
        break;
    default:
        break;
    }
}
