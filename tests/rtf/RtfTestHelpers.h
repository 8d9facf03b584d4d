// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QFile>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>

namespace QBRtfTest {

inline QString SampleDir()
{
    return QStringLiteral(QB_TEST_DATA_DIR "/rtf");
}

inline QByteArray ReadSample(const QString &name)
{
    QFile file(SampleDir() + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample %s", qPrintable(name));
    return file.readAll();
}

inline QStringList SampleFiles()
{
    return QDir(SampleDir()).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
}

// The document's text as the extractor gives it: '\n' between paragraphs.
inline QString DocumentText(const QTextDocument &doc)
{
    QString text = doc.toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

struct TRun
{
    QString Text;
    QTextCharFormat Format;
};

inline QList<TRun> Runs(const QTextDocument &doc)
{
    QList<TRun> runs;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            runs.append({it.fragment().text(), it.fragment().charFormat()});
    return runs;
}

// The rich edit control's link template, with backslashes doubled as it is filled.
inline QByteArray LinkRtf(QString target, QString text)
{
    target.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    text.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    return "{\\rtf1{\\colortbl ;\\red0\\green0\\blue255;}{\\field{\\*\\fldinst { HYPERLINK \"" + target.toLatin1() +
           "\" }}{\\fldrslt{\\cf1\\ul " + text.toLatin1() + "}}}\\cf0\\ulnone}";
}

} // namespace QBRtfTest
