// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBDom.h"
#include "export/QBExportCore.h"
#include "rtf/QBRtfReader.h"
#include "support/DocumentCompare.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace {

// Root "Root" (r), 1 "A" (a) with 1.1 "A1" (a1) and 1.2 "A2" (a2), 2 "B" (b).
struct TTree
{
    IQBDocumentPtr Document = NewQBDocument();
    IQBArticlePtr Root, A, A1, A2, B;

    TTree()
    {
        Root = Document->Root();
        Root->SetCaption(QStringLiteral("Root"));
        Root->SetContent(rtf(QStringLiteral("r")));
        A = addArticle(Document, Root, QStringLiteral("A"), rtf(QStringLiteral("a")));
        A1 = addArticle(Document, A, QStringLiteral("A1"), rtf(QStringLiteral("a1")));
        A2 = addArticle(Document, A, QStringLiteral("A2"), rtf(QStringLiteral("a2")));
        B = addArticle(Document, Root, QStringLiteral("B"), rtf(QStringLiteral("b")));
    }
};

QString build(TExportScope scope, const TQBExportSource &source, const TQBExportOptions &options = {})
{
    QTextDocument document;
    if (!QBBuildExport(document, scope, source, options))
        return QStringLiteral("<cancelled>");
    return QBExportPlainText(document, QStringLiteral("\n"));
}

TQBExportSource sourceOf(const IQBDocumentPtr &document, const IQBArticlePtr &current = {})
{
    TQBExportSource source;
    source.Document = document;
    source.Current = current;
    return source;
}

// The first fragment whose text is exactly text.
QTextCharFormat formatOf(const QTextDocument &document, const QString &text)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().text() == text)
                return it.fragment().charFormat();
    qFatal("no fragment '%s'", qPrintable(text));
}

// A body as the rich edit control writes one: a tab, bullets and numbers in its \pn form, a link.
const char ListsBody[] =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}{\\colortbl ;\\red0\\green0\\blue255;}\n"
    "\\f0\\fs20 Intro\\tab tabbed\\par\n"
    "{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-200\\li200 Apple\\par\n"
    "{\\pntext\\f1\\'b7\\tab}Pear\\par\n"
    "\\pard{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec{\\pntxta.}}\\fi-200\\li200 "
    "One\\par\n"
    "{\\pntext\\f0 2.\\tab}Two\\par\n"
    "\\pard See {\\field{\\*\\fldinst { HYPERLINK \"http://example.com\" }}{\\fldrslt{\\cf1\\ul the site}}}"
    "\\cf0\\ulnone  now,\\line then \\b bold\\b0.\\par\n}";

} // namespace

class TestQBExportCore : public QObject
{
    Q_OBJECT

private slots:
    void articleNumber_countsFromOneUpToTheRoot();
    void document_withNumbering_numbersEveryArticleButTheRoot();
    void document_withoutTitles_givesBodiesOnly();
    void rootAlone_withNumbering_hasNoNumber();
    void skipEmpty_dropsTitleButKeepsChildren();
    void keepEmpty_keepsTitleOfEmptyArticle();
    void scopes_takeTheirArticles();
    void titleFont_comesFromTheDescriptor();
    void body_keepsItsOwnFormatAfterTheTitle();
    void plainText_listsTabsAndLinks_asTheEditorShowsThem();
    void listAtTheEndOfABody_doesNotSpillIntoTheNextArticle();
    void cancel_leavesNothingAndTheNextBuildStartsAfresh();
    void save_writesPlainTextAsUtf8WithPlatformLineEnds();
    void save_writesRtfThatReadsBackToTheSameText();
    void save_toAMissingFolder_raisesAndWritesNothing();
    void formatOf_txtExtensionIsPlainText();
};

