// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "xml/IDMap.h"

#include <iterator>

namespace {

struct TIdentMapEntry
{
    const char *Name;
    int Value;
};

struct TTypeIdents
{
    const char *TypeName;
    const TIdentMapEntry *Entries;
    int Count;
};

constexpr int SystemColor(int index)
{
    return int(0x80000000u | unsigned(index));
}

const TIdentMapEntry Colors[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clScrollBar", SystemColor(0)},
    {"clBackground", SystemColor(1)},
    {"clActiveCaption", SystemColor(2)},
    {"clInactiveCaption", SystemColor(3)},
    {"clMenu", SystemColor(4)},
    {"clWindow", SystemColor(5)},
    {"clWindowFrame", SystemColor(6)},
    {"clMenuText", SystemColor(7)},
    {"clWindowText", SystemColor(8)},
    {"clCaptionText", SystemColor(9)},
    {"clActiveBorder", SystemColor(10)},
    {"clInactiveBorder", SystemColor(11)},
    {"clAppWorkSpace", SystemColor(12)},
    {"clHighlight", SystemColor(13)},
    {"clHighlightText", SystemColor(14)},
    {"clBtnFace", SystemColor(15)},
    {"clBtnShadow", SystemColor(16)},
    {"clGrayText", SystemColor(17)},
    {"clBtnText", SystemColor(18)},
    {"clInactiveCaptionText", SystemColor(19)},
    {"clBtnHighlight", SystemColor(20)},
    {"cl3DDkShadow", SystemColor(21)},
    {"cl3DLight", SystemColor(22)},
    {"clInfoText", SystemColor(23)},
    {"clInfoBk", SystemColor(24)},
    {"clNone", 0x1FFFFFFF},
};

const TIdentMapEntry Cursors[] = {
    {"crDefault", 0},   {"crArrow", -2},    {"crCross", -3},     {"crIBeam", -4},    {"crSizeNESW", -6},
    {"crSizeNS", -7},   {"crSizeNWSE", -8}, {"crSizeWE", -9},    {"crUpArrow", -10}, {"crHourGlass", -11},
    {"crDrag", -12},    {"crNoDrop", -13},  {"crHSplit", -14},   {"crVSplit", -15},  {"crMultiDrag", -16},
    {"crSQLWait", -17}, {"crNo", -18},      {"crAppStart", -19}, {"crHelp", -20},    {"crHandPoint", -21},
    {"crSize", -22},
};

const TIdentMapEntry ModalResults[] = {
    {"mrNone", 0}, {"mrOk", 1}, {"mrCancel", 2}, {"mrAbort", 3},   {"mrRetry", 4},     {"mrIgnore", 5},
    {"mrYes", 6},  {"mrNo", 7}, {"mrAll", 8},    {"mrNoToAll", 9}, {"mrYesToAll", 10},
};

// Registered in this order; lookups search from the last registered.
const TTypeIdents Types[] = {
    {"TColor", Colors, int(std::size(Colors))},
    {"TCursor", Cursors, int(std::size(Cursors))},
    {"TModalResult", ModalResults, int(std::size(ModalResults))},
};

// A hexadecimal number as the old number parser read it: optional blanks and sign, then "$" and
// hex digits; values beyond 32 bits are refused, 32-bit patterns wrap to negative numbers.
bool readHex(const QString &text, int &value)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i >= text.size() || text.at(i) != QLatin1Char('$'))
        return false;
    ++i;
    if (i >= text.size())
        return false;
    quint64 result = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        result = result * 16 + quint64(digit);
        if (result > 0xFFFFFFFFull)
            return false;
    }
    const quint32 bits = quint32(result);
    value = negative ? int(quint32(0) - bits) : int(bits);
    return true;
}

} // namespace

int IndexOfType(const QString &typeName)
{
    for (int i = int(std::size(Types)) - 1; i >= 0; --i)
        if (typeName == QLatin1String(Types[i].TypeName))
            return i;
    return -1;
}

int IdentToInt(const QString &typeName, const QString &text)
{
    const int index = IndexOfType(typeName);
    if (index < 0)
        return -1;
    const TTypeIdents &type = Types[index];
    for (int i = 0; i < type.Count; ++i)
        if (text.compare(QLatin1String(type.Entries[i].Name), Qt::CaseInsensitive) == 0)
            return type.Entries[i].Value;
    int value = 0;
    const QString hex = text.contains(QLatin1Char('$')) ? text : QLatin1Char('$') + text;
    return readHex(hex, value) ? value : 0;
}

bool IntToIdent(const QString &typeName, int value, QString &text)
{
    const int index = IndexOfType(typeName);
    if (index < 0)
        return false;
    const TTypeIdents &type = Types[index];
    for (int i = 0; i < type.Count; ++i)
        if (type.Entries[i].Value == value) {
            text = QLatin1String(type.Entries[i].Name);
            return true;
        }
    return false;
}

QStringList IdentNames(const QString &typeName)
{
    QStringList names;
    const int index = IndexOfType(typeName);
    if (index < 0)
        return names;
    const TTypeIdents &type = Types[index];
    for (int i = 0; i < type.Count; ++i)
        names.append(QLatin1String(type.Entries[i].Name));
    return names;
}
