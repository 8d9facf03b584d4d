// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "controls/ArticleRichEdit.h"
#include "dialogs/LinkDlg.h"
#include "platform/QBHelp.h"
#include "platform/QBShell.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsSvc.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTimer>

namespace {

struct TLinkFixture : TAppFrameFixture
{
    QList<QUrl> opened;

    TLinkFixture()
    {
        QBSetUrlOpener([this](const QUrl &url) {
            opened.append(url);
            return true;
        });
    }
    ~TLinkFixture() { QBSetUrlOpener({}); }

    TArticleRichEdit *edit() const { return frame->RichEdit; }

    void selectText(const QString &text) const
    {
        const int at = int(edit()->toPlainText().indexOf(text));
        QVERIFY(at >= 0);
        QTextCursor cursor = edit()->textCursor();
        cursor.setPosition(at);
        cursor.setPosition(at + int(text.size()), QTextCursor::KeepAnchor);
        edit()->setTextCursor(cursor);
    }

    // Clicks the editor's text at a character, as the user follows a link.
    void clickAt(int position) const
    {
        QTextCursor at(edit()->document());
        at.setPosition(position);
        const QRect rect = edit()->cursorRect(at);
        QTest::mouseClick(edit()->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 2, rect.center().y()));
    }
};

// Runs action on the next modal link dialog once it shows.
template <class Action> void whenLinkDialog(Action action)
{
    QTimer::singleShot(0, [action] {
        auto *dialog = qobject_cast<TFLinkDlg *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        action(dialog);
        // A failed check inside action must not leave the dialog waiting for the user.
        if (dialog->isVisible())
            dialog->reject();
    });
}

void chooseType(TFLinkDlg *dialog, int type)
{
    dialog->cbType->setCurrentIndex(type);
    Q_EMIT dialog->cbType->activated(type);
}

QLineEdit *targetEdit(TFLinkDlg *dialog, int type)
{
    QLineEdit *const edits[] = {dialog->edHttp, dialog->edFtp, dialog->edMail, dialog->edFile};
    return edits[type];
}

} // namespace

class TestLinkDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QBCloseHelpViewer(); }

    void insertHyperlink_sitsInTheInsertMenu_withCtrlH()
    {
        TLinkFixture f;
        auto *insert = f.frame->findChild<QMenu *>(QStringLiteral("mInsert"));
        QVERIFY(insert);
        QVERIFY(insert->actions().contains(f.frame->InsertHyperlink));
        QCOMPARE(f.frame->InsertHyperlink->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
        f.setBody("{\\rtf1\\ansi word}");
        f.edit()->setFocus();
        whenLinkDialog([](TFLinkDlg *dialog) { dialog->reject(); });
        QTest::keyClick(f.edit(), Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(f.edit()->toPlainText(), QStringLiteral("word"));
    }

    void targetFor_addsTheKindsPrefix_once_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("target");
        QTest::newRow("web without scheme") << 0 << "example.org/a"
                                            << "http://example.org/a";
        QTest::newRow("web prefix in capitals") << 0 << "HTTP://example.org"
                                                << "HTTP://example.org";
        QTest::newRow("web with another scheme") << 0 << "https://example.org"
                                                 << "https://example.org";
        QTest::newRow("ftp") << 1 << "ftp.example.org"
                             << "ftp://ftp.example.org";
        QTest::newRow("mail") << 2 << "ann@example.org"
                              << "mailto:ann@example.org";
        QTest::newRow("mail prefixed") << 2 << "MailTo:ann@example.org"
                                       << "MailTo:ann@example.org";
        QTest::newRow("file with space and umlaut") << 3 << "/home/ann/My Notes/Ärger.txt"
                                                    << "file:///home/ann/My%20Notes/%C3%84rger.txt";
        QTest::newRow("file url kept") << 3 << "file:///tmp/x.txt"
                                       << "file:///tmp/x.txt";
        QTest::newRow("article") << 4 << "_7"
                                 << "@_7";
        QTest::newRow("quotation mark") << 0 << "example.org/?q=\"a\""
                                        << "http://example.org/?q=%22a%22";
        QTest::newRow("nothing typed") << 0 << ""
                                       << "";
    }

    void targetFor_addsTheKindsPrefix_once()
    {
        QFETCH(int, type);
        QFETCH(QString, typed);
        QFETCH(QString, target);
        QCOMPARE(TFLinkDlg::TargetFor(type, typed), target);
    }

    // A link of each kind made from selected text, then followed with a click.
    void link_ofEachKind_isMadeFromTheSelection_andFollowed_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("target");
        QTest::newRow("web page") << 0 << "www.example.org/notes"
                                  << "http://www.example.org/notes";
        QTest::newRow("ftp site") << 1 << "ftp.example.org/pub"
                                  << "ftp://ftp.example.org/pub";
        QTest::newRow("e-mail") << 2 << "ann@example.org"
                                << "mailto:ann@example.org";
        QTest::newRow("local file") << 3 << "My Notes/Ärger über.txt"
                                    << "My%20Notes/%C3%84rger%20%C3%BCber.txt";
    }

    void link_ofEachKind_isMadeFromTheSelection_andFollowed()
    {
        QFETCH(int, type);
        QFETCH(QString, typed);
        QFETCH(QString, target);
        TLinkFixture f;
        QString expected = target;
        if (type == TFLinkDlg::ltFile) {
            // A real file in a folder with a space, so the followed URL names something that exists.
            QVERIFY(QDir().mkpath(f.path(QStringLiteral("My Notes"))));
            QFile file(f.path(typed));
            QVERIFY(file.open(QIODevice::WriteOnly));
            typed = f.path(typed);
            expected = QUrl::fromLocalFile(f.dir.path()).toString(QUrl::FullyEncoded) + QLatin1Char('/') + target;
        }
        f.setBody("{\\rtf1\\ansi see the notes now}");
        f.selectText(QStringLiteral("the notes"));
        whenLinkDialog([type, typed](TFLinkDlg *dialog) {
            QCOMPARE(dialog->edDescription->text(), QStringLiteral("the notes"));
            chooseType(dialog, type);
            QCOMPARE(dialog->nbPages->currentIndex(), type);
            // Pasted: key clicks carry Latin-1 only.
            targetEdit(dialog, type)->insert(typed);
            // The selection is the description the user chose; typing the address keeps it.
            QCOMPARE(dialog->edDescription->text(), QStringLiteral("the notes"));
            QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
        });
        f.run(f.frame->InsertHyperlink);
        QCOMPARE(f.edit()->toPlainText(), QStringLiteral("see the notes now"));
        const int at = int(f.edit()->toPlainText().indexOf(QLatin1String("notes")));
        QCOMPARE(f.edit()->UrlAt(at), expected);
        QCOMPARE(f.edit()->UrlAt(1), QString());

        f.clickAt(at + 1);
        QCOMPARE(f.opened.size(), 1);
        if (type == TFLinkDlg::ltFile) {
            QCOMPARE(f.opened.first().toLocalFile(), typed);
            QVERIFY(QFileInfo::exists(f.opened.first().toLocalFile()));
        } else {
            QCOMPARE(f.opened.first().toString(QUrl::FullyEncoded), expected);
        }
    }

    void articleLink_pickedInTheTree_navigates_andSurvivesSaveAndReopen()
    {
        TLinkFixture f;
        const IQBArticlePtr parent = f.add(QStringLiteral("Projects"));
        const IQBArticlePtr target = f.add(QStringLiteral("Garden plan"), parent);
        const qint32 iid = target->IID();
        f.setBody("{\\rtf1\\ansi Start }");
        QTextCursor end = f.edit()->textCursor();
        end.movePosition(QTextCursor::End);
        f.edit()->setTextCursor(end);
        whenLinkDialog([](TFLinkDlg *dialog) {
            chooseType(dialog, TFLinkDlg::ltArticle);
            // No article chosen yet: OK has nothing to link to and the dialog stays.
            dialog->btnOKClick();
            QVERIFY(dialog->isVisible());
            const QList<QTreeWidgetItem *> found =
                dialog->tvOutline->findItems(QStringLiteral("Garden plan"), Qt::MatchRecursive);
            QCOMPARE(found.size(), 1);
            dialog->tvOutline->setCurrentItem(found.first());
            QCOMPARE(dialog->edDescription->text(), QStringLiteral("Garden plan"));
            QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
        });
        f.run(f.frame->InsertHyperlink);
        QCOMPARE(f.edit()->toPlainText(), QStringLiteral("Start Garden plan"));
        const int at = int(f.edit()->toPlainText().indexOf(QLatin1String("Garden")));
        QCOMPARE(f.edit()->UrlAt(at), QStringLiteral("@_%1").arg(iid));

        QBDialogs::QueueFileName(f.path(QStringLiteral("links.xqb")));
        f.run(f.frame->FileSave);
        f.run(f.frame->FileNew);
        QBDialogs::QueueFileName(f.path(QStringLiteral("links.xqb")));
        f.run(f.frame->FileOpen);
        EditorService()->NavigateTo(f.doc()->Root());
        QCOMPARE(f.edit()->toPlainText(), QStringLiteral("Start Garden plan"));
        QCOMPARE(f.edit()->UrlAt(at), QStringLiteral("@_%1").arg(iid));
        f.clickAt(at + 1);
        QTRY_COMPARE(EditorService()->CurrentArticle(), f.doc()->FindArticle(iid));
        QCOMPARE(EditorService()->CurrentArticle()->Caption(), QStringLiteral("Garden plan"));
        QVERIFY(f.opened.isEmpty());
    }

    void externalLinks_surviveSaveAndReopen()
    {
        TLinkFixture f;
        f.setBody("{\\rtf1\\ansi }");
        const QString file = f.path(QStringLiteral("Übersicht 2026.txt"));
        const QString fileTarget = TFLinkDlg::TargetFor(TFLinkDlg::ltFile, file);
        f.edit()->InsertHyperlink(QStringLiteral("http://example.org/a?b=c"), QStringLiteral("web"));
        f.edit()->SetSelText(QStringLiteral(" "));
        f.edit()->InsertHyperlink(QStringLiteral("mailto:ann@example.org"), QStringLiteral("mail"));
        f.edit()->SetSelText(QStringLiteral(" "));
        f.edit()->InsertHyperlink(fileTarget, QStringLiteral("Übersicht"));
        QBDialogs::QueueFileName(f.path(QStringLiteral("external.xqb")));
        f.run(f.frame->FileSave);
        f.run(f.frame->FileNew);
        QBDialogs::QueueFileName(f.path(QStringLiteral("external.xqb")));
        f.run(f.frame->FileOpen);
        EditorService()->NavigateTo(f.doc()->Root());
        const QString text = f.edit()->toPlainText();
        QCOMPARE(text, QStringLiteral("web mail Übersicht"));
        QCOMPARE(f.edit()->UrlAt(int(text.indexOf(QLatin1String("web")))), QStringLiteral("http://example.org/a?b=c"));
        QCOMPARE(f.edit()->UrlAt(int(text.indexOf(QLatin1String("mail")))), QStringLiteral("mailto:ann@example.org"));
        QCOMPARE(f.edit()->UrlAt(int(text.indexOf(QStringLiteral("Übersicht")))), fileTarget);
        f.frame->RichEditURLClick(fileTarget, Qt::LeftButton);
        QCOMPARE(f.opened.size(), 1);
        QCOMPARE(f.opened.first().toLocalFile(), file);
    }

    void existingLink_underTheCaret_opensWithItsValues_andIsReplaced()
    {
        TLinkFixture f;
        f.setBody("{\\rtf1\\ansi Read }");
        QTextCursor end = f.edit()->textCursor();
        end.movePosition(QTextCursor::End);
        f.edit()->setTextCursor(end);
        f.edit()->InsertHyperlink(QStringLiteral("mailto:ann@example.org"), QStringLiteral("Ann's mail"));
        f.edit()->SetSelText(QStringLiteral(" later"));
        QTextCursor inside = f.edit()->textCursor();
        inside.setPosition(int(f.edit()->toPlainText().indexOf(QLatin1String("mail"))));
        f.edit()->setTextCursor(inside);

        whenLinkDialog([](TFLinkDlg *dialog) {
            QCOMPARE(dialog->LinkType(), int(TFLinkDlg::ltMail));
            QCOMPARE(dialog->edMail->text(), QStringLiteral("ann@example.org"));
            QCOMPARE(dialog->edDescription->text(), QStringLiteral("Ann's mail"));
            dialog->edMail->setText(QStringLiteral("bob@example.org"));
            // The description the link had is the user's own and stays.
            QCOMPARE(dialog->edDescription->text(), QStringLiteral("Ann's mail"));
            dialog->btnOKClick();
        });
        f.run(f.frame->InsertHyperlink);
        const QString text = f.edit()->toPlainText();
        QCOMPARE(text, QStringLiteral("Read Ann's mail later"));
        QCOMPARE(f.edit()->UrlAt(int(text.indexOf(QLatin1String("Ann")))), QStringLiteral("mailto:bob@example.org"));
        QCOMPARE(f.edit()->UrlAt(int(text.indexOf(QLatin1String("mail")))), QStringLiteral("mailto:bob@example.org"));
        QCOMPARE(f.edit()->UrlAt(int(text.indexOf(QLatin1String("later")))), QString());

        // Cancel leaves the link and the text as they were.
        inside.setPosition(int(text.indexOf(QLatin1String("Ann"))) + 1);
        f.edit()->setTextCursor(inside);
        whenLinkDialog([](TFLinkDlg *dialog) { dialog->reject(); });
        f.run(f.frame->InsertHyperlink);
        QCOMPARE(f.edit()->toPlainText(), text);
        QCOMPARE(f.edit()->textCursor().position(), int(text.indexOf(QLatin1String("Ann"))) + 1);
    }

    void description_followsTheTarget_untilTyped_andDefaultsToIt()
    {
        TLinkFixture f;
        TFLinkDlg dialog(f.frame.get());
        QTest::keyClicks(dialog.edHttp, QStringLiteral("example.org"));
        QCOMPARE(dialog.edDescription->text(), QStringLiteral("example.org"));
        dialog.edDescription->clear();
        QTest::keyClicks(dialog.edDescription, QStringLiteral("Mine"));
        QTest::keyClicks(dialog.edHttp, QStringLiteral("/x"));
        QCOMPARE(dialog.edDescription->text(), QStringLiteral("Mine"));
        // Emptied, the description follows the target again.
        dialog.edDescription->clear();
        QTest::keyClicks(dialog.edHttp, QStringLiteral("y"));
        QCOMPARE(dialog.edDescription->text(), QStringLiteral("example.org/xy"));

        dialog.edDescription->clear();
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.btnOKClick(); });
        QVERIFY(dialog.Execute());
        QCOMPARE(dialog.Target(), QStringLiteral("http://example.org/xy"));
        QCOMPARE(dialog.Description(), QStringLiteral("http://example.org/xy"));
        QCOMPARE(dialog.edDescription->text(), QStringLiteral("http://example.org/xy"));
    }

    void kindAndBrowseFolder_areRemembered_forTheNextDialog()
    {
        TLinkFixture f;
        QVERIFY(QDir().mkpath(f.path(QStringLiteral("Fotos Sommer"))));
        const QString chosen = f.path(QStringLiteral("Fotos Sommer/Strand.jpg"));
        {
            TFLinkDlg dialog(f.frame.get());
            QCOMPARE(dialog.LinkType(), int(TFLinkDlg::ltWeb));
            chooseType(&dialog, TFLinkDlg::ltFile);
            QBDialogs::QueueFileName(chosen);
            QTest::mouseClick(dialog.btnBrowse, Qt::LeftButton);
            QCOMPARE(dialog.edFile->text(), QDir::toNativeSeparators(chosen));
            QCOMPARE(dialog.edDescription->text(), QDir::toNativeSeparators(chosen));
            QCOMPARE(QBDialogs::FileDialogStarts(), QStringList(QString()));
        }
        TFLinkDlg again(f.frame.get());
        QCOMPARE(again.LinkType(), int(TFLinkDlg::ltFile));
        QCOMPARE(again.nbPages->currentIndex(), int(TFLinkDlg::ltFile));
        QCOMPARE(again.InitialFolder(), f.path(QStringLiteral("Fotos Sommer")));
        QBDialogs::QueueFileName(QString());
        again.btnBrowseClick();
        QCOMPARE(QBDialogs::FileDialogStarts().last(), f.path(QStringLiteral("Fotos Sommer/")));
        QCOMPARE(again.edFile->text(), QString());
    }

    void helpButton_andF1_showTheHyperlinkSection()
    {
        QBSetHelpFolder(QStringLiteral(QB_RESOURCES_DIR "/help"));
        TLinkFixture f;
        {
            TFLinkDlg dialog(f.frame.get());
            dialog.btnHelpClick();
            QVERIFY(QBHelpViewer());
            QCOMPARE(QBHelpViewer()->CurrentPage(), QStringLiteral("dialogs.html"));
            QCOMPARE(QBHelpViewer()->Browser()->source().fragment(), QStringLiteral("hyperlink"));
        }
        QBCloseHelpViewer();
        whenLinkDialog([](TFLinkDlg *dialog) {
            QTest::keyClick(dialog->edDescription, Qt::Key_F1);
            QVERIFY(QBHelpViewer());
            QCOMPARE(QBHelpViewer()->Browser()->source().fragment(), QStringLiteral("hyperlink"));
            dialog->reject();
        });
        f.run(f.frame->InsertHyperlink);
        QBSetHelpFolder(QString());
    }

    void dialog_speaksGerman()
    {
        TShippedLanguages shipped;
        TLinkFixture f;
        SettingsService()->SetLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(f.frame->InsertHyperlink->statusTip(),
                 QStringLiteral("Die Markierung mit einer Webseite, einer Datei oder einem Artikel verknüpfen"));
        TFLinkDlg dialog(f.frame.get());
        QCOMPARE(dialog.cbType->itemText(TFLinkDlg::ltMail), QStringLiteral("E-Mail-Adresse"));
        QCOMPARE(dialog.cbType->itemText(TFLinkDlg::ltFile), QStringLiteral("Lokale Datei"));
        QCOMPARE(dialog.btnBrowse->text(), QStringLiteral("&Durchsuchen..."));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblDescription"))->text(),
                 QStringLiteral("&Beschreibung:"));
        QCOMPARE(dialog.btnCancel->text(), QStringLiteral("Abbrechen"));
        QCOMPARE(dialog.cbType->currentIndex(), int(TFLinkDlg::ltWeb));
        SettingsService()->SetLanguage(QString());
    }
};

QTEST_MAIN(TestLinkDialog)
#include "tst_LinkDialog.moc"
