// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "framework/NVKInit.h"
#include "framework/NVKLang.h"
#include "platform/NVKLocalizer.h"
#include "support/LanguageFiles.h"
#include "support/LanguageTest.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// A small form built in code, its widgets named as a language file names them.
class TFLangTest : public QWidget
{
    Q_OBJECT

public:
    explicit TFLangTest(TNVKCustomResourceSet *resourceSet)
    {
        setObjectName(QStringLiteral("FLangTest"));
        setWindowTitle(QStringLiteral("Test form"));
        auto *layout = new QVBoxLayout(this);
        lblName = named(new QLabel(QStringLiteral("Name:")), "lblName");
        btnStart = named(new QPushButton(QStringLiteral("Start")), "btnStart");
        cbMode = named(new QComboBox, "cbMode");
        cbMode->addItem(QStringLiteral("One"), 1);
        cbMode->addItem(QStringLiteral("Two"), 2);
        cbMode->addItem(QStringLiteral("Three"), 3);
        cbeMarkers = named(new QComboBox, "cbeMarkers");
        cbeMarkers->addItems({QStringLiteral("None"), QStringLiteral("Favourite")});
        gbOptions = named(new QGroupBox(QStringLiteral("Options")), "gbOptions");
        auto *groupLayout = new QVBoxLayout(gbOptions);
        chkWrap = new QCheckBox(QStringLiteral("Wrap"));
        chkWrap->setObjectName(QStringLiteral("chkWrap"));
        rbOne = new QRadioButton(QStringLiteral("One"));
        rbOne->setObjectName(QStringLiteral("rbOne"));
        groupLayout->addWidget(chkWrap);
        groupLayout->addWidget(rbOne);
        pcPages = named(new QTabWidget, "pcPages");
        tsGeneral = new QWidget;
        tsGeneral->setObjectName(QStringLiteral("tsGeneral"));
        pcPages->addTab(tsGeneral, QStringLiteral("General"));
        lvIndex = named(new QTreeWidget, "lvIndex");
        lvIndex->setHeaderLabels({QStringLiteral("Caption"), QStringLiteral("Marker"), QStringLiteral("Created")});
        edCaption = named(new QLineEdit, "edCaption");
        mmNotes = named(new QPlainTextEdit, "mmNotes");
        sbStatus = named(new QStatusBar, "sbStatus");
        for (const char *name : {"pnlState", "pnlMessage"}) {
            auto *panel = new QLabel(sbStatus);
            panel->setObjectName(QString::fromLatin1(name));
            sbStatus->addWidget(panel);
        }
        for (QWidget *widget : std::initializer_list<QWidget *>{lblName, btnStart, cbMode, cbeMarkers, gbOptions,
                                                                pcPages, lvIndex, edCaption, mmNotes, sbStatus})
            layout->addWidget(widget);
        aSave = new QAction(QStringLiteral("Save"), this);
        aSave->setObjectName(QStringLiteral("aSave"));
        aNew = new QAction(QStringLiteral("New"), this);
        aNew->setObjectName(QStringLiteral("aNew"));
        mnuFile = new QMenu(QStringLiteral("File"), this);
        mnuFile->setObjectName(QStringLiteral("mnuFile"));
        mnuFile->addAction(aSave);

        xlLangTest = new TNVKLocalizer(this);
        xlLangTest->SetResourceSet(resourceSet);
        xlLangTest->Loaded();
    }

    QLabel *lblName;
    QPushButton *btnStart;
    QComboBox *cbMode;
    QComboBox *cbeMarkers;
    QGroupBox *gbOptions;
    QCheckBox *chkWrap;
    QRadioButton *rbOne;
    QTabWidget *pcPages;
    QWidget *tsGeneral;
    QTreeWidget *lvIndex;
    QLineEdit *edCaption;
    QPlainTextEdit *mmNotes;
    QStatusBar *sbStatus;
    QAction *aSave;
    QAction *aNew;
    QMenu *mnuFile;
    TNVKLocalizer *xlLangTest;

private:
    template <class W> W *named(W *widget, const char *name)
    {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    }
};

const QByteArray GermanForm = R"(
<Container class="TFLangTest">
  <Component name="_Self">
    <Property name="Caption">Testformular</Property>
    <Property name="Width">420</Property>
  </Component>
  <Component name="lblName">
    <Property name="Caption">&amp;Name:</Property>
    <Property name="Color">clYellow</Property>
    <Property name="Font">
      <Property name="Name">DejaVu Sans</Property>
      <Property name="Size">14</Property>
      <Property name="Color">clRed</Property>
      <Property name="Style">[fsBold, fsItalic]</Property>
      <Property name="Charset">1</Property>
    </Property>
  </Component>
  <Component name="btnStart">
    <Property name="Caption">&amp;Starten</Property>
    <Property name="Hint">Starten|Startet die Suche im ganzen Dokument</Property>
    <Property name="Bogus">wird übersprungen</Property>
  </Component>
  <Component name="cbMode"><Property name="Items">Eins
