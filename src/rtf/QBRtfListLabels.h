// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "QBRtfParser.h"

#include <QHash>
#include <QString>

// List labels without a text document: the styles, numbers and labels of lists, and which list a
// numbered paragraph joins. The document reader and the plain-text extractor both number lists
// through TQBRtfListTracker, so a label is the same whichever of them read the body.
struct TQBListStyle
{
    enum TNumbering { Bulleted = 1, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

    int Numbering = Decimal;
    int Level = 0; // 0-based
    int Start = 1; // the number of the first item
    QString Prefix;
    QString Suffix = QStringLiteral(".");
    QString Bullet;     // the bullet's characters in BulletFont as read; empty: the standard bullet
    QString BulletFont; // empty: no font of its own

    bool operator==(const TQBListStyle &) const = default;
};

namespace QBRtfLists {
// Labels are built for numbers up to this; greater ones are cut to it.
inline constexpr int MaxNumber = 1000000;
} // namespace QBRtfLists

// A number in a numbering style, without prefix and suffix ("iv", "AB", "12").
QString QBListNumberText(int numbering, int number);
// The bullet's characters as Unicode: symbol fonts' private characters become what they show.
QString QBListBulletText(const QString &bullet, const QString &font);
// The label of the item with the given number in a list of the style ("IV.", "a)", "(2)", "•").
QString QBListLabelText(const TQBListStyle &style, int number);
// The number a label of the style shows, -1 when it shows none.
int QBListLabelNumber(QStringView label, const TQBListStyle &style);

// Follows the lists of one body as its paragraphs end, in order: a rich edit control's list ends at a
// paragraph without a number, a word processor's goes on after it.
class TQBRtfListTracker
{
public:
    struct TItem
    {
        int List = -1;        // which list of the body, counting from 0; -1 outside lists
        bool NewList = false; // the item starts that list
        TQBListStyle Style;   // the list's style as it started
        int Number = 0;       // the item's number, counting from the list's start
    };

    // The parser's font table names the bullets' fonts.
    explicit TQBRtfListTracker(const TQBRtfParser &parser) : FParser(parser) {}

    // The paragraph with the given format ends; paragraph counts paragraphs, so that a list knows
    // whether an item follows its last one.
    TItem Add(const TQBRtfParaState &para, int paragraph);

private:
    struct TOpenList
    {
        int List = -1;
        TQBListStyle Style;
        int Next = 1;
        int Items = 0;
        int LastParagraph = -1;
        int PnStart = 1; // \pnstart of the last item
        int PnGroup = 0; // \pn group of the last item
    };

    TQBListStyle StyleOf(const TQBRtfParaState &para) const;
    static bool ContinuesPn(const TOpenList &open, const TQBRtfParaState &para, const TQBListStyle &style,
                            int paragraph);

    const TQBRtfParser &FParser;
    TOpenList FPnLists[9];
    bool FPnOpen = false; // some of FPnLists may be open
    QHash<qint64, TOpenList> FLsLists;
    int FLists = 0;
};