void TestQBExportCore::articleNumber_countsFromOneUpToTheRoot()
{
    const TTree tree;
    QCOMPARE(ArticleNumber(tree.Root), QString());
    QCOMPARE(ArticleNumber(tree.A), QStringLiteral("1."));
    QCOMPARE(ArticleNumber(tree.A2), QStringLiteral("1.2."));
    QCOMPARE(ArticleNumber(tree.B), QStringLiteral("2."));
    const IQBArticlePtr deep = addArticle(tree.Document, tree.A2, QStringLiteral("deep"));
    QCOMPARE(ArticleNumber(deep), QStringLiteral("1.2.1."));
    QCOMPARE(ArticleNumber(nullptr), QString());
}

void TestQBExportCore::document_withNumbering_numbersEveryArticleButTheRoot()
{
    const TTree tree;
    TQBExportOptions options;
    options.Numbering = true;
    QCOMPARE(build(esDocument, sourceOf(tree.Document), options),
             QStringLiteral("Root\nr\n1. A\na\n1.1. A1\na1\n1.2. A2\na2\n2. B\nb\n"));
    QCOMPARE(build(esDocument, sourceOf(tree.Document)), QStringLiteral("Root\nr\nA\na\nA1\na1\nA2\na2\nB\nb\n"));
}

void TestQBExportCore::document_withoutTitles_givesBodiesOnly()
{
    const TTree tree;
    TQBExportOptions options;
    options.IncludeTitles = false;
    options.Numbering = true;
    QCOMPARE(build(esDocument, sourceOf(tree.Document), options), QStringLiteral("r\na\na1\na2\nb\n"));
}

void TestQBExportCore::rootAlone_withNumbering_hasNoNumber()
{
    const TTree tree;
    TQBExportOptions options;
    options.Numbering = true;
    QCOMPARE(build(esCurrentArticle, sourceOf(tree.Document, tree.Root), options), QStringLiteral("Root\nr\n"));
    QCOMPARE(build(esCurrentArticle, sourceOf(tree.Document, tree.A2), options), QStringLiteral("1.2. A2\na2\n"));
}

void TestQBExportCore::skipEmpty_dropsTitleButKeepsChildren()
{
    const TTree tree;
    tree.Root->SetContent(QString());
    tree.A->SetContent(QString());
    TQBExportOptions options;
    options.Numbering = true;
    QCOMPARE(build(esDocument, sourceOf(tree.Document), options),
             QStringLiteral("1.1. A1\na1\n1.2. A2\na2\n2. B\nb\n"));
    QCOMPARE(build(esBranch, sourceOf(tree.Document, tree.A), options), QStringLiteral("1.1. A1\na1\n1.2. A2\na2\n"));
}

void TestQBExportCore::keepEmpty_keepsTitleOfEmptyArticle()
{
    const TTree tree;
    tree.A->SetContent(QString());
    TQBExportOptions options;
    options.SkipEmpty = false;
    QCOMPARE(build(esBranch, sourceOf(tree.Document, tree.A), options), QStringLiteral("A\n\nA1\na1\nA2\na2\n"));
}

void TestQBExportCore::scopes_takeTheirArticles()
{
    const TTree tree;
    QCOMPARE(build(esCurrentArticle, sourceOf(tree.Document, tree.A)), QStringLiteral("A\na\n"));
    QCOMPARE(build(esBranch, sourceOf(tree.Document, tree.A)), QStringLiteral("A\na\nA1\na1\nA2\na2\n"));
    QCOMPARE(build(esCurrentArticle, sourceOf(tree.Document)), QString());
    QCOMPARE(build(esBranch, sourceOf(tree.Document)), QString());
    QCOMPARE(build(esDocument, TQBExportSource()), QString());

    TQBExportSource open;
    open.OpenArticles = {tree.B, tree.A1};
    // Open articles are set apart by an empty paragraph.
    QCOMPARE(build(esOpenArticles, open), QStringLiteral("B\nb\n\nA1\na1\n"));

    TQBExportSource selection;
    selection.Selection = rtf(QStringLiteral("picked")).toLatin1();
    QCOMPARE(build(esSelection, selection), QStringLiteral("picked\n"));
    QCOMPARE(build(esSelection, TQBExportSource()), QString());
}

