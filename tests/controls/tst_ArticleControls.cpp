// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "controls/ArticleTabs.h"
#include "controls/ArticleTitle.h"
#include "controls/ArticleTree.h"
#include "controls/VtlFontComboBox.h"
#include "document/QBDom.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

namespace {

// Plain coloured squares stand in for the marker and outline pictures.
QIcon square(const QColor &color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

QColor colorOfIndex(int index)
{
    return QColor::fromHsv((index * 37) % 360, 255, 255).toRgb();
}

TQBImageProvider squares()
{
    return [](int index) { return square(colorOfIndex(index)); };
}

} // namespace

class TestArticleControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void title_autoSize_neverBelowTwentyTwoPixels();
    void title_autoSize_movesTheChildControls();
    void title_glyphPress_collapsesAndExpands();
    void title_showArticle_takesCaptionAndMarker();
    void title_painting_drawsTheImageAndCaption();
    void tabs_rightPress_selectsTheTabFirst();
    void tree_images_followInsertExpandAndDelete();
    void tree_findNode_andTheNodesArticleReference();
    void tree_ctrlAndShiftClicks_canTakeOverTheSelection();
    void fontCombo_listIsSortedAndFiltered();
    void fontCombo_fontName_selectsWithoutRegardToCase_andShowsMissingFamilies();
};

void TestArticleControls::title_autoSize_neverBelowTwentyTwoPixels()
{
    TArticleTitle title;
    QFont small = title.CaptionFont();
    small.setPixelSize(6);
    title.SetCaptionFont(small);
    QCOMPARE(title.CaptionHeight(), TArticleTitle::MinCaptionHeight);
    QFont large = small;
    large.setPixelSize(40);
    title.SetCaptionFont(large);
    QCOMPARE(title.CaptionHeight(), QFontMetrics(large).height() + 4);
    QVERIFY(title.CaptionHeight() > 22);
    title.SetCaptionFont(small);
    QCOMPARE(title.CaptionHeight(), 22);
    // Switched off, the strip takes any given height.
    title.SetAutoSizeCaption(false);
    title.SetCaptionHeight(30);
    QCOMPARE(title.CaptionHeight(), 30);
    title.SetAutoSizeCaption(true);
    QCOMPARE(title.CaptionHeight(), 22);
}

void TestArticleControls::title_autoSize_movesTheChildControls()
{
    TArticleTitle title;
    title.resize(300, 60);
    auto *label = new QLabel(QStringLiteral("Level: 1"), &title);
    label->move(4, 30);
    QFont large = title.CaptionFont();
    large.setPixelSize(40);
    title.SetCaptionFont(large);
    const int delta = title.CaptionHeight() - 22;
    QCOMPARE(label->y(), 30 + delta);
    QCOMPARE(title.height(), 60 + delta);
}

void TestArticleControls::title_glyphPress_collapsesAndExpands()
{
    QWidget form;
    auto *title = new TArticleTitle(&form);
    title->setGeometry(0, 0, 300, 80);
    auto *label = new QLabel(QStringLiteral("path"), title);
    label->move(4, 40);
    form.resize(300, 200);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy spy(title, &TArticleTitle::expandChanged);
    QVERIFY(title->Expanded());

    QTest::mouseClick(title, Qt::LeftButton, {}, title->GlyphRect().center());
    QVERIFY(!title->Expanded());
    QCOMPARE(title->height(), title->CaptionHeight());
    QVERIFY(label->isHidden());
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), false);
    // Nothing makes a collapsed title taller.
    title->resize(300, 150);
    QCOMPARE(title->height(), title->CaptionHeight());

    QTest::mouseClick(title, Qt::LeftButton, {}, title->GlyphRect().center());
    QVERIFY(title->Expanded());
    QCOMPARE(title->height(), 80);
    QVERIFY(!label->isHidden());
    QCOMPARE(spy.size(), 2);
    // A press beside the glyph does nothing.
    QTest::mouseClick(title, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(title->Expanded());
}

void TestArticleControls::title_showArticle_takesCaptionAndMarker()
{
    const IQBDocumentPtr doc = NewQBDocument();
    const IQBArticlePtr article = doc->AddChild(doc->Root());
    article->SetCaption(QStringLiteral("Shopping"));
    article->SetMark(5);
    TArticleTitle title;
    QSignalSpy spy(&title, &TArticleTitle::articleChanged);
    title.ShowArticle(article);
    QCOMPARE(title.Caption(), QStringLiteral("Shopping"));
    QCOMPARE(title.ImageIndex(), 5);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).value<IQBArticlePtr>(), article);
    title.ShowArticle({});
    QCOMPARE(spy.size(), 1);
    QCOMPARE(title.Caption(), QStringLiteral("Shopping"));
}

