// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfParserImpl.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace QBRtfParse {

namespace {

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
        {"pntxta", TWord::PnTxtA},
        {"pntxtb", TWord::PnTxtB},
        {"leveltext", TWord::LevelText},
        {"levelnumbers", TWord::LevelNumbers},
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
        {"pnstart", TWord::PnStart},
        {"pnf", TWord::PnF},
        {"levelstartat", TWord::LevelStartAt},
        {"lfolevel", TWord::LfoLevel},
        {"listoverridestartat", TWord::ListOverrideStartAt},
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

} // namespace

TWord Lookup(QByteArrayView word)
{
    const auto &words = Words();
    const auto it = words.find(std::string_view(word.data(), size_t(word.size())));
    return it == words.end() ? TWord::Unknown : it->second;
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

void SplitLevelText(TListLevel &level)
{
    // Placeholders are where \levelnumbers says, or else the characters that can be nothing but one.
    QList<qsizetype> places;
    for (const QChar c : std::as_const(level.Numbers)) {
        const qsizetype at = c.unicode() - 1;
        if (at >= 0 && at < level.Text.size() && level.Text.at(at).unicode() < 9)
            places.append(at);
    }
    if (places.isEmpty()) {
        for (qsizetype i = 0; i < level.Text.size(); ++i)
            if (level.Text.at(i).unicode() < 9)
                places.append(i);
    }
    const auto printable = [](QString text) {
        text.removeIf([](QChar c) { return c.unicode() < 0x20; });
        return text;
    };
    TQBRtfListFacts texts;
    if (places.isEmpty()) {
        texts.Bullet = printable(level.Text);
    } else {
        std::sort(places.begin(), places.end());
        // Numbers of the outer levels ("1.2.") are not shown; the level's own number takes their place.
        texts.Prefix = printable(level.Text.left(places.first()));
        texts.Suffix = printable(level.Text.mid(places.last() + 1));
    }
    level.Texts = std::make_shared<const TQBRtfListFacts>(std::move(texts));
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

} // namespace QBRtfParse
