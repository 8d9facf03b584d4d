// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "document/QBMarkers.h"
#include "panes/IndexModel.h"
#include "panes/IndexPane.h"
#include "platform/QBAppShared.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsSvc.h"
#include "support/LanguageFiles.h"

#include <QAbstractItemModelTester>
#include <QCollator>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTabWidget>

namespace {

enum TChange { chAddSubtree, chDeleteSubtree, chRename, chMarker, chNew, chOpen };

struct TIndexFixture : TAppFrameFixture
{
    TFIndexPane *pane() const { return frame->IndexPane; }
    TQBIndexModel *model() const { return pane()->Model(); }

    QStringList listed() const
    {
        QStringList captions;
        for (int row = 0; row < model()->rowCount(); ++row)
            captions << model()->index(row).data().toString();
        return captions;
    }

    // What the index must show: the captions of the articles the filter lets through, in order.
    QStringList expected(int filter) const
    {
        QStringList captions;
        QList<IQBArticlePtr> pending{doc()->Root()};
        while (!pending.isEmpty()) {
            const IQBArticlePtr article = pending.takeLast();
            if (filter < 0 || article->Mark() == filter)
                captions << article->Caption();
            for (int i = 0; i < article->Items()->Count(); ++i)
                pending << article->Items()->Get(i);
        }
        QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
        std::sort(captions.begin(), captions.end(), collator);
        return captions;
    }

    void selectFilter(int marker) const { pane()->cbeMarkers->setCurrentIndex(marker < 0 ? 0 : marker + 1); }
    void type(const QString &text) const
    {
        pane()->cbIndex->lineEdit()->clear();
        QTest::keyClicks(pane()->cbIndex->lineEdit(), text);
    }
    QString selected() const
    {
        const IQBArticlePtr article = pane()->SelectedArticle();
        return article ? article->Caption() : QString();
    }
};

} // namespace

