// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfTokenizer.h"

#include <algorithm>
#include <limits>

namespace {

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

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool TQBRtfTokenizer::Next(TQBRtfToken &token)
{
    const char *data = FInput.data();
    const qsizetype size = FInput.size();

    // Line ends carry no meaning in RTF.
    while (FPos < size && (data[FPos] == '\r' || data[FPos] == '\n'))
        ++FPos;

    token.Offset = FPos;
    token.HasParam = false;
    token.Param = 0;
    if (FPos >= size) {
        token.Kind = TQBRtfTokenKind::End;
        return false;
    }

    const char c = data[FPos];
    if (c == '{') {
        ++FPos;
        token.Kind = TQBRtfTokenKind::GroupStart;
        return true;
    }
    if (c == '}') {
        ++FPos;
        token.Kind = TQBRtfTokenKind::GroupEnd;
        return true;
    }
    if (c != '\\') {
        const qsizetype start = FPos;
        while (FPos < size) {
            const char d = data[FPos];
            if (d == '\\' || d == '{' || d == '}' || d == '\r' || d == '\n')
                break;
            ++FPos;
        }
        token.Kind = TQBRtfTokenKind::Text;
        token.Data = FInput.sliced(start, FPos - start);
        return true;
    }

    // A backslash.
    ++FPos;
    if (FPos >= size) {
        // A lone backslash at the very end: nothing follows it.
        token.Kind = TQBRtfTokenKind::End;
        return false;
    }
    const char s = data[FPos];
    if (IsLetter(s)) {
        const qsizetype start = FPos;
        while (FPos < size && IsLetter(data[FPos]))
            ++FPos;
        token.Word = FInput.sliced(start, qMin<qsizetype>(FPos - start, MaxWordLength));
        token.Kind = TQBRtfTokenKind::ControlWord;

        bool negative = false;
        if (FPos + 1 < size && data[FPos] == '-' && IsDigit(data[FPos + 1])) {
            negative = true;
            ++FPos;
        }
        if (FPos < size && IsDigit(data[FPos])) {
            // Huge numbers are read to their end and clamped, never overflowed.
            long long value = 0;
            while (FPos < size && IsDigit(data[FPos])) {
                if (value < (1LL << 40))
                    value = value * 10 + (data[FPos] - '0');
                ++FPos;
            }
            if (negative)
                value = -value;
            value = std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
            token.HasParam = true;
            token.Param = int(value);
        }
        if (FPos < size && data[FPos] == ' ')
            ++FPos;

        if (token.Word == QByteArrayView("bin")) {
            const qsizetype length = token.HasParam && token.Param > 0 ? token.Param : 0;
            const qsizetype available = qMin(length, size - FPos);
            token.Kind = TQBRtfTokenKind::Binary;
            token.Data = FInput.sliced(FPos, available);
            FPos += available;
        }
        return true;
    }

    ++FPos;
    switch (s) {
    case '\\':
    case '{':
    case '}':
        token.Kind = TQBRtfTokenKind::Text;
        token.Data = FInput.sliced(FPos - 1, 1);
        return true;
    case '\'': {
        const int high = FPos < size ? HexValue(data[FPos]) : -1;
        const int low = FPos + 1 < size ? HexValue(data[FPos + 1]) : -1;
        if (high < 0 || low < 0) {
            // A broken escape yields nothing; a lone hex digit goes with it, other characters are read as usual.
            if (high >= 0)
                ++FPos;
            token.Kind = TQBRtfTokenKind::ControlSymbol;
            token.Symbol = '\'';
            return true;
        }
        FPos += 2;
        token.Kind = TQBRtfTokenKind::HexByte;
        token.Byte = static_cast<unsigned char>(high * 16 + low);
        return true;
    }
    case '\r':
    case '\n':
        token.Kind = TQBRtfTokenKind::ControlSymbol;
        token.Symbol = '\n';
        return true;
    default:
        token.Kind = TQBRtfTokenKind::ControlSymbol;
        token.Symbol = s;
        return true;
    }
}

QByteArray RtfWithoutGroups(QByteArrayView rtf, QByteArrayView destination)
{
    QByteArray result;
    TQBRtfTokenizer tokenizer(rtf);
    TQBRtfToken token;
    qsizetype copied = 0;
    qsizetype groupStart = -1; // the last '{' while its first word has not come yet
    while (tokenizer.Next(token)) {
        if (token.Kind == TQBRtfTokenKind::GroupStart) {
            groupStart = token.Offset;
            continue;
        }
        if (token.Kind == TQBRtfTokenKind::ControlSymbol && token.Symbol == '*')
            continue;
        if (token.Kind == TQBRtfTokenKind::ControlWord && groupStart >= 0 && token.Word == destination) {
            int depth = 1;
            while (depth > 0 && tokenizer.Next(token)) {
                if (token.Kind == TQBRtfTokenKind::GroupStart)
                    ++depth;
                else if (token.Kind == TQBRtfTokenKind::GroupEnd)
                    --depth;
            }
            result += rtf.sliced(copied, groupStart - copied);
            copied = tokenizer.Position();
        }
        groupStart = -1;
    }
    result += rtf.sliced(copied);
    return result;
}

QByteArray RtfClosedGroups(QByteArrayView rtf)
{
    TQBRtfTokenizer tokenizer(rtf);
    TQBRtfToken token;
    int depth = 0;
    qsizetype safeEnd = 0;
    while (tokenizer.Next(token)) {
        if (token.Kind == TQBRtfTokenKind::Binary && token.Data.size() < qsizetype(qMax(0, token.Param)))
            break;
        if (token.Kind == TQBRtfTokenKind::GroupStart)
            ++depth;
        else if (token.Kind == TQBRtfTokenKind::GroupEnd && depth > 0)
            --depth;
        safeEnd = tokenizer.Position();
    }
    QByteArray result = rtf.first(safeEnd).toByteArray();
    result += QByteArray(depth, '}');
    return result;
}
