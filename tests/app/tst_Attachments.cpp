// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "platform/QBShell.h"
#include "support/TestHelpers.h"

#include <QFileInfo>
#include <QTextBlock>

namespace {

struct TAttachFixture : TAppFrameFixture
{
    QList<QUrl> opened;

    TAttachFixture()
    {
        QBSetUrlOpener([this](const QUrl &url) {
            opened.append(url);
            return true;
        });
    }
    ~TAttachFixture() { QBSetUrlOpener({}); }

    TAttachFixture(const TAttachFixture &) = delete;
    TAttachFixture &operator=(const TAttachFixture &) = delete;

    TArticleRichEdit *edit() const { return frame->RichEdit; }

    // Attaches a file of the test's own through Insert > Object.
    QString attach(const QString &name, const QByteArray &data)
    {
        const QString file = path(name);
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
            return {};
        out.close();
        QBDialogs::QueueFileName(file);
        run(frame->InsertObject);
        return file;
    }

    // Positions of the object characters in the body.
    QList<int> objects() const
    {
        QList<int> positions;
        const QString text = edit()->document()->toRawText();
        for (int i = 0; i < text.size(); ++i)
            if (text.at(i) == QChar::ObjectReplacementCharacter)
                positions << i;
        return positions;
    }

    QPoint centreOf(int position) const
    {
        QTextCursor cursor(edit()->document());
        cursor.setPosition(position);
        const QRect left = edit()->cursorRect(cursor);
        cursor.setPosition(position + 1);
        const QRect right = edit()->cursorRect(cursor);
        return QPoint((left.left() + right.left()) / 2, right.center().y());
    }

    void doubleClick(int position) const
    {
        QTest::mouseDClick(edit()->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(position));
    }

    void saveAndReopen(const QString &name)
    {
        QBDialogs::QueueFileName(path(name));
        run(frame->FileSave);
        run(frame->FileNew);
        QBDialogs::QueueFileName(path(name));
        run(frame->FileOpen);
    }
};

} // namespace

