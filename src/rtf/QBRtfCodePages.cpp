// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfCodePages.h"

#include <QHash>
#include <QMutex>
#include <QStringDecoder>

#include <array>
#include <iconv.h>
#include <memory>

namespace QBRtfCodePage {

namespace {

struct TCodePageName
{
    int CodePage;
    const char *QtName;    // ICU name, when Qt is built with ICU
    const char *IconvName; // glibc name otherwise
};

constexpr TCodePageName CodePageNames[] = {
    {437, "IBM437", "IBM437"},        {850, "IBM850", "IBM850"},        {874, "windows-874", "CP874"},
    {932, "windows-932", "CP932"},    {936, "windows-936", "GBK"},      {949, "windows-949", "UHC"},
    {950, "windows-950", "BIG5"},     {1250, "windows-1250", "CP1250"}, {1251, "windows-1251", "CP1251"},
    {1252, "windows-1252", "CP1252"}, {1253, "windows-1253", "CP1253"}, {1254, "windows-1254", "CP1254"},
    {1255, "windows-1255", "CP1255"}, {1256, "windows-1256", "CP1256"}, {1257, "windows-1257", "CP1257"},
    {1258, "windows-1258", "CP1258"}, {1361, "johab", "JOHAB"},         {MacRoman, "macintosh", "MACINTOSH"},
};

const TCodePageName *FindName(int codePage)
{
    for (const TCodePageName &name : CodePageNames)
        if (name.CodePage == codePage)
            return &name;
    return nullptr;
}

// Decodes with Qt's converter when it knows the code page, else through iconv.
QString DecodeThroughLibrary(const TCodePageName &name, QByteArrayView bytes)
{
    QStringDecoder decoder(name.QtName, QStringDecoder::Flag::Stateless);
    if (decoder.isValid())
        return decoder.decode(bytes);

    QString result;
    iconv_t cd = iconv_open("UTF-16LE", name.IconvName);
    if (cd == iconv_t(-1)) {
        result.fill(QChar::ReplacementCharacter, bytes.size());
        return result;
    }
    QByteArray out(bytes.size() * 4 + 8, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG)
            break;
        // An undefined or cut sequence: one replacement character for its first byte, then go on.
        if (outLeft < 2)
            break;
        *outPtr++ = char(0xFD);
        *outPtr++ = char(0xFF);
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    const qsizetype written = outPtr - out.data();
    result.resize(written / 2);
    memcpy(result.data(), out.constData(), size_t(written / 2) * 2);
    return result;
}

using TTable = std::array<char16_t, 256>;
using TEncodeTable = std::array<unsigned char, 65536>;

struct TTables
{
    QMutex Lock;
    QHash<int, std::shared_ptr<const TTable>> Decode;
    QHash<int, std::shared_ptr<const TEncodeTable>> Encode;
};

TTables &Tables()
{
    static TTables tables;
    return tables;
}

std::shared_ptr<const TTable> BuildTable(int codePage)
{
    auto table = std::make_shared<TTable>();
    for (int b = 0; b < 0x80; ++b)
        (*table)[size_t(b)] = char16_t(b);
    const TCodePageName *name = FindName(codePage);
    if (!name)
        name = FindName(Ansi);
    for (int b = 0x80; b < 0x100; ++b) {
        const char byte = char(b);
        const QString s = DecodeThroughLibrary(*name, QByteArrayView(&byte, 1));
        (*table)[size_t(b)] = s.size() == 1 ? char16_t(s.at(0).unicode()) : char16_t(0xFFFD);
    }
    return table;
}

} // namespace

int OfCharset(int charset, int documentCodePage)
{
    switch (charset) {
    case 0:
    case 2:
        return Ansi;
    case 77:
        return MacRoman;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
    case 255:
        return 437;
    default:
        return IsSupported(documentCodePage) ? documentCodePage : Ansi;
    }
}

bool IsSupported(int codePage)
{
    return codePage == Utf8 || FindName(codePage) != nullptr;
}

bool IsMultiByte(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361 ||
           codePage == Utf8;
}

const char16_t *SingleByteTable(int codePage)
{
    if (IsMultiByte(codePage))
        return nullptr;
    if (!FindName(codePage))
        codePage = Ansi;
    TTables &tables = Tables();
    QMutexLocker locker(&tables.Lock);
    auto &slot = tables.Decode[codePage];
    if (!slot)
        slot = BuildTable(codePage);
    // Tables are never removed, so the pointer stays valid after the lock is released.
    return slot->data();
}

void Decode(int codePage, QByteArrayView bytes, QString &out)
{
    if (bytes.isEmpty())
        return;
    if (codePage == Utf8) {
        out += QString::fromUtf8(bytes);
        return;
    }
    if (IsMultiByte(codePage)) {
        QString decoded = DecodeThroughLibrary(*FindName(codePage), bytes);
        // glibc's Johab reads the single byte 0x5C as the won sign; Windows reads a backslash, and the
        // writer relies on plain ASCII meaning itself in every code page.
        if (codePage == 1361)
            decoded.replace(QChar(0x20A9), QLatin1Char('\\'));
        out += decoded;
        return;
    }
    const char16_t *table = SingleByteTable(codePage);
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    char16_t *dst = reinterpret_cast<char16_t *>(out.data()) + start;
    for (const char c : bytes)
        *dst++ = table[static_cast<unsigned char>(c)];
}

char16_t DecodeByte(int codePage, unsigned char byte)
{
    const char16_t *table = SingleByteTable(codePage);
    return table ? table[byte] : (byte < 0x80 ? char16_t(byte) : char16_t(0xFFFD));
}

const unsigned char *EncodeTable(int codePage)
{
    if (IsMultiByte(codePage))
        return nullptr;
    if (!FindName(codePage))
        codePage = Ansi;
    TTables &tables = Tables();
    {
        QMutexLocker locker(&tables.Lock);
        const auto it = tables.Encode.constFind(codePage);
        if (it != tables.Encode.constEnd())
            return it.value()->data();
    }
    const char16_t *decode = SingleByteTable(codePage);
    auto table = std::make_shared<TEncodeTable>();
    table->fill(0);
    for (int b = 0x80; b < 0x100; ++b) {
        const char16_t c = decode[b];
        // Private-use and replacement characters stand for bytes the code page leaves undefined.
        if (c >= 0x80 && c != 0xFFFD && !(c >= 0xE000 && c < 0xF900) && !(*table)[c])
            (*table)[c] = static_cast<unsigned char>(b);
    }
    QMutexLocker locker(&tables.Lock);
    auto &slot = tables.Encode[codePage];
    if (!slot)
        slot = table;
    return slot->data();
}

bool EncodeChar(int codePage, char16_t ch, unsigned char &byte)
{
    if (ch < 0x80) {
        byte = static_cast<unsigned char>(ch);
        return true;
    }
    const unsigned char *table = EncodeTable(codePage);
    if (!table || !table[ch])
        return false;
    byte = table[ch];
    return true;
}

} // namespace QBRtfCodePage
