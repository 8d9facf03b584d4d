// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"

#include "rtf/QBRtfFormats.h"
#include "support/TextInspect.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QListWidget>
#include <QMimeData>
#include <QTextBlock>
#include <QTextList>
#include <QTimer>

namespace {

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(QB_TEST_DATA_DIR "/html/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

void putOnClipboard(const QByteArray &html, const QString &text)
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/html"), html);
    data->setText(text);
    QApplication::clipboard()->setMimeData(data);
}

} // namespace

class TestWebClipping : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pastedWebPage_isStoredWithTheDocument_andComesBackOnOpening()
    {
        TAppFrameFixture f;
        const IQBArticlePtr article = f.add(QStringLiteral("Clipping"));
        f.select(article);
        f.frame->RichEdit->setFocus();
        putOnClipboard(fixture(QStringLiteral("firefox-utf16-bom.html")), QStringLiteral("plain words"));
        f.frame->alStandardUpdate();
        f.run(f.frame->EditPaste);
        QCOMPARE(picturesIn(*f.frame->RichEdit->document()).size(), 1);
        const QString pasted = f.frame->RichEdit->toPlainText();
        QVERIFY(pasted.contains(QStringLiteral("Quillbox clipping")));
        QVERIFY(!pasted.contains(QStringLiteral("plain words")));

        QBDialogs::QueueFileName(f.path(QStringLiteral("clipping.xqb")));
        f.run(f.frame->FileSave);
        f.run(f.frame->FileNew);
        QVERIFY(!f.frame->RichEdit->toPlainText().contains(QStringLiteral("Quillbox clipping")));
        QBDialogs::QueueFileName(f.path(QStringLiteral("clipping.xqb")));
        f.run(f.frame->FileOpen);
        f.select(f.doc()->Root()->Items()->Get(0));

        const QTextDocument &reopened = *f.frame->RichEdit->document();
        QCOMPARE(f.frame->RichEdit->toPlainText(), pasted);
        const QList<QTextImageFormat> found = picturesIn(reopened);
        QCOMPARE(found.size(), 1);
        QVERIFY(found.first().property(QBRtfFormat::PictureData).toByteArray().startsWith("\x89PNG"));
        QVERIFY(!reopened.resource(QTextDocument::ImageResource, QUrl(found.first().name())).value<QImage>().isNull());
        const QTextBlock nested = blockWith(reopened, QStringLiteral("Nested item"));
        QVERIFY(nested.textList());
        QCOMPARE(nested.textList()->format().indent(), 2);
        QVERIFY(!blockWith(reopened, QStringLiteral("Cell A1")).blockFormat().tabPositions().isEmpty());
    }

    void pasteSpecial_fromTheEditMenu_pastesTheWebPageFormatted()
    {
        TAppFrameFixture f;
        f.select(f.add(QStringLiteral("Clipping")));
        f.frame->RichEdit->setFocus();
        putOnClipboard("<meta charset='utf-8'><h1>Title</h1><p>Body <a href='https://example.com/'>link</a></p>",
                       QStringLiteral("Title Body link"));
        f.frame->alStandardUpdate();
        QStringList offered;
        QTimer::singleShot(0, f.frame.get(), [&] {
            auto *dialog = f.frame->findChild<QDialog *>(QStringLiteral("PasteSpecialDialog"));
            QVERIFY(dialog);
            auto *list = dialog->findChild<QListWidget *>(QStringLiteral("lbFormats"));
            for (int i = 0; i < list->count(); ++i)
                offered.append(list->item(i)->text());
            list->setCurrentRow(int(offered.indexOf(QStringLiteral("HTML"))));
            dialog->accept();
        });
        f.run(f.frame->EditPasteSpecial);
        QVERIFY(offered.contains(QStringLiteral("HTML")));
        // Whole paragraphs come with their paragraph ends, as copied paragraphs do.
        QCOMPARE(f.frame->RichEdit->toPlainText(), QStringLiteral("Title\nBody link\n"));
        QCOMPARE(f.frame->RichEdit->UrlAt(int(f.frame->RichEdit->toPlainText().indexOf(QStringLiteral("link")))),
                 QStringLiteral("https://example.com/"));
    }
};

QTEST_MAIN(TestWebClipping)
#include "tst_WebClipping.moc"
