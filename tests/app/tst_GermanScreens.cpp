// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "controls/VtlFindDialogs.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/DateTimeDlg.h"
#include "dialogs/DocPropsDlg.h"
#include "dialogs/ErrorDlg.h"
#include "dialogs/GoToDlg.h"
#include "dialogs/LinkDlg.h"
#include "dialogs/MarkerDlg.h"
#include "dialogs/ParagraphDlg.h"
#include "dialogs/SettingsDlg.h"
#include "dialogs/TipsDlg.h"
#include "document/QBMarkers.h"
#include "platform/QBAppShared.h"
#include "report/ExportDlg.h"
#include "report/ExportHelper.h"
#include "report/PageSetupDlg.h"
#include "report/PreviewDlg.h"
#include "report/PrintDlg.h"
#include "support/TestHelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QDockWidget>
#include <QFontDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <functional>

namespace {

using TTexts = QMap<QString, QString>;

// Where a text sits in its window: the names of the objects from the window down; an object
// without a name counts by its class and place among its parent's children.
QString pathOf(const QObject *object, const QObject *window)
{
    QStringList parts;
    for (const QObject *o = object; o && o != window; o = o->parent()) {
        QString part = o->objectName();
        if (part.isEmpty()) {
            const QObject *parent = o->parent();
            const int place = parent ? int(parent->children().indexOf(const_cast<QObject *>(o))) : 0;
            part = QString::fromLatin1(o->metaObject()->className()) + QLatin1Char('#') + QString::number(place);
        }
        parts.prepend(part);
    }
    return parts.join(QLatin1Char('/'));
}

// Texts that show the user's data or facts of the machine rather than the program's words.
const QStringList DataWidgets{
    QStringLiteral("cbFont"),       QStringLiteral("cbSize"),        QStringLiteral("cbBackupMask"),
    QStringLiteral("lbLanguages"),  QStringLiteral("lbTTabList"),    QStringLiteral("lblPath"),
    QStringLiteral("lblTime"),      QStringLiteral("lblAppVersion"), QStringLiteral("lblOSVersion"),
    QStringLiteral("lblPhysValue"), QStringLiteral("pbPhysMemory"),  QStringLiteral("pbPageFile"),
    QStringLiteral("atArticles"),   QStringLiteral("atTitle"),       QStringLiteral("atvOutline"),
    QStringLiteral("lvIndex"),      QStringLiteral("lblFileName"),   QStringLiteral("edFileName"),
    QStringLiteral("edEncoding"),   QStringLiteral("edGenerator"),   QStringLiteral("edArticles"),
    QStringLiteral("miDateTime1"),  QStringLiteral("miDateTime2"),   QStringLiteral("miDateTime3"),
    QStringLiteral("miDateTime4"),  QStringLiteral("cbEncoding"),    QStringLiteral("lblTitle"),
    QStringLiteral("lbDate"),       QStringLiteral("lbTime"),        QStringLiteral("cbPaper"),
};

bool insideData(const QObject *object, const QObject *window)
{
    for (const QObject *o = object; o && o != window; o = o->parent())
        if (DataWidgets.contains(o->objectName()))
            return true;
    return false;
}

// Every text a user can read in the window: title, labels, buttons, group and tab captions, list
// entries, column headers, hints, menu titles and entries.
TTexts visibleTexts(QWidget *window)
{
    TTexts texts;
    const auto add = [&](const QObject *object, const QString &what, const QString &text) {
        if (!text.trimmed().isEmpty() && !insideData(object, window))
            texts.insert(pathOf(object, window) + QLatin1Char(':') + what, text);
    };
    add(window, QStringLiteral("title"), window->windowTitle());
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *widget : std::as_const(widgets)) {
        if (widget != window && widget->isWindow() && !qobject_cast<QMenu *>(widget) &&
            !qobject_cast<QDockWidget *>(widget))
            continue;
        add(widget, QStringLiteral("hint"), widget->toolTip());
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            if (!label->text().contains(QLatin1String("<a ")))
                add(widget, QStringLiteral("text"), label->text());
        } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            if (!qobject_cast<QToolButton *>(widget))
                add(widget, QStringLiteral("text"), button->text());
        } else if (auto *group = qobject_cast<QGroupBox *>(widget)) {
            add(widget, QStringLiteral("title"), group->title());
        } else if (auto *tabs = qobject_cast<QTabWidget *>(widget)) {
            for (int i = 0; i < tabs->count(); ++i)
                add(widget, QStringLiteral("tab%1").arg(i), tabs->tabText(i));
        } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
            if (!combo->isEditable())
                for (int i = 0; i < combo->count(); ++i)
                    add(widget, QStringLiteral("item%1").arg(i), combo->itemText(i));
        } else if (auto *list = qobject_cast<QListWidget *>(widget)) {
            for (int i = 0; i < list->count(); ++i)
                add(widget, QStringLiteral("item%1").arg(i), list->item(i)->text());
        } else if (auto *view = qobject_cast<QTreeView *>(widget)) {
            if (view->model() && !view->isHeaderHidden())
                for (int i = 0; i < view->model()->columnCount(); ++i)
                    add(widget, QStringLiteral("column%1").arg(i),
                        view->model()->headerData(i, Qt::Horizontal).toString());
        } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            if (edit->isReadOnly())
                add(widget, QStringLiteral("text"), edit->text());
            add(widget, QStringLiteral("placeholder"), edit->placeholderText());
        } else if (auto *menu = qobject_cast<QMenu *>(widget)) {
            add(widget, QStringLiteral("title"), menu->title());
        } else if (qobject_cast<QDockWidget *>(widget) || qobject_cast<QToolBar *>(widget)) {
            add(widget, QStringLiteral("title"), widget->windowTitle());
        }
    }
    for (QAction *action : window->findChildren<QAction *>()) {
        if (action->isSeparator() || action->menu())
            continue;
        // Entries without a name are lists of the user's things (files, windows), except the colours.
        const QString parent = action->parent() ? action->parent()->objectName() : QString();
        if (action->objectName().isEmpty() && !parent.startsWith(QLatin1String("pm")))
            continue;
        if (action->objectName().isEmpty() &&
            (parent == QLatin1String("pmRecent") || parent == QLatin1String("pmWindow")))
            continue;
        add(action, QStringLiteral("caption"), action->text());
        add(action, QStringLiteral("hint"), action->toolTip());
        add(action, QStringLiteral("status"), action->statusTip());
    }
    return texts;
}