class TestAttachments : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void insertObject_attachesTheFile_thatSurvivesSaving_andOpensACopyOnDoubleClick()
    {
        TAttachFixture f;
        QVERIFY(f.frame->findChild<QMenu *>(QStringLiteral("mInsert"))->actions().contains(f.frame->InsertObject));
        f.setBody("{\\rtf1\\ansi see }");
        f.edit()->moveCursor(QTextCursor::End);
        QByteArray pdf = "%PDF-1.4\n";
        for (int i = 0; i < 5000; ++i)
            pdf += char(i * 7);
        QVERIFY(!f.attach(QStringLiteral("Bericht März 2026.pdf"), pdf).isEmpty());
        QCOMPARE(f.objects(), QList<int>{4});
        // One step to undo, like any other insertion.
        f.edit()->Undo();
        QCOMPARE(f.objects(), QList<int>());
        f.edit()->Redo();
        QCOMPARE(f.objects(), QList<int>{4});

        f.saveAndReopen(QStringLiteral("attached.xqb"));
        QCOMPARE(f.objects(), QList<int>{4});
        f.doubleClick(4);
        QCOMPARE(f.edit()->SelectedObject(), 4);
        QCOMPARE(f.opened.size(), 1);
        const QString copy = f.opened.first().toLocalFile();
        QCOMPARE(QFileInfo(copy).fileName(), QStringLiteral("Bericht März 2026.pdf"));
        QCOMPARE(fileBytes(copy), pdf);
        // The copy is not the document's: it cannot be changed by mistake.
        QVERIFY(!(QFile::permissions(copy) & QFileDevice::WriteOwner));

        // Opening it again gives a second copy that does not overwrite the first.
        f.doubleClick(4);
        QCOMPARE(f.opened.size(), 2);
        QVERIFY(f.opened.at(1) != f.opened.at(0));

        // The popup offers the attachment's commands, and Save attachment as writes the file.
        Q_EMIT f.edit()->customContextMenuRequested(f.centreOf(4));
        QVERIFY(f.frame->ObjectOpen->isVisible());
        QVERIFY(f.frame->ObjectSaveAs->isVisible());
        f.frame->findChild<QMenu *>(QStringLiteral("pmEdit"))->close();
        QBDialogs::QueueFileName(f.path(QStringLiteral("saved.pdf")));
        f.run(f.frame->ObjectSaveAs);
        QCOMPARE(fileBytes(f.path(QStringLiteral("saved.pdf"))), pdf);

        // The copies go with the window.
        const QString folder = QFileInfo(copy).absolutePath();
        f.frame.reset();
        QVERIFY(!QFileInfo::exists(folder));
    }

    void programsAndScripts_openOnlyAfterAsking_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("asks");
        QTest::newRow("shell script") << "setup.sh" << QByteArray("#!/bin/sh\nrm -rf ~\n") << true;
        QTest::newRow("script without an extension") << "tool" << QByteArray("#!/usr/bin/python3\n") << true;
        QTest::newRow("launcher") << "start.desktop" << QByteArray("[Desktop Entry]\nExec=x\n") << true;
        QTest::newRow("program") << "a.out"
                                 << QByteArray("\x7f"
                                               "ELF\x02\x01\x01",
                                               7)
                                 << true;
        QTest::newRow("text") << "list.txt" << QByteArray("milk\n") << false;
    }

    void programsAndScripts_openOnlyAfterAsking()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QFETCH(bool, asks);
        TAttachFixture f;
        QVERIFY(!f.attach(name, data).isEmpty());
        QBDialogs::QueueAnswer(QMessageBox::No);
        f.doubleClick(0);
        QCOMPARE(f.opened.size(), asks ? 0 : 1);
        if (!asks)
            return;
        QVERIFY(QBDialogs::ShownTexts().last().contains(name));
        QBDialogs::QueueAnswer(QMessageBox::Yes);
        f.doubleClick(0);
        QCOMPARE(f.opened.size(), 1);
    }

    void tooLargeFiles_unreadableFiles_andPictures_attachOrOpenNothing()
    {
        TAttachFixture f;
        QFile big(f.path(QStringLiteral("big.iso")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(QBRtfObjects::MaxAttachmentBytes + 1));
        big.close();
        QBDialogs::QueueFileName(big.fileName());
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.run(f.frame->InsertObject);
        QVERIFY(QBDialogs::ShownTexts().last().contains(QStringLiteral("big.iso")));
        QCOMPARE(f.objects(), QList<int>());

        QBDialogs::QueueFileName(f.path(QStringLiteral("missing.txt")));
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.run(f.frame->InsertObject);
        QVERIFY(QBDialogs::ShownTexts().last().contains(QStringLiteral("missing.txt")));
        QCOMPARE(f.objects(), QList<int>());

        // A picture and another program's object: a double click selects them and opens nothing.
        f.setBody("{\\rtf1\\ansi {\\pict\\pngblip\\picwgoal600\\pichgoal600 "
                  "89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c4944415408d763f8cfc000"
                  "00030101005cd8a0d70000000049454e44ae426082} "
                  "{\\object\\objemb\\objw600\\objh600{\\*\\objclass Excel.Sheet.8}{\\*\\objdata 0105}}}");
        QCOMPARE(f.objects(), (QList<int>{0, 2}));
        for (const int object : f.objects()) {
            f.doubleClick(object);
            QCOMPARE(f.edit()->SelectedObject(), object);
        }
        QVERIFY(f.opened.isEmpty());
        Q_EMIT f.edit()->customContextMenuRequested(f.centreOf(2));
        QVERIFY(!f.frame->ObjectOpen->isVisible());
        f.frame->findChild<QMenu *>(QStringLiteral("pmEdit"))->close();
    }
};

QTEST_MAIN(TestAttachments)
#include "tst_Attachments.moc"