Zwei
Drei</Property></Component>
  <Component name="cbeMarkers">
    <Property name="ItemsEx">
      <Item index="0"><Property name="Caption">Keiner</Property></Item>
      <Item index="9"><Property name="Caption">Zehn</Property></Item>
    </Property>
  </Component>
  <Component name="gbOptions"><Property name="Caption">Optionen</Property></Component>
  <Component name="chkWrap"><Property name="Caption">&amp;Umbruch</Property></Component>
  <Component name="rbOne">
    <Property name="Caption">Eins</Property>
    <Property name="Visible">False</Property>
  </Component>
  <Component name="tsGeneral"><Property name="Caption">Allgemein</Property></Component>
  <Component name="lvIndex">
    <Property name="Columns">
      <Item index="0"><Property name="Caption">Titel</Property><Property name="Width">120</Property></Item>
      <Item index="2"><Property name="Caption">Erstellt</Property></Item>
      <Item index="3"><Property name="Caption">Zu weit</Property></Item>
    </Property>
  </Component>
  <Component name="sbStatus">
    <Property name="Panels"><Item index="1"><Property name="Text">Bereit</Property></Item></Property>
  </Component>
  <Component name="edCaption"><Property name="Text">Ohne Titel</Property></Component>
  <Component name="mmNotes"><Property name="Lines">erste Zeile
zweite Zeile
</Property></Component>
  <Component name="aSave">
    <Property name="Caption">&amp;Speichern</Property>
    <Property name="Hint">Dokument speichern</Property>
    <Property name="ShortCut">16467</Property>
    <Property name="Enabled">False</Property>
  </Component>
  <Component name="aNew"><Property name="ShortCut">Ctrl+Shift+N</Property></Component>
  <Component name="mnuFile"><Property name="Caption">&amp;Datei</Property></Component>
  <Component name="pnlUnknown"><Property name="Caption">Niemand</Property></Component>
</Container>)";

} // namespace