// Words that German writes as English does, and texts that hold no words.
bool sameInBothLanguages(const QString &text)
{
    static const QStringList words{
        QStringLiteral("OK"),          QStringLiteral("Quillbox"),  QStringLiteral("Index"),
        QStringLiteral("Hyperlink"),   QStringLiteral("Format"),    QStringLiteral("Standard"),
        QStringLiteral("Editor"),      QStringLiteral("Copyright"), QStringLiteral("Revision"),
        QStringLiteral("Information"), QStringLiteral("Position")};
    QString plain = text;
    plain.remove(QLatin1Char('&'));
    plain = plain.trimmed();
    while (plain.endsWith(QLatin1Char('.')) || plain.endsWith(QLatin1Char(':')))
        plain.chop(1);
    static const QRegularExpression letter(QStringLiteral("\\p{L}"));
    // Link schemes ("http://", "mailto:") are written alike everywhere.
    static const QRegularExpression scheme(QStringLiteral("^[a-z]+:(//)?/?$"));
    return !plain.contains(letter) || words.contains(plain) || plain.startsWith(QLatin1String("Quillbox ")) ||
           scheme.match(text.trimmed().remove(QLatin1Char('&'))).hasMatch();
}

// One window the program can show, made over the running program.
struct TScreen
{
    const char *Name;
    std::function<QWidget *(TAppFrameFixture &)> Make;
};