class TestIndexPane : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void index_followsEveryDocumentChange_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<int>("filter");
        QTest::newRow("add with subtree") << int(chAddSubtree) << -1;
        QTest::newRow("add with subtree, filtered") << int(chAddSubtree) << 2;
        QTest::newRow("delete with subtree") << int(chDeleteSubtree) << -1;
        QTest::newRow("rename") << int(chRename) << -1;
        QTest::newRow("marker without filter") << int(chMarker) << -1;
        QTest::newRow("marker with filter") << int(chMarker) << 2;
        QTest::newRow("new document") << int(chNew) << -1;
        QTest::newRow("open") << int(chOpen) << -1;
    }

    void index_followsEveryDocumentChange()
    {
        QFETCH(int, change);
        QFETCH(int, filter);
        TIndexFixture f;
        QAbstractItemModelTester tester(f.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        f.doc()->Root()->SetCaption(QStringLiteral("Notes"));
        const IQBArticlePtr fruit = f.add(QStringLiteral("Fruit"));
        f.add(QStringLiteral("pear"), fruit)->SetMark(2);
        f.add(QStringLiteral("Apple"), fruit);
        const IQBArticlePtr plum = f.add(QStringLiteral("plum"), fruit);
        f.add(QStringLiteral("Damson"), plum)->SetMark(2);
        const IQBArticlePtr zebra = f.add(QStringLiteral("Zebra"));
        zebra->SetMark(2);
        f.selectFilter(filter);
        QCOMPARE(f.listed(), f.expected(filter));

        switch (change) {
        case chAddSubtree:
            f.doc()->CopyArticle(fruit);
            QVERIFY(f.doc()->PasteArticle(zebra));
            break;
        case chDeleteSubtree:
            f.doc()->DeleteArticle(fruit);
            break;
        case chRename:
            plum->SetCaption(QStringLiteral("Apricot"));
            zebra->SetCaption(QStringLiteral("aardvark"));
            break;
        case chMarker:
            zebra->SetMark(3);
            fruit->SetMark(2);
            plum->SetMark(5);
            break;
        case chNew:
            QBDialogs::QueueAnswer(QMessageBox::No);
            QVERIFY(DataService()->NewDocument());
            QCOMPARE(f.listed().size(), 1);
            break;
        case chOpen: {
            QVERIFY(DataService()->SaveDocument(f.path(QStringLiteral("index.xqb"))));
            QVERIFY(DataService()->NewDocument());
            QCOMPARE(f.listed().size(), 1);
            QVERIFY(DataService()->OpenDocument(f.path(QStringLiteral("index.xqb"))));
            QCOMPARE(f.listed().size(), 7);
            break;
        }
        }
        QCOMPARE(f.listed(), f.expected(filter));
    }

    void captions_sortByTheLocaleNotByCodePoint()
    {
        TIndexFixture f;
        f.doc()->Root()->SetCaption(QStringLiteral("Obst"));
        for (const char *caption : {"Zebra", "Äpfel", "Apfel", "apfel", "Birne"})
            f.add(QString::fromUtf8(caption));
        QCOMPARE(f.listed(), QStringList({QStringLiteral("apfel"), QStringLiteral("Apfel"), QString::fromUtf8("Äpfel"),
                                          QStringLiteral("Birne"), QStringLiteral("Obst"), QStringLiteral("Zebra")}));
    }

    void lookup_selectsFirstCaptionWithThePrefixInAnyCase()
    {
        TIndexFixture f;
        f.doc()->Root()->SetCaption(QStringLiteral("Root"));
        for (const char *caption : {"banana", "Abbey", "Apple", "abacus", "Zebra"})
            f.add(QString::fromLatin1(caption));
        f.type(QStringLiteral("ab"));
        QCOMPARE(f.selected(), QStringLiteral("abacus"));
        f.type(QStringLiteral("ABB"));
        QCOMPARE(f.selected(), QStringLiteral("Abbey"));
        f.type(QStringLiteral("r"));
        QCOMPARE(f.selected(), QStringLiteral("Root"));
        f.type(QStringLiteral("zz"));
        QCOMPARE(f.selected(), QStringLiteral("Zebra"));
        // Looking up never opens the article.
        QCOMPARE(EditorService()->CurrentArticle(), f.doc()->Root());
    }

    void enter_opensTheArticleAndRemembersItsCaptionAcrossRestarts()
    {
        TIndexFixture f;
        const IQBArticlePtr abbey = f.add(QStringLiteral("Abbey"));
        const IQBArticlePtr apple = f.add(QStringLiteral("Apple"));
        f.type(QStringLiteral("abb"));
        // In a window the keys reach the box, which hands typing on to its line edit.
        QTest::keyClick(f.pane()->cbIndex, Qt::Key_Return);
        QCOMPARE(EditorService()->CurrentArticle(), abbey);
        QCOMPARE(f.pane()->cbIndex->currentText(), QStringLiteral("Abbey"));
        QCOMPARE(f.pane()->cbIndex->itemText(0), QStringLiteral("Abbey"));

        f.type(QStringLiteral("ap"));
        QTest::keyClick(f.pane()->lvIndex, Qt::Key_Enter);
        QCOMPARE(EditorService()->CurrentArticle(), apple);
        QCOMPARE(f.pane()->cbIndex->itemText(0), QStringLiteral("Apple"));
        QCOMPARE(f.pane()->cbIndex->count(), 2);

        // A new data module and window over the same settings store.
        QBDialogs::QueueAnswer(QMessageBox::No);
        QVERIFY(f.frame->close());
        f.frame.reset();
        f.appData.reset();
        f.appData = std::make_unique<TDMAppData>(QStringList());
        f.frame = std::make_unique<TFAppFrame>();
        QCOMPARE(f.pane()->cbIndex->count(), 2);
        QCOMPARE(f.pane()->cbIndex->itemText(0), QStringLiteral("Apple"));
        QCOMPARE(f.pane()->cbIndex->itemText(1), QStringLiteral("Abbey"));
        QVERIFY(f.pane()->cbIndex->currentText().isEmpty());
    }

    void markerFilter_rowsAreNoFilterThenEveryMarker()
    {
        TIndexFixture f;
        const TQBMarkers &markers = QBAppShared().Markers->Markers();
        QComboBox *box = f.pane()->cbeMarkers;
        QCOMPARE(box->count(), markers.Count() + 1);
        QCOMPARE(box->itemText(0), QStringLiteral("(no filter)"));
        QCOMPARE(box->itemText(3), markers.Items(2).DisplayName());
        QCOMPARE(box->currentIndex(), 0);
        f.add(QStringLiteral("Marked"))->SetMark(2);
        f.add(QStringLiteral("Plain"));
        f.selectFilter(2);
        QCOMPARE(f.pane()->MarkerFilter(), quint16(2));
        QCOMPARE(f.listed(), QStringList({QStringLiteral("Marked")}));
    }

    void languageSwitch_keepsTheFilterRowAndTranslatesThePane()
    {
        QTemporaryDir languages;
        TDMAppData::SetLanguageFolder(languages.path());
        QVERIFY(writeLanguageFile(languages.path(), QStringLiteral("Deutsch/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Deutsch"), R"(<ResourceStrings>
  <String ID="SNoFilter">(kein Filter)</String>
</ResourceStrings>
<Container class="TFIndexPane">
  <Component name="_Self"><Property name="Caption">Stichwörter</Property></Component>
  <Component name="lblLookup"><Property name="Caption">&amp;Suchen nach:</Property></Component>
</Container>)")));
        {
            TIndexFixture f;
            f.add(QStringLiteral("Marked"))->SetMark(4);
            f.add(QStringLiteral("Plain"));
            f.selectFilter(4);
            SettingsService()->SetLanguage(QStringLiteral("Deutsch"));
            QCOMPARE(f.pane()->cbeMarkers->itemText(0), QStringLiteral("(kein Filter)"));
            QCOMPARE(f.pane()->cbeMarkers->currentIndex(), 5);
            QCOMPARE(f.pane()->MarkerFilter(), quint16(4));
            QCOMPARE(f.listed(), QStringList({QStringLiteral("Marked")}));
            QCOMPARE(f.pane()->lblLookup->text(), QStringLiteral("&Suchen nach:"));
            QCOMPARE(f.frame->pcNavigation->tabText(1), QString::fromUtf8("Stichwörter"));
        }
        TDMAppData::SetLanguageFolder(QString());
    }

    void viewIndex_hidesAndShowsThePageAndIsRemembered()
    {
        TIndexFixture f;
        QTabWidget *pages = f.frame->pcNavigation;
        QCOMPARE(pages->indexOf(f.pane()), 1);
        f.frame->alStandardUpdate();
        QVERIFY(f.frame->ViewIndex->isChecked());
        // Behind the outline, the page comes to the front with the caret in the lookup box.
        f.run(f.frame->ViewIndex);
        QCOMPARE(pages->currentWidget(), f.pane());
        QVERIFY(f.frame->ViewIndex->isChecked());
        QCOMPARE(QApplication::focusWidget(), f.pane()->cbIndex);
        // In front, it goes.
        f.run(f.frame->ViewIndex);
        QVERIFY(!pages->isTabVisible(1));
        QVERIFY(!f.frame->ViewIndex->isChecked());

        QBDialogs::QueueAnswer(QMessageBox::No);
        QVERIFY(f.frame->close());
        f.frame.reset();
        f.frame = std::make_unique<TFAppFrame>();
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        QVERIFY(!f.frame->ViewIndex->isChecked());
        f.run(f.frame->ViewIndex);
        QVERIFY(f.frame->pcNavigation->isTabVisible(1));
        QCOMPARE(f.frame->pcNavigation->currentWidget(), f.pane());
    }

    void changeMarker_needsASelectedItem()
    {
        TIndexFixture f;
        f.pane()->lvIndex->clearSelection();
        f.pane()->lvIndex->setCurrentIndex(QModelIndex());
        f.pane()->alIndexUpdate();
        QVERIFY(!f.pane()->aChangeMarker->isEnabled());
        f.type(QStringLiteral("a"));
        f.pane()->alIndexUpdate();
        QVERIFY(f.pane()->aChangeMarker->isEnabled());
    }
};

QTEST_MAIN(TestIndexPane)
#include "tst_IndexPane.moc"