void TestArticleControls::title_painting_drawsTheImageAndCaption()
{
    TArticleTitle title;
    title.resize(300, 22);
    title.SetCaption(QStringLiteral("Caption"));
    title.SetImageProvider(squares());
    title.SetImageIndex(4);
    const QImage shot = title.grab().toImage();
    QCOMPARE(shot.pixelColor(12, 11).rgb(), colorOfIndex(4).rgb());
    QCOMPARE(shot.pixelColor(2, 2).rgb(), title.Color().rgb());
    title.SetImageIndex(-1);
    const QImage none = title.grab().toImage();
    QCOMPARE(none.pixelColor(12, 3).rgb(), title.Color().rgb());
}

void TestArticleControls::tabs_rightPress_selectsTheTabFirst()
{
    TArticleTabs tabs;
    tabs.addTab(QStringLiteral("One"));
    tabs.addTab(QStringLiteral("Two"));
    tabs.addTab(QStringLiteral("Three"));
    tabs.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tabs));
    QSignalSpy changed(&tabs, &QTabBar::currentChanged);
    QList<int> atMenu;
    tabs.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&tabs, &QWidget::customContextMenuRequested, [&] { atMenu.append(tabs.currentIndex()); });
    QTest::mousePress(&tabs, Qt::RightButton, {}, tabs.tabRect(2).center());
    QCOMPARE(tabs.currentIndex(), 2);
    QCOMPARE(changed.size(), 1);
    QTest::mouseRelease(&tabs, Qt::RightButton, {}, tabs.tabRect(2).center());
    QContextMenuEvent menu(QContextMenuEvent::Mouse, tabs.tabRect(2).center(),
                           tabs.mapToGlobal(tabs.tabRect(2).center()));
    QApplication::sendEvent(&tabs, &menu);
    QCOMPARE(atMenu, QList<int>{2});
    const QImage shot = tabs.grab().toImage();
    QVERIFY(!shot.isNull());
}

void TestArticleControls::tree_images_followInsertExpandAndDelete()
{
    TArticleTreeView tree;
    tree.SetFolderImageIndex(1);
    tree.SetFolderSelectedIndex(2);
    tree.SetLeafImageIndex(3);
    tree.SetImageProvider(squares());
    auto *top = new TArticleTreeNode(&tree);
    QCOMPARE(top->ImageIndex(), 1);
    auto *child = new TArticleTreeNode(top);
    QCOMPARE(child->ImageIndex(), 3);
    QCOMPARE(top->ImageIndex(), 1);
    top->setExpanded(true);
    QCOMPARE(top->ImageIndex(), 2);
    auto *grandchild = new TArticleTreeNode(child);
    QCOMPARE(grandchild->ImageIndex(), 3);
    QCOMPARE(child->ImageIndex(), 1);
    QCOMPARE(child->icon(0).pixmap(16).toImage().pixelColor(8, 8).rgb(), colorOfIndex(1).rgb());
    child->setExpanded(true);
    QCOMPARE(child->ImageIndex(), 2);
    child->setExpanded(false);
    QCOMPARE(child->ImageIndex(), 1);
    // The last child of a deeper node goes: the node becomes a leaf.
    delete grandchild;
    QCOMPARE(child->ImageIndex(), 3);
    // The last child of a top-level node goes: its image stays.
    delete child;
    QCOMPARE(top->ImageIndex(), 2);
}

void TestArticleControls::tree_findNode_andTheNodesArticleReference()
{
    const IQBDocumentPtr doc = NewQBDocument();
    IQBArticlePtr a = doc->AddChild(doc->Root());
    const IQBArticlePtr b = doc->AddChild(doc->Root());
    TArticleTreeView tree;
    auto *root = new TArticleTreeNode(&tree);
    root->SetArticle(doc->Root());
    auto *nodeA = new TArticleTreeNode(root);
    nodeA->SetArticle(a);
    auto *nodeB = new TArticleTreeNode(root);
    nodeB->SetArticle(b);
    auto *copyOfB = new TArticleTreeNode(root);
    copyOfB->Assign(*nodeB);
    QCOMPARE(copyOfB->Article(), b);
    QCOMPARE(tree.FindNode(b), nodeB);
    QCOMPARE(tree.FindNode(doc->Root()), root);
    QVERIFY(!tree.FindNode({}));
    // The node does not keep its article alive.
    const std::weak_ptr<IQBArticle> watch = a;
    doc->DeleteArticle(a);
    a.reset();
    QVERIFY(watch.expired());
    QVERIFY(!nodeA->Article());
}