QList<TScreen> screens()
{
    const auto owner = [](TAppFrameFixture &f) { return f.frame.get(); };
    return {
        {"hyperlink", [=](TAppFrameFixture &f) { return new TFLinkDlg(owner(f)); }},
        {"go to line", [=](TAppFrameFixture &f) { return new TFGoToDlg(owner(f)); }},
        {"paragraph", [=](TAppFrameFixture &f) { return new TFParagraphDlg(owner(f)); }},
        {"date and time", [=](TAppFrameFixture &f) { return new TFDateTimeDlg(owner(f)); }},
        {"print", [=](TAppFrameFixture &f) { return new TFPrintDlg(owner(f)); }},
        {"export", [=](TAppFrameFixture &f) { return new TFExportDlg(owner(f)); }},
        {"report progress", [=](TAppFrameFixture &f) { return new TFReportProgress(owner(f)); }},
        {"preview", [=](TAppFrameFixture &f) { return new TFPreviewDlg(owner(f)); }},
        {"page setup",
         [=](TAppFrameFixture &f) {
             static QPrinter printer(QPrinter::HighResolution);
             return new TPageSetupDialog(&printer, owner(f));
         }},
        {"marker",
         [=](TAppFrameFixture &f) {
             auto *dialog = new TFMarkerDlg(*QBAppShared().Markers, owner(f));
             dialog->Prepare(f.doc()->Root());
             return dialog;
         }},
        {"tips", [=](TAppFrameFixture &f) { return new TFTipsDlg(owner(f)); }},
        {"about", [=](TAppFrameFixture &f) { return new TFAboutDlg(owner(f)); }},
        {"error",
         [=](TAppFrameFixture &f) {
             auto *dialog = new TFErrorDlg(owner(f));
             dialog->SetError(QString(), QStringLiteral("details"));
             return dialog;
         }},
        {"message box",
         [=](TAppFrameFixture &f) {
             return QBDialogs::NewMessageBox(owner(f), QMessageBox::Question, QStringLiteral("?"),
                                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
         }},
        {"find", [](TAppFrameFixture &f) { return new TVtlFindDialog(f.frame->RichEdit, false); }},
        {"replace", [](TAppFrameFixture &f) { return new TVtlReplaceDialog(f.frame->RichEdit); }},
        {"settings",
         [=](TAppFrameFixture &f) {
             auto *dialog = new TFSettingsDlg(owner(f));
             dialog->LoadControls();
             return dialog;
         }},
        {"properties",
         [=](TAppFrameFixture &f) {
             auto *dialog = new TFDocPropsDlg(owner(f));
             dialog->Load(f.doc());
             return dialog;
         }},
    };
}

// The texts of every window in English, then in German; what German leaves as English, by window.
QStringList untranslatedTexts(const QByteArray &germanFile)
{
    QTemporaryDir languages;
    TDMAppData::SetLanguageFolder(languages.path());
    writeFile(languages.filePath(QStringLiteral("Deutsch/qb.exe.xlg")), germanFile);
    QStringList untranslated;
    {
        TAppFrameFixture f;
        QMap<QString, TTexts> english;
        english.insert(QStringLiteral("main window"), visibleTexts(f.frame.get()));
        for (const TScreen &screen : screens()) {
            std::unique_ptr<QWidget> window(screen.Make(f));
            english.insert(QString::fromLatin1(screen.Name), visibleTexts(window.get()));
        }
        // The main window follows the switch as it stands; the other windows are made afterwards.
        SettingsService()->SetLanguage(QStringLiteral("Deutsch"));
        QMap<QString, TTexts> german;
        german.insert(QStringLiteral("main window"), visibleTexts(f.frame.get()));
        for (const TScreen &screen : screens()) {
            std::unique_ptr<QWidget> window(screen.Make(f));
            german.insert(QString::fromLatin1(screen.Name), visibleTexts(window.get()));
        }
        for (auto window = german.cbegin(); window != german.cend(); ++window) {
            const TTexts &before = english.value(window.key());
            for (auto text = window->cbegin(); text != window->cend(); ++text) {
                if (before.value(text.key()) == text.value() && !sameInBothLanguages(text.value()))
                    untranslated << window.key() + QStringLiteral(": ") + text.key() + QStringLiteral(" = \"") +
                                        text.value() + QLatin1Char('"');
            }
        }
        SettingsService()->SetLanguage(QString());
    }
    TDMAppData::SetLanguageFolder(QString());
    return untranslated;
}

QByteArray shippedGerman()
{
    return fileBytes(QStringLiteral(QB_RESOURCES_DIR "/Language/Deutsch/qb.exe.xlg"));
}

// The German file without one component of one container.
QByteArray withoutComponent(const QByteArray &file, const QByteArray &container, const QByteArray &component)
{
    const qsizetype start = file.indexOf(QByteArray(QByteArray("<Container class=\"") + container + "\">"));
    if (start < 0)
        return {};
    const qsizetype end = file.indexOf("</Container>", start);
    const qsizetype from = file.indexOf(QByteArray(QByteArray("<Component name=\"") + component + "\">"), start);
    if (from < 0 || from > end)
        return {};
    const qsizetype to = file.indexOf("</Component>", from) + qsizetype(strlen("</Component>"));
    QByteArray result = file;
    result.remove(from, to - from);
    return result;
}

} // namespace

