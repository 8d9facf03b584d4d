// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "cli/CliTool.h"
#include "controls/ArticleRichEdit.h"
#include "document/QBXml.h"
#include "export/QBExportCore.h"
#include "search/QBSearchCore.h"
#include "services/QBEditorIntf.h"

#include <QTextDocument>

// Every reader of a stored body (editor, search, export, the command-line tool) reads the same
// text from it, however the body carries its characters.
class TestBodyReaders : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyReader_seesTheSameText_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("text");
        const QString words = QString::fromUtf8("Raw café naïve Größe");
        QTest::newRow("7-bit escapes") << QStringLiteral("{\\rtf1\\ansi Raw caf\\'e9 na\\'efve Gr\\'f6\\'dfe\\par}")
                                       << words;
        // Bodies written by other programs may carry their characters as they are.
        QTest::newRow("raw code page") << QString::fromUtf8("{\\rtf1\\ansi\\ansicpg1252 Raw café naïve Größe\\par}")
                                       << words;
        QTest::newRow("raw beyond the code page") << QString::fromUtf8("{\\rtf1\\ansi naïve \u4e2d\u6587 \u0416\\par}")
                                                  << QString::fromUtf8("naïve \u4e2d\u6587 \u0416");
    }

    void everyReader_seesTheSameText()
    {
        QFETCH(QString, body);
        QFETCH(QString, text);
        TAppFrameFixture f;
        const IQBArticlePtr article = f.add(QStringLiteral("Body"));
        article->SetContent(body);
        const IQBArticlePtr other = f.add(QStringLiteral("Other"));

        // Search: a word after the first raw character is found where the editor will show it.
        const QString word = QString::fromUtf8("naïve");
        QList<int> positions;
        TQBSearch search(word, {}, false);
        search.SetSink([&positions](const TQBSearchMatch &match) { positions.append(match.Position); });
        search.Run(f.doc());
        QCOMPARE(positions, QList<int>{int(text.indexOf(word))});

        // Export as plain text.
        QTextDocument exported;
        TQBExportSource source;
        source.Document = f.doc();
        source.Current = article;
        TQBExportOptions options;
        options.IncludeTitles = false;
        QVERIFY(QBBuildExport(exported, esCurrentArticle, source, options));
        QCOMPARE(QBExportPlainText(exported, QStringLiteral("\n")), text + QLatin1Char('\n'));

        // The command-line tool, from the saved file.
        const QString fileName = f.path(QStringLiteral("bodies.xqb"));
        QBWriteDocument(f.doc(), fileName);
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        QCOMPARE(CliRun({QStringLiteral("text"), fileName, QString::number(article->IID())}, outStream, errStream),
                 int(ceOk));
        QCOMPARE(out, text + QLatin1Char('\n'));

        // The editor, and a change elsewhere in the body stores the words as they were read.
        EditorService()->NavigateTo(article);
        TArticleRichEdit *editor = f.frame->RichEdit;
        QCOMPARE(editor->toPlainText(), text);
        editor->SetSelStart(0);
        QTest::keyClicks(editor, QStringLiteral("New: "));
        EditorService()->NavigateTo(other);
        QBWriteDocument(f.doc(), fileName);
        out.clear();
        QCOMPARE(CliRun({QStringLiteral("text"), fileName, QString::number(article->IID())}, outStream, errStream),
                 int(ceOk));
        QCOMPARE(out, QStringLiteral("New: ") + text + QLatin1Char('\n'));
    }
};

QTEST_MAIN(TestBodyReaders)
#include "tst_BodyReaders.moc"