void TestArticleControls::tree_ctrlAndShiftClicks_canTakeOverTheSelection()
{
    TArticleTreeView tree;
    auto *first = new TArticleTreeNode(&tree);
    first->setText(0, QStringLiteral("first"));
    auto *second = new TArticleTreeNode(&tree);
    second->setText(0, QStringLiteral("second"));
    tree.resize(200, 200);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    tree.setCurrentItem(first);
    QList<TArticleTreeNode *> ctrl;
    QList<TArticleTreeNode *> shift;
    bool handle = true;
    QObject::connect(&tree, &TArticleTreeView::ctrlClicked, [&](TArticleTreeNode *node, bool &handled) {
        ctrl.append(node);
        handled = handle;
    });
    QObject::connect(&tree, &TArticleTreeView::shiftClicked, [&](TArticleTreeNode *node, bool &handled) {
        shift.append(node);
        handled = handle;
    });
    const QPoint atSecond = tree.visualItemRect(second).center();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, atSecond);
    QCOMPARE(ctrl, QList<TArticleTreeNode *>{second});
    QCOMPARE(tree.currentItem(), first);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::ShiftModifier, atSecond);
    QCOMPARE(shift, QList<TArticleTreeNode *>{second});
    QCOMPARE(tree.currentItem(), first);
    handle = false;
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, atSecond);
    QCOMPARE(ctrl.size(), 2);
    QCOMPARE(tree.currentItem(), second);
}

void TestArticleControls::fontCombo_listIsSortedAndFiltered()
{
    TVtlFontComboBox box;
    if (box.count() == 0)
        QSKIP("no fonts installed");
    QStringList names;
    for (int i = 0; i < box.count(); ++i)
        names.append(box.itemText(i));
    QStringList sorted = names;
    sorted.sort(Qt::CaseInsensitive);
    QCOMPARE(names, sorted);
    QCOMPARE(names.removeDuplicates(), 0);

    box.SetOptions(foFixedPitchOnly);
    for (int i = 0; i < box.count(); ++i)
        QVERIFY2(QFontDatabase::isFixedPitch(box.itemText(i)), qPrintable(box.itemText(i)));
    box.SetOptions(foOEMFontsOnly);
    QCOMPARE(box.count(), 0);
    box.SetOptions({});
    box.SetTrueTypeOnly(true);
    QVERIFY(box.TrueTypeOnly());
    for (int i = 0; i < box.count(); ++i)
        QVERIFY(box.itemData(i, TVtlFontComboBox::FontTypeRole).toInt() & TVtlFontComboBox::ftTrueType);
    box.SetGlyphs(square(Qt::red), square(Qt::blue));
    QVERIFY(!box.Glyph(TVtlFontComboBox::ftTrueType).isNull());
    QVERIFY(box.Glyph(TVtlFontComboBox::ftRaster).isNull());
}

void TestArticleControls::fontCombo_fontName_selectsWithoutRegardToCase_andShowsMissingFamilies()
{
    TVtlFontComboBox box;
    if (box.count() == 0)
        QSKIP("no fonts installed");
    QSignalSpy changed(&box, &TVtlFontComboBox::changed);
    const QString name = box.itemText(box.count() / 2);
    box.SetFontName(name.toUpper() == name ? name.toLower() : name.toUpper());
    QCOMPARE(box.FontName(), name);
    QCOMPARE(changed.size(), 1);
    box.SetFontName(name);
    QCOMPARE(changed.size(), 1);
    // A family the text names but the desktop lacks is shown all the same, once, and goes again.
    const int installed = box.count();
    box.SetFontName(QStringLiteral("No Such Font 1234"));
    QCOMPARE(box.FontName(), QStringLiteral("No Such Font 1234"));
    QCOMPARE(changed.size(), 2);
    box.SetUseFonts(true); // refilling keeps it
    QCOMPARE(box.FontName(), QStringLiteral("No Such Font 1234"));
    box.SetFontName(QStringLiteral("Another Missing Font"));
    QCOMPARE(box.count(), installed + 1);
    QVERIFY(box.itemData(box.currentIndex(), TVtlFontComboBox::NotInstalledRole).toBool());
    box.SetFontName(name);
    QCOMPARE(box.count(), installed);
    // Refilling keeps the selected name.
    box.SetDevice(fdBoth);
    QCOMPARE(box.FontName(), name);
    box.setEditable(true);
    box.SetFontName(QStringLiteral("No Such Font 1234"));
    QCOMPARE(box.FontName(), QStringLiteral("No Such Font 1234"));
}

QTEST_MAIN(TestArticleControls)
#include "tst_ArticleControls.moc"
