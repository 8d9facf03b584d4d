// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>

// What an editor's document holds, as the rich-text tests look at it.

// Every picture in document order, one entry for each picture character.
inline QList<QTextImageFormat> picturesIn(const QTextDocument &document)
{
    QList<QTextImageFormat> found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                for (int i = 0; i < it.fragment().length(); ++i)
                    found.append(it.fragment().charFormat().toImageFormat());
    return found;
}

// The first paragraph whose text contains text; an invalid block when none does.
inline QTextBlock blockWith(const QTextDocument &document, const QString &text)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.text().contains(text))
            return block;
    return {};
}
