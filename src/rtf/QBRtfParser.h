// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

// The meaning of RTF, shared by the plain-text extractor (QtCore) and the document reader (QtGui):
// the parser walks the tokens, keeps the group states, tables, fields, lists and pictures, and hands
// text, paragraph ends and pictures to a sink. Both consumers see the very same text this way.

struct TQBRtfCharState
{
    int Font = -1;        // font number, -1 when none was named
    int Size = 24;        // half-points
    bool HasSize = false; // \fs was given since the last \plain
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strike = false;
    int Color = 0;     // colour table index; 0 is the automatic colour
    int BackColor = 0; // colour table index; 0 is none
    int VAlign = 0;    // 0 normal, 1 subscript, 2 superscript
    QString Href;      // the link target of a HYPERLINK field's result, empty outside links

    bool operator==(const TQBRtfCharState &) const = default;
};

enum class TQBRtfTabKind { Left, Right, Center, Decimal };

struct TQBRtfTab
{
    int Position = 0; // twips
    TQBRtfTabKind Kind = TQBRtfTabKind::Left;
    bool operator==(const TQBRtfTab &) const = default;
};

// What a list says about its labels.
struct TQBRtfListFacts
{
    int Start = 1;         // the number of the first item (\pnstart, \levelstartat)
    bool HasStart = false; // the list gave its start
    int BulletFont = -1;   // font table number of the bullet's font
    QString Prefix, Suffix;
    QString Bullet; // characters of the bullet's font, not yet Unicode
    QString Label;  // the {\pntext} of the paragraph: the label its writer showed
};

struct TQBRtfParaState
{
    int Align = 0;                                        // 0 left, 1 right, 2 centre, 3 justified
    int LeftIndent = 0, RightIndent = 0, FirstIndent = 0; // twips
    int SpaceBefore = 0, SpaceAfter = 0;                  // twips
    int LineSpacing = 0;                                  // \sl: 0 single, >0 at least, <0 exactly (twips)
    bool LineMultiple = false;                            // \slmult1: LineSpacing is in 240ths of a line
    QList<TQBRtfTab> Tabs;
    int Numbering = 0; // 0 none, 1 bullets, 2 numbers, 3 a b c, 4 A B C, 5 i ii iii, 6 I II III
    int ListLevel = 0; // 0-based
    int ListId = 0;    // word-processor list override number; 0 for the rich edit control's lists
    bool PageBreakBefore = false;
    int PnGroup = 0; // which \pn group numbered the paragraph: paragraphs that inherit it continue its list
    // Shared, and null where a list says nothing: every group copies the state.
    std::shared_ptr<const TQBRtfListFacts> ListFacts;

    bool operator==(const TQBRtfParaState &) const = default;
};

enum class TQBRtfPictureKind { Png, Jpeg, Dib, WBitmap, Kept };

struct TQBRtfPicture
{
    TQBRtfPictureKind Kind = TQBRtfPictureKind::Kept;
    QByteArray Data;       // decoded picture bytes (empty for kept pictures); an object's: of its result picture
    QByteArray Source;     // the RTF group as read, kept for objects and for pictures drawn as placeholders
    bool IsObject = false; // an object: always kept as read, shown as its result picture when one is readable
    bool IsMetafile = false;
    int PicWidth = 0, PicHeight = 0;                  // \picw, \pich: pixels for bitmaps, 0.01 mm for metafiles
    int WidthTwips = 0, HeightTwips = 0;              // shown size after scaling; 0 when the RTF gives none
    int BitsPerPixel = 0, Planes = 0, WidthBytes = 0; // for \wbitmap
};

struct TQBRtfFont
{
    QString Name;
    int Charset = 1;
    int CodePage = 0; // 0: from the charset
};

struct TQBRtfColor
{
    bool Auto = true;
    int Red = 0, Green = 0, Blue = 0;
};

class IQBRtfSink
{
public:
    virtual ~IQBRtfSink() = default;
    // Text in one character state; tabs are '\t', line breaks U+2028, special characters as Unicode.
    virtual void Text(QStringView text, const TQBRtfCharState &state) = 0;
    // The paragraph read so far ends with the given format. withBreak is false only for the last one,
    // which has no paragraph mark after it.
    virtual void ParagraphEnd(const TQBRtfParaState &para, bool withBreak) = 0;
    // A picture or object, one character of the text.
    virtual void Picture(const TQBRtfPicture &picture, const TQBRtfCharState &state) = 0;
};

class TQBRtfParser
{
public:
    struct TOptions
    {
        // Whole document: a paragraph mark at the very end belongs to the last paragraph and adds no
        // empty one; otherwise every mark breaks (inserting at a selection).
        bool WholeDocument = true;
        // The extractor needs no picture bytes.
        bool WantPictureData = true;
    };

    TQBRtfParser(IQBRtfSink &sink, TOptions options);
    ~TQBRtfParser();

    // Walks the input. Data that does not start with "{\rtf" is read as plain text (UTF-8 when valid,
    // else code page 1252), with each line end a paragraph mark.
    void Parse(const QByteArray &input);

    // The font of a number from the font table (-1: the default font); null when there is none.
    const TQBRtfFont *FindFont(int number) const;
    // A colour table entry; entries out of range are automatic.
    TQBRtfColor Color(int index) const;

    // Group nesting deeper than this is read without saving states (the text still comes through).
    static constexpr int MaxDepth = 2000;
    // List facts that RTF controls are cut to these bounds.
    static constexpr int MaxListStart = 32767;
    static constexpr int MaxListText = 32;

private:
    class TImpl;
    TImpl *FImpl;
};
