// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Splits RTF into tokens. It never fails: whatever the bytes, each call consumes at least one byte
// until End, so a pass over any input is linear. QtCore only.
enum class TQBRtfTokenKind {
    End,
    GroupStart,
    GroupEnd,
    ControlWord,   // Word, HasParam, Param
    ControlSymbol, // Symbol: one of ~ - _ * : | and '\n' for a backslash before a line end
    Text,          // Data: literal bytes, never containing '\\', '{', '}', CR or LF
    HexByte,       // Byte: from \'hh
    Binary,        // Data: the bytes after \binN (cut at the end of the input)
};

struct TQBRtfToken
{
    TQBRtfTokenKind Kind = TQBRtfTokenKind::End;
    qsizetype Offset = 0; // where the token starts in the input
    QByteArrayView Word;
    bool HasParam = false;
    int Param = 0;
    char Symbol = 0;
    unsigned char Byte = 0;
    QByteArrayView Data;
};

class TQBRtfTokenizer
{
public:
    explicit TQBRtfTokenizer(QByteArrayView input) : FInput(input) {}

    // Reads the next token; returns false (with Kind End) at the end of the input.
    bool Next(TQBRtfToken &token);
    // The offset just after the last token read.
    qsizetype Position() const { return FPos; }
    QByteArrayView Input() const { return FInput; }

    // Control words longer than this are read to their end and reported cut to this length.
    static constexpr int MaxWordLength = 32;

private:
    QByteArrayView FInput;
    qsizetype FPos = 0;
};

// True for a control word name (the token's Word) equal to the literal.
inline bool IsWord(const TQBRtfToken &token, const char *name)
{
    return token.Word == QByteArrayView(name);
}

// The RTF without every group whose destination is the given control word (also behind \*), such as
// an object's "result". Braces left open at the end close the removed group.
QByteArray RtfWithoutGroups(QByteArrayView rtf, QByteArrayView destination);

// RTF cut short (a group left open at the end of damaged input) made whole: a cut \bin and a lone
// backslash at the end are dropped, and every open group is closed.
QByteArray RtfClosedGroups(QByteArrayView rtf);