class TestGermanScreens : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Message boxes carry the program's name, as in the program.
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Quillbox")); }

    void everyWindow_speaksGerman()
    {
        const QStringList untranslated = untranslatedTexts(shippedGerman());
        for (const QString &text : untranslated)
            qWarning("%s", qPrintable(text));
        QCOMPARE(untranslated.size(), 0);
    }

    void removingOneTranslation_isNoticed_data()
    {
        QTest::addColumn<QByteArray>("container");
        QTest::addColumn<QByteArray>("component");
        QTest::addColumn<QString>("reported");
        QTest::newRow("menu entry") << QByteArray("TFAppFrame") << QByteArray("FileSave")
                                    << "main window: FileSave:caption";
        QTest::newRow("pane button") << QByteArray("TFSearchPane") << QByteArray("btnStop") << "btnStop:text";
        QTest::newRow("dialog button") << QByteArray("TFGoToDlg") << QByteArray("btnHelp")
                                       << "go to line: btnHelp:text";
        QTest::newRow("settings page") << QByteArray("TFSettingsDlg") << QByteArray("cbWordWrap")
                                       << "settings: pcSettings/";
        QTest::newRow("properties tab") << QByteArray("TFDocPropsDlg") << QByteArray("tabSummary")
                                        << "properties: pcProperties:tab1";
        QTest::newRow("marker name") << QByteArray("TDMAppData") << QByteArray("QBMarkerDictionary")
                                     << "marker: lvMarkers:item1";
        QTest::newRow("untitled document")
            << QByteArray("TDMAppData") << QByteArray("QBDataService") << "main window: :title";
    }

    void removingOneTranslation_isNoticed()
    {
        QFETCH(QByteArray, container);
        QFETCH(QByteArray, component);
        QFETCH(QString, reported);
        const QByteArray mutated = withoutComponent(shippedGerman(), container, component);
        QVERIFY2(!mutated.isEmpty(), component.constData());
        const QStringList untranslated = untranslatedTexts(mutated);
        QVERIFY2(!untranslated.isEmpty(), component.constData());
        QVERIFY2(std::any_of(untranslated.cbegin(), untranslated.cend(),
                             [&](const QString &text) { return text.contains(reported); }),
                 qPrintable(untranslated.join(QLatin1Char('\n'))));
    }

    // The dock's pages keep their whole names, which are longer in German.
    void navigationPages_keepTheirWholeNames()
    {
        QTemporaryDir languages;
        TDMAppData::SetLanguageFolder(languages.path());
        writeFile(languages.filePath(QStringLiteral("Deutsch/qb.exe.xlg")), shippedGerman());
        {
            TAppFrameFixture f;
            QTabBar *pages = f.frame->pcNavigation->tabBar();
            SettingsService()->SetLanguage(QStringLiteral("Deutsch"));
            QCOMPARE(pages->tabText(0), QStringLiteral("Gliederung"));
            QTRY_VERIFY2(pages->width() >= pages->sizeHint().width(),
                         qPrintable(QStringLiteral("%1 < %2").arg(pages->width()).arg(pages->sizeHint().width())));
            SettingsService()->SetLanguage(QString());
        }
        TDMAppData::SetLanguageFolder(QString());
    }

    // Qt draws the font, colour and file dialogs itself; they follow the language through Qt's own
    // translations.
    void qtsOwnDialogs_followTheLanguage()
    {
        QTemporaryDir languages;
        TDMAppData::SetLanguageFolder(languages.path());
        writeFile(languages.filePath(QStringLiteral("Deutsch/qb.exe.xlg")), shippedGerman());
        const auto labels = [] {
            QFontDialog dialog;
            QStringList texts;
            for (const QLabel *label : dialog.findChildren<QLabel *>())
                texts << label->text();
            for (const QCheckBox *box : dialog.findChildren<QCheckBox *>())
                texts << box->text();
            texts.sort();
            return texts;
        };
        {
            TAppFrameFixture f;
            const QStringList english = labels();
            QVERIFY(english.contains(QStringLiteral("&Underline")));
            SettingsService()->SetLanguage(QStringLiteral("Deutsch"));
            const QStringList german = labels();
            QVERIFY2(!german.contains(QStringLiteral("&Underline")), qPrintable(german.join(QLatin1Char('|'))));
            QCOMPARE(german.size(), english.size());
            SettingsService()->SetLanguage(QStringLiteral("Default (English)"));
            QCOMPARE(labels(), english);
            SettingsService()->SetLanguage(QString());
        }
        TDMAppData::SetLanguageFolder(QString());
    }

    void everyWindowClass_hasAGermanContainer()
    {
        // Windows are the classes named TF… that derive from a dialog, a main window or a form.
        static const QRegularExpression window(
            QStringLiteral("class (TF\\w+)\\s*(?:final\\s*)?:\\s*public\\s+(?:QDialog|QMainWindow|QWidget|TBaseForm|"
                           "TFToolForm|TFReportDlg)\\b"));
        const QString german = QString::fromUtf8(shippedGerman());
        QStringList missing;
        QDirIterator sources(QStringLiteral(QB_RESOURCES_DIR "/../src"), {QStringLiteral("*.h")}, QDir::Files,
                             QDirIterator::Subdirectories);
        QString headers;
        while (sources.hasNext())
            headers += QString::fromUtf8(fileBytes(sources.next()));
        int windows = 0;
        for (const QRegularExpressionMatch &match : window.globalMatch(headers)) {
            ++windows;
            const QString name = match.captured(1);
            // A base class lends its frame to the windows derived from it; their containers hold the texts.
            const bool base = headers.contains(QStringLiteral("public ") + name + QLatin1Char('\n')) ||
                              headers.contains(QStringLiteral("public ") + name + QLatin1Char(' '));
            if (!base && !german.contains(QStringLiteral("<Container class=\"%1\">").arg(name)))
                missing << name;
        }
        QVERIFY(windows >= 20);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1String(", "))));
    }
};

QTEST_MAIN(TestGermanScreens)
#include "tst_GermanScreens.moc"