void TestQBExportCore::titleFont_comesFromTheDescriptor()
{
    const TTree tree;
    QTextDocument document;
    QVERIFY(QBBuildExport(document, esCurrentArticle, sourceOf(tree.Document, tree.A), {}));
    QTextCharFormat title = formatOf(document, QStringLiteral("A"));
    QCOMPARE(title.fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
    QCOMPARE(title.fontPointSize(), 14.0);
    QVERIFY(title.fontWeight() < QFont::Bold);
    QVERIFY(!title.hasProperty(QTextFormat::ForegroundBrush));

    TQBExportOptions options;
    options.TitleFont = QStringLiteral("Times New Roman, 12, 1, 3, $000000FF");
    QVERIFY(QBBuildExport(document, esCurrentArticle, sourceOf(tree.Document, tree.A), options));
    title = formatOf(document, QStringLiteral("A"));
    QCOMPARE(title.fontFamilies().toStringList().value(0), QStringLiteral("Times New Roman"));
    QCOMPARE(title.fontPointSize(), 12.0);
    QCOMPARE(title.fontWeight(), int(QFont::Bold));
    QVERIFY(title.fontItalic());
    QCOMPARE(title.foreground().color(), QColor(255, 0, 0));
}

void TestQBExportCore::body_keepsItsOwnFormatAfterTheTitle()
{
    const TTree tree;
    tree.A->SetContent(QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Courier New;}}\\f0\\fs18 plain "
                                      "\\b strong\\b0\\par\n}"));
    QTextDocument document;
    QVERIFY(QBBuildExport(document, esCurrentArticle, sourceOf(tree.Document, tree.A), {}));
    const QTextCharFormat strong = formatOf(document, QStringLiteral("strong"));
    QCOMPARE(strong.fontWeight(), int(QFont::Bold));
    QCOMPARE(strong.fontPointSize(), 9.0);
    QCOMPARE(strong.fontFamilies().toStringList().value(0), QStringLiteral("Courier New"));
    QCOMPARE(formatOf(document, QStringLiteral("plain ")).fontWeight(), int(QFont::Normal));
    // Title, body and nothing after it.
    QCOMPARE(document.blockCount(), 2);
}

void TestQBExportCore::plainText_listsTabsAndLinks_asTheEditorShowsThem()
{
    const IQBDocumentPtr source = NewQBDocument();
    source->Root()->SetCaption(QString::fromUtf8("Notes \u2713"));
    source->Root()->SetContent(QString::fromLatin1(ListsBody));
    const IQBArticlePtr child = addArticle(source, source->Root(), QStringLiteral("After"), rtf(QStringLiteral("end")));
    Q_UNUSED(child);
    TQBExportOptions options;
    options.Numbering = true;
    QCOMPARE(build(esDocument, sourceOf(source), options), QString::fromUtf8("Notes \u2713\n"
                                                                             "Intro\ttabbed\n"
                                                                             "\u2022\tApple\n"
                                                                             "\u2022\tPear\n"
                                                                             "1.\tOne\n"
                                                                             "2.\tTwo\n"
                                                                             "See the site now,\n"
                                                                             "then bold.\n"
                                                                             "1. After\n"
                                                                             "end\n"));
}

void TestQBExportCore::listAtTheEndOfABody_doesNotSpillIntoTheNextArticle()
{
    const QString list =
        QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\\f0\\fs20 "
                       "{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-200\\li200 "
                       "Last item\\par\n}");
    const IQBDocumentPtr source = NewQBDocument();
    source->Root()->SetCaption(QStringLiteral("First"));
    source->Root()->SetContent(list);
    addArticle(source, source->Root(), QStringLiteral("Second"), list);
    TQBExportOptions options;
    options.IncludeTitles = false;
    QCOMPARE(build(esDocument, sourceOf(source), options), QString::fromUtf8("\u2022\tLast item\n\u2022\tLast item\n"));
    options.IncludeTitles = true;
    QTextDocument document;
    QVERIFY(QBBuildExport(document, esDocument, sourceOf(source), options));
    QCOMPARE(QBExportPlainText(document, QStringLiteral("\n")),
             QString::fromUtf8("First\n\u2022\tLast item\nSecond\n\u2022\tLast item\n"));
    // The last paragraph of the export is the list item itself, with nothing after it.
    QCOMPARE(document.blockCount(), 4);
    QVERIFY(document.lastBlock().textList());
}