class TestNVKLocalizer : public TLanguageTest
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        prepare();
        QVERIFY(writeLanguageFile(FBase, QStringLiteral("Deutsch/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Deutsch"), GermanForm)));
        QVERIFY(writeLanguageFile(FBase, QStringLiteral("Nederlands/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Nederlands"), R"(<Container class="TFLangTest">
  <Component name="lblName">
    <Property name="Caption">&amp;Naam:</Property>
    <Property name="Font"><Property name="Height">-20</Property></Property>
  </Component>
  <Component name="aSave"><Property name="ShortCut">Nonsense+Key</Property></Component>
  <Component name="aNew"><Property name="ShortCut">0</Property></Component>
</Container>)")));
        QVERIFY(writeLanguageFile(FBase, QStringLiteral("Kaputt/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Kaputt"), R"(<Container class="TFLangTest">
  <Component name="lblName">
    <Property name="Caption">Kaputt</Property>
    <Property name="Font"><Property name="Size">30</Property><Property name="Style">fsBold</Property></Property>
  </Component>
  <Component name="btnStart"><Property name="Caption">Nie erreicht</Property></Component>
</Container>)")));
    }

    void cleanup() { release(); }

    void creation_inTheDefaultLanguage_leavesTheFormAsBuilt()
    {
        start();
        TFLangTest form(FSet.get());
        QCOMPARE(form.windowTitle(), QStringLiteral("Test form"));
        QCOMPARE(form.lblName->text(), QStringLiteral("Name:"));
        QCOMPARE(form.cbMode->itemText(0), QStringLiteral("One"));
    }

    void creation_inGerman_translatesEveryKindOfProperty()
    {
        start();
        selectLanguage(QStringLiteral("Deutsch"));
        TFLangTest form(FSet.get());
        QVERIFY(FReported.isEmpty());

        QCOMPARE(form.windowTitle(), QStringLiteral("Testformular"));
        QCOMPARE(form.width(), 420);
        QCOMPARE(form.lblName->text(), QStringLiteral("&Name:"));
        QCOMPARE(form.lblName->palette().color(QPalette::Window), QColor(255, 255, 0));
        QCOMPARE(form.lblName->font().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(form.lblName->font().pointSize(), 14);
        QVERIFY(form.lblName->font().bold());
        QVERIFY(form.lblName->font().italic());
        QVERIFY(!form.lblName->font().underline());
        QCOMPARE(form.lblName->palette().color(QPalette::WindowText), QColor(255, 0, 0));

        QCOMPARE(form.btnStart->text(), QStringLiteral("&Starten"));
        QCOMPARE(form.btnStart->toolTip(), QStringLiteral("Starten"));
        QCOMPARE(form.btnStart->statusTip(), QStringLiteral("Startet die Suche im ganzen Dokument"));

        QCOMPARE(form.cbMode->count(), 3);
        QCOMPARE(form.cbMode->itemText(0), QStringLiteral("Eins"));
        QCOMPARE(form.cbMode->itemText(2), QStringLiteral("Drei"));
        QCOMPARE(form.cbMode->itemData(1).toInt(), 2); // items keep their data
        QCOMPARE(form.cbeMarkers->itemText(0), QStringLiteral("Keiner"));
        QCOMPARE(form.cbeMarkers->count(), 2); // index 9 ignored

        QCOMPARE(form.gbOptions->title(), QStringLiteral("Optionen"));
        QCOMPARE(form.chkWrap->text(), QStringLiteral("&Umbruch"));
        QCOMPARE(form.rbOne->text(), QStringLiteral("Eins"));
        QVERIFY(form.rbOne->isHidden());
        QCOMPARE(form.pcPages->tabText(0), QStringLiteral("Allgemein"));

        QCOMPARE(form.lvIndex->headerItem()->text(0), QStringLiteral("Titel"));
        QCOMPARE(form.lvIndex->headerItem()->text(1), QStringLiteral("Marker"));
        QCOMPARE(form.lvIndex->headerItem()->text(2), QStringLiteral("Erstellt"));
        QCOMPARE(form.lvIndex->columnCount(), 3);
        QCOMPARE(form.lvIndex->header()->sectionSize(0), 120);

        const auto panels = form.sbStatus->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
        QCOMPARE(panels.size(), 2);
        QCOMPARE(panels.at(0)->text(), QString());
        QCOMPARE(panels.at(1)->text(), QStringLiteral("Bereit"));
        QCOMPARE(form.edCaption->text(), QStringLiteral("Ohne Titel"));
        QCOMPARE(form.mmNotes->toPlainText(), QStringLiteral("erste Zeile\nzweite Zeile"));

        QCOMPARE(form.aSave->text(), QStringLiteral("&Speichern"));
        QCOMPARE(form.aSave->toolTip(), QStringLiteral("Dokument speichern"));
        QCOMPARE(form.aSave->statusTip(), QStringLiteral("Dokument speichern"));
        QCOMPARE(form.aSave->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QVERIFY(!form.aSave->isEnabled());
        QCOMPARE(form.aNew->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
        QCOMPARE(form.mnuFile->title(), QStringLiteral("&Datei"));
    }

    void languageSwitch_reappliesAtOnce_andKeepsTextsTheNewFileDoesNotMention()
    {
        start();
        selectLanguage(QStringLiteral("Deutsch"));
        TFLangTest form(FSet.get());
        QSignalSpy updated(form.xlLangTest, &TNVKCustomResourceManager::afterUpdate);
        QSignalSpy changed(FSet.get(), &TNVKCustomResourceSet::languageChanged);
        selectLanguage(QStringLiteral("Nederlands"));
        QCOMPARE(updated.count(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(form.lblName->text(), QStringLiteral("&Naam:"));
        QCOMPARE(form.btnStart->text(), QStringLiteral("&Starten"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Testformular"));
        QCOMPARE(form.lblName->font().pixelSize(), 20);
        QVERIFY(form.lblName->font().bold()); // the style of the German file stays
        QCOMPARE(form.aSave->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QVERIFY(form.aNew->shortcut().isEmpty());
        QVERIFY(FReported.isEmpty());
    }

    void malformedSet_raisesFromCreation_andIsReportedOnALanguageSwitch()
    {
        start();
        selectLanguage(QStringLiteral("Kaputt"));
        try {
            TFLangTest form(FSet.get());
            QFAIL("creating the form must raise the malformed set's error");
        } catch (const ENVKError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Set must be enclosed in brackets"));
        }

        selectLanguage(QStringLiteral("Default (English)"));
        TFLangTest form(FSet.get());
        const int pointSize = form.lblName->font().pointSize();
        selectLanguage(QStringLiteral("Kaputt"));
        QCOMPARE(FReported, QStringList({QStringLiteral("Set must be enclosed in brackets")}));
        QCOMPARE(form.lblName->text(), QStringLiteral("Kaputt"));
        QCOMPARE(form.lblName->font().pointSize(), pointSize); // the broken font is not half applied
        QCOMPARE(form.btnStart->text(), QStringLiteral("Start"));
    }

    void colorToQColor_readsPlainAndSystemColours()
    {
        QPalette palette;
        palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
        QCOMPARE(NVKColorToQColor(0x00332211, palette), QColor(0x11, 0x22, 0x33));
        QCOMPARE(NVKColorToQColor(int(0x80000005u), palette), QColor(1, 2, 3)); // clWindow
        QVERIFY(!NVKColorToQColor(0x1FFFFFFF, palette).isValid());              // clNone
        QVERIFY(!NVKColorToQColor(int(0x800000FFu), palette).isValid());
    }
};

QTEST_MAIN(TestNVKLocalizer)
#include "tst_NVKLocalizer.moc"
