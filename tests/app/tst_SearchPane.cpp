// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "controls/ArticleRichEdit.h"
#include "document/QBDom.h"
#include "panes/SearchPane.h"
#include "panes/SearchResults.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsSvc.h"
#include "support/DocumentCompare.h"
#include "support/LanguageFiles.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>

namespace {

struct TSearchFixture : TAppFrameFixture
{
    TFSearchPane *pane() const { return frame->SearchPane; }
    TQBSearchResultModel *model() const { return pane()->Model(); }

    IQBArticlePtr add(const QString &caption, const QString &text, const IQBArticlePtr &parent = {}) const
    {
        return addArticle(doc(), parent ? parent : doc()->Root(), caption, text.isEmpty() ? QString() : rtf(text));
    }

    // Clicks into the pattern box and types.
    void type(const QString &text) const
    {
        pane()->cbPattern->setFocus(Qt::MouseFocusReason);
        pane()->cbPattern->lineEdit()->clear();
        QTest::keyClicks(pane()->cbPattern->lineEdit(), text);
    }

    // Types the pattern and presses Enter, then waits for the search to end.
    void search(const QString &pattern) const
    {
        QSignalSpy done(pane(), &TFSearchPane::searchDone);
        type(pattern);
        QTest::keyClick(pane()->cbPattern->lineEdit(), Qt::Key_Return);
        QVERIFY(pane()->Searching());
        QVERIFY(done.wait(20000));
    }

    QList<TQBSearchMatch> rows() const
    {
        QList<TQBSearchMatch> matches;
        for (int row = 0; row < model()->rowCount(); ++row)
            matches.append(model()->MatchAt(row));
        return matches;
    }

    void doubleClick(int row) const
    {
        QListView *list = pane()->lb;
        list->scrollTo(model()->index(row));
        const QPoint point = list->visualRect(model()->index(row)).center();
        // The first click selects, the second opens, as a user's double click does.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, point);
    }

    // The controls a running search disables, and Stop, as the user sees them.
    bool searchControlsEnabled() const
    {
        const TFSearchPane *p = pane();
        for (const QWidget *control : std::initializer_list<const QWidget *>{
                 p->cbPattern, p->rbEntireDocument, p->rbCurrent, p->cbCase, p->cbWholeWords, p->cbTitles}) {
            if (!control->isEnabled())
                return false;
        }
        return !p->btnStop->isEnabled() && p->aProgress->isHidden();
    }

    // Many articles with long bodies, the word several times in each.
    void fillLarge(int articles) const
    {
        QString text;
        for (int i = 0; i < 60; ++i)
            text += QStringLiteral("Some filler text and a needle in it, line %1.\\par ").arg(i);
        const QString body = rtf(text);
        IQBArticlePtr parent = doc()->Root();
        for (int i = 0; i < articles; ++i) {
            const IQBArticlePtr article = addArticle(doc(), parent, QStringLiteral("Article %1").arg(i), body);
            if (i % 100 == 0)
                parent = article;
        }
    }
};

// What the search core finds on its own.
QList<TQBSearchMatch> coreMatches(const IQBDocumentPtr &document, const IQBArticlePtr &start, const QString &pattern,
                                  TQBSearchOptions options, bool titles)
{
    QList<TQBSearchMatch> matches;
    TQBSearch search(pattern, options, titles);
    search.SetSink([&matches](const TQBSearchMatch &match) { matches.append(match); });
    search.Run(document, start);
    return matches;
}

} // namespace