void TestQBExportCore::cancel_leavesNothingAndTheNextBuildStartsAfresh()
{
    const TTree tree;
    QTextDocument document;
    QStringList seen;
    const bool built =
        QBBuildExport(document, esDocument, sourceOf(tree.Document), {}, [&seen](const QString &caption) {
            seen.append(caption);
            return seen.size() < 3;
        });
    QVERIFY(!built);
    QCOMPARE(seen, (QStringList{QStringLiteral("Root"), QStringLiteral("A"), QStringLiteral("A1")}));
    QVERIFY(document.isEmpty());

    seen.clear();
    QVERIFY(QBBuildExport(document, esDocument, sourceOf(tree.Document), {}, [&seen](const QString &caption) {
        seen.append(caption);
        return true;
    }));
    QCOMPARE(seen.size(), 5);
    QCOMPARE(QBExportPlainText(document, QStringLiteral("\n")),
             QStringLiteral("Root\nr\nA\na\nA1\na1\nA2\na2\nB\nb\n"));
}

void TestQBExportCore::save_writesPlainTextAsUtf8WithPlatformLineEnds()
{
    const IQBDocumentPtr source = NewQBDocument();
    source->Root()->SetCaption(QString::fromUtf8("Grüße \u4e2d"));
    source->Root()->SetContent(rtf(QStringLiteral("one\\par two")));
    QTextDocument document;
    QVERIFY(QBBuildExport(document, esDocument, sourceOf(source), {}));
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.txt"));
    QBSaveExport(document, fileName, efText);
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString expected = QString::fromUtf8("Grüße \u4e2d\none\ntwo\n");
    expected.replace(QLatin1Char('\n'), QBPlatformLineEnd());
    QCOMPARE(file.readAll(), expected.toUtf8());
}

void TestQBExportCore::save_writesRtfThatReadsBackToTheSameText()
{
    const IQBDocumentPtr source = NewQBDocument();
    source->Root()->SetCaption(QStringLiteral("Notes"));
    source->Root()->SetContent(QString::fromLatin1(ListsBody));
    QTextDocument document;
    TQBExportOptions options;
    QVERIFY(QBBuildExport(document, esDocument, sourceOf(source), options));
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.rtf"));
    QBSaveExport(document, fileName, efRtf);
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("{\\rtf1"));
    QTextDocument reread;
    TQBRtfReader::Load(reread, bytes);
    QCOMPARE(QBExportPlainText(reread, QStringLiteral("\n")), QBExportPlainText(document, QStringLiteral("\n")));
    QCOMPARE(formatOf(reread, QStringLiteral("Notes")).fontPointSize(), 14.0);
}

void TestQBExportCore::save_toAMissingFolder_raisesAndWritesNothing()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("text"));
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("missing/out.rtf"));
    QVERIFY_THROWS_EXCEPTION(EQBExportError, QBSaveExport(document, fileName, efRtf));
    QVERIFY(!QFile::exists(fileName));
    try {
        QBSaveExport(document, fileName, efText);
        QFAIL("no error");
    } catch (const EQBExportError &e) {
        QVERIFY(e.Message().contains(fileName));
    }
}

void TestQBExportCore::formatOf_txtExtensionIsPlainText()
{
    QCOMPARE(QBExportFormatOf(QStringLiteral("notes.txt")), efText);
    QCOMPARE(QBExportFormatOf(QStringLiteral("NOTES.TXT")), efText);
    QCOMPARE(QBExportFormatOf(QStringLiteral("notes.rtf")), efRtf);
    QCOMPARE(QBExportFormatOf(QStringLiteral("notes")), efRtf);
    QCOMPARE(QBExportFormatOf(QStringLiteral("notes.txt.doc")), efRtf);
}

QTEST_MAIN(TestQBExportCore)
#include "tst_QBExportCore.moc"
