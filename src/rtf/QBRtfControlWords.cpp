// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfParserImpl.h"

#include <algorithm>

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
            const QString target = QBRtfParse::HyperlinkTarget(FFields.at(top.Field));
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