class TestSearchPane : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void optionsAndScope_listWhatTheSearchCoreFinds_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWords");
        QTest::addColumn<bool>("titles");
        QTest::addColumn<int>("scope"); // 0 the document, 1 the current article, 2 current without an article
        QTest::addColumn<int>("expectedRows");
        QTest::newRow("plain") << QStringLiteral("word") << false << false << false << 0 << 6;
        QTest::newRow("match case") << QStringLiteral("Word") << true << false << false << 0 << 2;
        QTest::newRow("whole words") << QStringLiteral("word") << false << true << false << 0 << 3;
        QTest::newRow("titles") << QStringLiteral("word") << false << false << true << 0 << 9;
        QTest::newRow("whole-word titles") << QStringLiteral("word") << false << true << true << 0 << 4;
        QTest::newRow("current and below") << QStringLiteral("word") << false << false << true << 1 << 6;
        QTest::newRow("current without an article") << QStringLiteral("word") << false << false << false << 2 << 6;
    }

    void optionsAndScope_listWhatTheSearchCoreFinds()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWords);
        QFETCH(bool, titles);
        QFETCH(int, scope);
        QFETCH(int, expectedRows);
        TSearchFixture f;
        QAbstractItemModelTester tester(f.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        const IQBArticlePtr words = f.add(QStringLiteral("Word-list"), QStringLiteral("a word, a Word, words"));
        f.add(QStringLiteral("Keywords"), QStringLiteral("password"), words);
        f.add(QStringLiteral("Other"), QStringLiteral("word"));
        f.add(QStringLiteral("Crossword"), QString());
        f.add(QStringLiteral("Plain"), QStringLiteral("Wordy"));
        if (scope == 1)
            EditorService()->NavigateTo(words);
        else if (scope == 2)
            EditorService()->CloseWindow(EditorService()->ActiveWindowIndex());

        QVERIFY(!f.pane()->btnStart->isEnabled());
        f.pane()->cbCase->setChecked(matchCase);
        f.pane()->cbWholeWords->setChecked(wholeWords);
        f.pane()->cbTitles->setChecked(titles);
        (scope == 0 ? f.pane()->rbEntireDocument : f.pane()->rbCurrent)->setChecked(true);
        f.search(pattern);

        TQBSearchOptions options;
        if (matchCase)
            options |= soMatchCase;
        if (wholeWords)
            options |= soWholeWord;
        const QList<TQBSearchMatch> expected =
            coreMatches(f.doc(), scope == 1 ? words : nullptr, pattern, options, titles);
        QCOMPARE(f.rows(), expected);
        QCOMPARE(f.model()->rowCount(), expectedRows);
        QCOMPARE(f.pane()->lblCount->text(), QStringLiteral("Matches: %1").arg(expectedRows));
        // The caret is back in the box for the next search.
        QCOMPARE(QApplication::focusWidget(), f.pane()->cbPattern);
        QVERIFY(f.searchControlsEnabled());
        QVERIFY(f.pane()->btnStart->isEnabled());
        QCOMPARE(f.pane()->cbPattern->itemText(0), pattern);
    }

    void doubleClick_selectsExactlyTheMatchedText()
    {
        TSearchFixture f;
        // Characters outside the basic plane and combining marks before the matches, a title match.
        const QString body = QString::fromUtf8("\xF0\x9F\x98\x80 Cafe\xCC\x81 needle, \xF0\x9F\x8D\x8E\xF0\x9F\x8D\x8E "
                                               "Needle\\par e\xCC\x81\xCC\x82 nEEdle end");
        const IQBArticlePtr article = f.add(QStringLiteral("The needle"), body);
        const IQBArticlePtr other = f.add(QStringLiteral("Other"), QStringLiteral("nothing"));
        f.pane()->cbTitles->setChecked(true);
        f.search(QStringLiteral("needle"));
        QCOMPARE(f.model()->rowCount(), 4);
        QCOMPARE(f.model()->index(0).data().toString(), QStringLiteral("The needle *"));

        TArticleRichEdit *editor = f.frame->RichEdit;
        for (int row = 1; row < 4; ++row) {
            EditorService()->NavigateTo(other);
            f.doubleClick(row);
            QCOMPARE(EditorService()->CurrentArticle(), article);
            QCOMPARE(editor->SelText().toLower(), QStringLiteral("needle"));
            QCOMPARE(editor->SelStart(), f.model()->MatchAt(row).Position);
        }
        // A title match shows the article with the caret at its start.
        EditorService()->NavigateTo(other);
        f.doubleClick(0);
        QCOMPARE(EditorService()->CurrentArticle(), article);
        QCOMPARE(editor->SelStart(), 0);
        QCOMPARE(editor->SelLength(), 0);

        // Changing the pattern box afterwards does not change what a row selects.
        f.type(QStringLiteral("ne"));
        f.doubleClick(2);
        QCOMPARE(editor->SelText(), QStringLiteral("Needle"));
    }

    void stop_inALargeSearch_keepsTheRowsFoundAndFreesTheControls()
    {
        TSearchFixture f;
        f.fillLarge(3000);
        f.pane()->btnStart->setEnabled(true);
        f.type(QStringLiteral("needle"));
        QSignalSpy done(f.pane(), &TFSearchPane::searchDone);
        QTest::mouseClick(f.pane()->btnStart, Qt::LeftButton);
        QVERIFY(f.pane()->Searching());
        QVERIFY(!f.pane()->btnStart->isEnabled());
        QVERIFY(!f.pane()->cbPattern->isEnabled());
        QVERIFY(f.pane()->btnStop->isEnabled());
        QVERIFY(!f.pane()->aProgress->isHidden());
        // The user goes on working meanwhile: the document changes under the search.
        QTRY_VERIFY(f.model()->rowCount() > 0);
        const IQBArticlePtr first = f.doc()->Root()->Items()->Get(0);
        first->SetCaption(QStringLiteral("Renamed while searching"));
        first->SetContent(rtf(QStringLiteral("changed")));
        QTest::mouseClick(f.pane()->btnStop, Qt::LeftButton);
        QVERIFY(done.wait(5000));
        QVERIFY(!f.pane()->Searching());
        QVERIFY(f.searchControlsEnabled());

        const int found = f.model()->rowCount();
        QVERIFY(found > 0);
        QVERIFY2(found < 3000 * 60, qPrintable(QString::number(found)));
        // What is listed is the beginning of the whole result, as it was when the search started.
        const QList<TQBSearchMatch> rows = f.rows();
        QCOMPARE(rows.at(1).Caption, QStringLiteral("Article 0"));
        for (int i = 1; i < rows.size(); ++i) {
            QVERIFY(
                rows.at(i).ArticleID > rows.at(i - 1).ArticleID ||
                (rows.at(i).ArticleID == rows.at(i - 1).ArticleID && rows.at(i).Position > rows.at(i - 1).Position));
        }
    }

    void documentReplaced_duringASearch_clearsTheResults_data()
    {
        QTest::addColumn<bool>("open");
        QTest::newRow("new document") << false;
        QTest::newRow("open another") << true;
    }

    void documentReplaced_duringASearch_clearsTheResults()
    {
        QFETCH(bool, open);
        TSearchFixture f;
        f.add(QStringLiteral("Small"), QStringLiteral("needle"));
        QVERIFY(DataService()->SaveDocument(f.path(QStringLiteral("small.xqb"))));
        f.fillLarge(2000);
        f.type(QStringLiteral("needle"));
        QTest::keyClick(f.pane()->cbPattern, Qt::Key_Enter);
        QTRY_VERIFY(f.model()->rowCount() > 0);
        QBDialogs::QueueAnswer(QMessageBox::No);
        if (open) {
            QBDialogs::QueueFileName(f.path(QStringLiteral("small.xqb")));
            f.run(f.frame->FileOpen);
        } else {
            f.run(f.frame->FileNew);
        }
        QVERIFY(!f.pane()->Searching());
        QCOMPARE(f.model()->rowCount(), 0);
        QVERIFY(f.searchControlsEnabled());
        // Nothing of the abandoned search arrives later.
        QTest::qWait(50);
        QCOMPARE(f.model()->rowCount(), 0);
        if (open) {
            f.search(QStringLiteral("needle"));
            QCOMPARE(f.model()->rowCount(), 1);
        }
    }

    void deletedArticle_rowSaysSoAndDoesNotOpen()
    {
        TSearchFixture f;
        const IQBArticlePtr kept = f.add(QStringLiteral("Kept"), QStringLiteral("key"));
        const IQBArticlePtr parent = f.add(QStringLiteral("Parent"), QStringLiteral("no"));
        f.add(QStringLiteral("Child"), QStringLiteral("key"), parent);
        f.search(QStringLiteral("key"));
        QCOMPARE(f.model()->rowCount(), 2);
        EditorService()->NavigateTo(kept);
        f.doc()->DeleteArticle(parent);
        QVERIFY(f.model()->IsGone(1));
        QVERIFY(!f.model()->IsGone(0));
        QCOMPARE(f.model()->index(1).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("The article '%s' of this match has been deleted."));
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.doubleClick(1);
        QCOMPARE(QBDialogs::ShownTexts().last(), QStringLiteral("The article 'Child' of this match has been deleted."));
        QCOMPARE(EditorService()->CurrentArticle(), kept);
    }

    void unreadableBody_showsTheErrorOnceAndKeepsEarlierMatches()
    {
        TSearchFixture f;
        f.add(QStringLiteral("Good"), QStringLiteral("key"));
        const IQBArticlePtr bad = f.add(QStringLiteral("Bad"), QStringLiteral("key"));
        f.add(QStringLiteral("After"), QStringLiteral("key"));
        std::static_pointer_cast<TQBArticle>(bad)->SetCompressedContent(QByteArray("not deflated"), 100);
        const qsizetype shown = QBDialogs::ShownTexts().size();
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.search(QStringLiteral("key"));
        QCOMPARE(f.model()->rowCount(), 1);
        QCOMPARE(f.model()->MatchAt(0).Caption, QStringLiteral("Good"));
        QCOMPARE(QBDialogs::ShownTexts().size(), shown + 1);
        QVERIFY(QBDialogs::ShownTexts().last().startsWith(QStringLiteral("The search stopped: ")));
        QVERIFY(f.searchControlsEnabled());
    }

    void allWords_listEachArticleOnce_andSelectTheFirstWordFound()
    {
        TSearchFixture f;
        const IQBArticlePtr one = f.add(QStringLiteral("One"), QStringLiteral("the quick brown fox, quick"));
        const IQBArticlePtr two = f.add(QStringLiteral("Two"), QStringLiteral("brown bread and a quick lunch"));
        f.add(QStringLiteral("Three"), QStringLiteral("quick only"));
        const IQBArticlePtr notes = f.add(QStringLiteral("Quick notes"), QStringLiteral("brown paper"));
        f.pane()->cbAllWords->setChecked(true);
        f.search(QStringLiteral("quick   brown"));
        QCOMPARE(f.rows(), (QList<TQBSearchMatch>{{one->IID(), QStringLiteral("One"), 4, 5},
                                                  {two->IID(), QStringLiteral("Two"), 0, 5}}));
        f.doubleClick(1);
        QCOMPARE(f.frame->RichEdit->SelText(), QStringLiteral("brown"));

        // With titles, a word may stand in the caption instead.
        f.pane()->cbTitles->setChecked(true);
        f.search(QStringLiteral("brown quick"));
        QCOMPARE(f.rows().size(), 3);
        QCOMPARE(f.rows().last(), (TQBSearchMatch{notes->IID(), QStringLiteral("Quick notes"), 0, 5}));
        f.doubleClick(0);
        QCOMPARE(f.frame->RichEdit->SelText(), QStringLiteral("quick"));
    }

    void historyPageAndLanguage_surviveARestart()
    {
        const TShippedLanguages languages;
        {
            TSearchFixture f;
            f.add(QStringLiteral("A"), QStringLiteral("alpha beta"));
            f.pane()->cbAllWords->setChecked(true);
            f.pane()->rbCurrent->setChecked(true);
            f.search(QStringLiteral("alpha"));
            f.search(QStringLiteral("beta"));
            QCOMPARE(f.pane()->cbPattern->count(), 2);

            QTabWidget *pages = f.frame->pcNavigation;
            QCOMPARE(pages->indexOf(f.pane()), 2);
            f.frame->alStandardUpdate();
            QVERIFY(f.frame->ViewSearch->isChecked());
            f.run(f.frame->ViewSearch);
            QCOMPARE(pages->currentWidget(), f.pane());
            QCOMPARE(QApplication::focusWidget(), f.pane()->cbPattern);
            f.run(f.frame->ViewSearch);
            QVERIFY(!pages->isTabVisible(2));
            QVERIFY(!f.frame->ViewSearch->isChecked());
            QVERIFY(f.frame->ViewIndex->isChecked());

            // Every text of the pane in German.
            QMap<QString, QString> english;
            const auto texts = [&f] {
                QMap<QString, QString> result;
                for (QLabel *label : f.pane()->findChildren<QLabel *>())
                    result.insert(label->objectName(), label->text());
                for (QAbstractButton *button : f.pane()->findChildren<QAbstractButton *>())
                    result.insert(button->objectName(), button->text());
                for (QGroupBox *group : f.pane()->findChildren<QGroupBox *>())
                    result.insert(group->objectName(), group->title());
                result.insert(QStringLiteral("page"), f.frame->pcNavigation->tabText(2));
                result.insert(QStringLiteral("ViewSearch"), f.frame->ViewSearch->text());
                return result;
            };
            english = texts();
            SettingsService()->SetLanguage(QStringLiteral("Deutsch"));
            const QMap<QString, QString> german = texts();
            QCOMPARE(german.size(), 14);
            for (auto it = german.cbegin(); it != german.cend(); ++it)
                QVERIFY2(!it.value().isEmpty() && it.value() != english.value(it.key()), qPrintable(it.key()));
            QCOMPARE(german.value(QStringLiteral("btnStart")), QStringLiteral("Starten"));
            SettingsService()->SetLanguage(QString());

            QBDialogs::QueueAnswer(QMessageBox::No);
            QVERIFY(f.frame->close());
            f.frame.reset();
            f.appData.reset();
            f.appData = std::make_unique<TDMAppData>(QStringList());
            f.frame = std::make_unique<TFAppFrame>();
            f.frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
            QCOMPARE(f.pane()->cbPattern->count(), 2);
            QCOMPARE(f.pane()->cbPattern->itemText(0), QStringLiteral("beta"));
            QCOMPARE(f.pane()->cbPattern->itemText(1), QStringLiteral("alpha"));
            QVERIFY(f.pane()->cbPattern->currentText().isEmpty());
            // The options of the last search come back with the patterns.
            QVERIFY(f.pane()->cbAllWords->isChecked());
            QVERIFY(f.pane()->rbCurrent->isChecked());
            QVERIFY(!f.pane()->cbCase->isChecked());
            QVERIFY(!f.frame->ViewSearch->isChecked());
            f.run(f.frame->ViewSearch);
            QVERIFY(f.frame->pcNavigation->isTabVisible(2));
            QCOMPARE(f.frame->pcNavigation->currentWidget(), f.pane());
        }
    }

    void panesPlace_survivesARestart_data()
    {
        QTest::addColumn<bool>("right");
        QTest::addColumn<bool>("floating");
        QTest::newRow("docked on the right") << true << false;
        QTest::newRow("floating") << false << true;
        QTest::newRow("back on the left") << false << false;
    }

    void panesPlace_survivesARestart()
    {
        QFETCH(bool, right);
        QFETCH(bool, floating);
        TSearchFixture f;
        QDockWidget *dock = f.frame->pnlLDock;
        QVERIFY(dock->features() & QDockWidget::DockWidgetFloatable);
        f.frame->addDockWidget(Qt::RightDockWidgetArea, dock);
        f.frame->addDockWidget(right ? Qt::RightDockWidgetArea : Qt::LeftDockWidgetArea, dock);
        const QRect place(120, 90, 300, 460);
        if (floating) {
            dock->setFloating(true);
            dock->setGeometry(place);
        }
        f.frame->pcNavigation->setCurrentWidget(f.pane());
        QCOMPARE(dock->windowTitle(), QStringLiteral("Search"));

        QBDialogs::QueueAnswer(QMessageBox::No);
        QVERIFY(f.frame->close());
        f.frame.reset();
        f.frame = std::make_unique<TFAppFrame>();
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        dock = f.frame->pnlLDock;
        QCOMPARE(f.frame->dockWidgetArea(dock), right ? Qt::RightDockWidgetArea : Qt::LeftDockWidgetArea);
        QCOMPARE(dock->isFloating(), floating);
        if (floating)
            QCOMPARE(dock->geometry(), place);
    }
};

QTEST_MAIN(TestSearchPane)
#include "tst_SearchPane.moc"
