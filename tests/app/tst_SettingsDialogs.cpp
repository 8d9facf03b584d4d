// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "controls/ArticleTitle.h"
#include "dialogs/DocPropsDlg.h"
#include "dialogs/FontEditor.h"
#include "dialogs/SettingsDlg.h"
#include "document/QBXml.h"
#include "framework/NVKLang.h"
#include "platform/QBColors.h"
#include "platform/QBHelp.h"
#include "platform/QBShell.h"
#include "services/QBDocBackup.h"
#include "services/QBSettingsAccess.h"
#include "support/LanguageFiles.h"
#include "support/WriteFaults.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>

#include <functional>

namespace {

using TSettingReader = std::function<QString(const IQBSettingsService &)>;

// Every setting the dialog edits, read back as text.
const QMap<QString, TSettingReader> &settingReaders()
{
    static const QMap<QString, TSettingReader> readers{
        {"StartupAction", [](const auto &s) { return QString::number(s.GetStartupAction()); }},
        {"StartupDocument", [](const auto &s) { return s.GetStartupDocument(); }},
        {"ShowTips", [](const auto &s) { return QVariant(s.GetShowTips()).toString(); }},
        {"Encoding", [](const auto &s) { return s.GetEncoding(); }},
        {"Author", [](const auto &s) { return s.GetAuthor(); }},
        {"Copyright", [](const auto &s) { return s.GetCopyright(); }},
        {"AutoRevision", [](const auto &s) { return QVariant(s.GetAutoRevision()).toString(); }},
        {"WordWrap", [](const auto &s) { return QVariant(s.GetWordWrap()).toString(); }},
        {"WordSelection", [](const auto &s) { return QVariant(s.GetWordSelection()).toString(); }},
        {"FindWordAtCursor", [](const auto &s) { return QVariant(s.GetFindWordAtCursor()).toString(); }},
        {"ReplaceWordAtCursor", [](const auto &s) { return QVariant(s.GetReplaceWordAtCursor()).toString(); }},
        {"InplaceActivation", [](const auto &s) { return QVariant(s.GetInplaceActivation()).toString(); }},
        {"SelectionBar", [](const auto &s) { return QVariant(s.GetSelectionBar()).toString(); }},
        {"UndoLimit", [](const auto &s) { return QString::number(s.GetUndoLimit()); }},
        {"Autosave", [](const auto &s) { return QVariant(s.GetAutosave()).toString(); }},
        {"AutosaveInterval", [](const auto &s) { return QString::number(s.GetAutosaveInterval()); }},
        {"CreateBackups", [](const auto &s) { return QVariant(s.GetCreateBackups()).toString(); }},
        {"BackupFirstTime", [](const auto &s) { return QVariant(s.GetBackupFirstTime()).toString(); }},
        {"BackupMask", [](const auto &s) { return s.GetBackupMask(); }},
        {"EditorFont", [](const auto &s) { return s.GetEditorFont(); }},
        {"TitleFont", [](const auto &s) { return s.GetTitleFont(); }},
        {"OutlineColor", [](const auto &s) { return ColorToString(s.GetOutlineColor()); }},
        {"IndexColor", [](const auto &s) { return ColorToString(s.GetIndexColor()); }},
        {"TitleColor", [](const auto &s) { return ColorToString(s.GetTitleColor()); }},
        {"EditorColor", [](const auto &s) { return ColorToString(s.GetEditorColor()); }},
        {"Language", [](const auto &s) { return s.GetLanguage(); }},
    };
    return readers;
}

// Sets a control as the user would: a check box is clicked, a radio button chosen, a text typed,
// a list entry picked; a colour box takes the colour named by value.
void setControl(TFSettingsDlg &dialog, const QString &name, const QString &value)
{
    QWidget *control = dialog.findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    if (auto *radio = qobject_cast<QRadioButton *>(control)) {
        radio->setChecked(true);
    } else if (auto *check = qobject_cast<QCheckBox *>(control)) {
        check->setChecked(value == QLatin1String("true"));
    } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->setText(value);
    } else if (auto *spin = qobject_cast<QSpinBox *>(control)) {
        spin->setValue(value.toInt());
    } else if (auto *fonts = qobject_cast<TFontEditor *>(control)) {
        fonts->SetFontDescriptor(value);
    } else if (auto *list = qobject_cast<QListWidget *>(control)) {
        const auto found = list->findItems(value, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(value));
        list->setCurrentItem(found.first());
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        if (combo->isEditable()) {
            combo->setEditText(value);
        } else if (name.startsWith(QLatin1String("clb"))) {
            TColor color = 0;
            QVERIFY(StringToColor(value, color));
            const int row = combo->findData(color);
            QVERIFY2(row >= 0, qPrintable(value));
            combo->setCurrentIndex(row);
        } else {
            combo->setCurrentText(value);
        }
    } else {
        QFAIL(qPrintable(QStringLiteral("no way to set ") + name));
    }
}

// The program over an installed "Deutsch" language and the user's own language folder.
struct TSettingsFixture
{
    TShippedLanguages shipped;
    std::unique_ptr<TAppFrameFixture> app = std::make_unique<TAppFrameFixture>();

    QString userLanguages() const { return app->path(QStringLiteral("UserLanguage")); }
};

QString writeSource(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    writeFile(path, bytes);
    return path;
}

} // namespace

class TestSettingsDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QBDialogs::ClearTestState(); }

    void viewSettings_opensTheDialogOnItsFirstPage_withTheStoredValues()
    {
        TSettingsFixture f;
        SettingsService()->SetAuthor(QStringLiteral("Anna"));
        QString author;
        int page = -1;
        bool applyEnabled = true;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TFSettingsDlg *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            author = dialog->edAuthor->text();
            page = dialog->pcSettings->currentIndex();
            applyEnabled = dialog->btnApply->isEnabled();
            dialog->btnCancel->click();
        });
        f.app->run(f.app->frame->ViewSettings);
        QCOMPARE(author, QStringLiteral("Anna"));
        QCOMPARE(page, 0);
        QVERIFY(!applyEnabled);
    }

    void everyControl_reachesTheStore_andANewServiceReadsIt_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("expected");
        QTest::newRow("open recent") << "rbRecentDocument"
                                     << ""
                                     << "StartupAction"
                                     << "1";
        QTest::newRow("startup document") << "edStartupDocument"
                                          << "notes.xqb"
                                          << "StartupDocument"
                                          << "notes.xqb";
        QTest::newRow("tips") << "cbShowTips"
                              << "false"
                              << "ShowTips"
                              << "false";
        QTest::newRow("encoding") << "cbEncoding"
                                  << "ISO-8859-1"
                                  << "Encoding"
                                  << "ISO-8859-1";
        QTest::newRow("author") << "edAuthor"
                                << "Jürgen Ä"
                                << "Author"
                                << "Jürgen Ä";
        QTest::newRow("copyright") << "edCopyright"
                                   << "© 2026"
                                   << "Copyright"
                                   << "© 2026";
        QTest::newRow("auto revision") << "cbAutoRevision"
                                       << "true"
                                       << "AutoRevision"
                                       << "true";
        QTest::newRow("word wrap") << "cbWordWrap"
                                   << "false"
                                   << "WordWrap"
                                   << "false";
        QTest::newRow("word selection") << "cbWordSelection"
                                        << "false"
                                        << "WordSelection"
                                        << "false";
        QTest::newRow("find word") << "cbFindWordAtCursor"
                                   << "true"
                                   << "FindWordAtCursor"
                                   << "true";
        QTest::newRow("replace word") << "cbReplaceWordAtCursor"
                                      << "true"
                                      << "ReplaceWordAtCursor"
                                      << "true";
        QTest::newRow("inplace") << "cbInplaceActivation"
                                 << "false"
                                 << "InplaceActivation"
                                 << "false";
        QTest::newRow("selection bar") << "cbSelectionBar"
                                       << "false"
                                       << "SelectionBar"
                                       << "false";
        QTest::newRow("undo limit") << "seUndoLimit"
                                    << "250"
                                    << "UndoLimit"
                                    << "250";
        QTest::newRow("autosave") << "cbAutosave"
                                  << "true"
                                  << "Autosave"
                                  << "true";
        QTest::newRow("autosave interval") << "seAutosaveInterval"
                                           << "35"
                                           << "AutosaveInterval"
                                           << "35";
        QTest::newRow("backups") << "cbCreateBackups"
                                 << "true"
                                 << "CreateBackups"
                                 << "true";
        QTest::newRow("first time") << "cbBackupFirstTime"
                                    << "true"
                                    << "BackupFirstTime"
                                    << "true";
        QTest::newRow("backup mask") << "cbBackupMask"
                                     << "*.*.old"
                                     << "BackupMask"
                                     << "*.*.old";
        QTest::newRow("editor font") << "feEditor"
                                     << "Courier New, 12, 1, 1, clBlack"
                                     << "EditorFont"
                                     << "Courier New, 12, 1, 1, clBlack";
        QTest::newRow("title font") << "feTitle"
                                    << "Serif, 16, 1, 2, clNavy"
                                    << "TitleFont"
                                    << "Serif, 16, 1, 2, clNavy";
        QTest::newRow("outline colour") << "clbOutline"
                                        << "clYellow"
                                        << "OutlineColor"
                                        << "clYellow";
        QTest::newRow("index colour") << "clbIndex"
                                      << "clSilver"
                                      << "IndexColor"
                                      << "clSilver";
        QTest::newRow("title colour default") << "cbTitleDefault"
                                              << "true"
                                              << "TitleColor"
                                              << "clWindow";
        QTest::newRow("editor colour") << "clbEditor"
                                       << "clInfoBk"
                                       << "EditorColor"
                                       << "clInfoBk";
        QTest::newRow("language") << "lbLanguages"
                                  << "Deutsch"
                                  << "Language"
                                  << "Deutsch";
    }

    void everyControl_reachesTheStore_andANewServiceReadsIt()
    {
        QFETCH(QString, control);
        QFETCH(QString, value);
        QFETCH(QString, setting);
        QFETCH(QString, expected);
        const TSettingReader read = settingReaders().value(setting);
        QVERIFY(read);
        TSettingsFixture f;
        // The colours start on "Use default", whose boxes take no choice.
        SettingsService()->BeginUpdate();
        SettingsService()->SetOutlineColor(clBtnFace);
        SettingsService()->SetIndexColor(clBtnFace);
        SettingsService()->SetEditorColor(clBtnFace);
        SettingsService()->EndUpdate();
        QVERIFY2(!f.app->doc()->Modified(), "colours");
        const QString before = read(*SettingsService());
        QVERIFY2(before != expected, qPrintable(before));
        {
            TFSettingsDlg dialog(f.app->frame.get());
            dialog.LoadControls();
            if (control == QLatin1String("edStartupDocument"))
                dialog.rbThisDocument->setChecked(true);
            setControl(dialog, control, value);
            QVERIFY(dialog.btnApply->isEnabled());
            dialog.btnOKClick();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(read(*SettingsService()), expected);

        // Quitting writes the store; a program started afterwards reads the same value.
        // Settings change the program, never the document.
        QVERIFY(!f.app->doc()->Modified());
        QVERIFY(f.app->frame->close());
        f.app->frame.reset();
        f.app->appData.reset();
        NVKFinalizeCore();
        NVKInitializeCore();
        TQBSettingsService restarted;
        restarted.SetActive(true);
        QCOMPARE(read(*SettingsService()), expected);
        restarted.SetActive(false);
    }

    void apply_isEnabledOnlyAfterAChange_andSendsOneNotice_cancelKeepsWhatWasApplied()
    {
        TSettingsFixture f;
        QSignalSpy notices(f.app->appData->QBSettingsAccess, &TQBSettingsAccess::settingsChanged);
        TFSettingsDlg dialog(f.app->frame.get());
        dialog.LoadControls();
        QVERIFY(!dialog.btnApply->isEnabled());
        // OK without a change writes nothing.
        dialog.btnOKClick();
        QCOMPARE(notices.count(), 0);

        dialog.LoadControls();
        dialog.edAuthor->setText(QStringLiteral("Anna"));
        dialog.seUndoLimit->setValue(20);
        dialog.cbAutosave->setChecked(true);
        QVERIFY(dialog.btnApply->isEnabled());
        dialog.btnApply->click();
        QVERIFY(!dialog.btnApply->isEnabled());
        QCOMPARE(notices.count(), 1);
        // The language goes by name into the store the first time, so it counts as changed once.
        QCOMPARE(notices.first().first().toInt(), scDocDefaults | scEditOptions | scBackup | scLanguage);
        dialog.edAuthor->setText(QStringLiteral("Bert"));
        dialog.btnCancel->click();
        QCOMPARE(notices.count(), 1);
        QCOMPARE(SettingsService()->GetAuthor(), QStringLiteral("Anna"));
    }

    void changes_takeEffectAtOnce()
    {
        TSettingsFixture f;
        TFAppFrame *frame = f.app->frame.get();
        TFSettingsDlg dialog(frame);
        dialog.LoadControls();
        dialog.cbWordWrap->setChecked(false);
        dialog.seUndoLimit->setValue(30);
        dialog.cbAutosave->setChecked(true);
        dialog.seAutosaveInterval->setValue(25);
        dialog.feEditor->SetFontDescriptor(QStringLiteral("Courier New, 15, 1, 0, clWindowText"));
        dialog.cbDefaultColors[TFSettingsDlg::ctEditor]->click();
        setControl(dialog, QStringLiteral("clbEditor"), QStringLiteral("clYellow"));
        dialog.cbDefaultColors[TFSettingsDlg::ctOutline]->click();
        setControl(dialog, QStringLiteral("clbOutline"), QStringLiteral("clAqua"));
        dialog.feTitle->SetFontDescriptor(QStringLiteral("Serif, 17, 1, 0, clWindowText"));
        setControl(dialog, QStringLiteral("lbLanguages"), QStringLiteral("Deutsch"));
        dialog.btnOKClick();

        QVERIFY(!frame->RichEdit->WordWrap());
        QVERIFY(!frame->ViewWrap->isChecked());
        QCOMPARE(frame->RichEdit->UndoLimit(), 30);
        QVERIFY(f.app->appData->QBDataBackup->Autosave());
        QCOMPARE(f.app->appData->QBDataBackup->AutosaveInterval(), 25);
        QCOMPARE(frame->RichEdit->DefAttributes().Size(), 15);
        QCOMPARE(frame->RichEdit->palette().color(QPalette::Base), QColor(Qt::yellow));
        QCOMPARE(frame->OutlinePane->atvOutline->palette().color(QPalette::Base), QColor(Qt::cyan));
        QCOMPARE(frame->atTitle->CaptionFont().pointSize(), 17);
        // The language switches every window at once, this dialog among them.
        QCOMPARE(frame->ViewSettings->text(), QStringLiteral("&Einstellungen..."));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Einstellungen"));
    }

    void titleColour_defaultOfTheStore_isNotUseDefault_checkingItStoresWindow()
    {
        TSettingsFixture f;
        TFSettingsDlg dialog(f.app->frame.get());
        dialog.LoadControls();
        QCOMPARE(SettingsService()->GetTitleColor(), clInfoBk);
        QVERIFY(!dialog.cbDefaultColors[TFSettingsDlg::ctTitle]->isChecked());
        QVERIFY(dialog.clbColors[TFSettingsDlg::ctTitle]->isEnabled());
        QCOMPARE(dialog.SelectedColor(TFSettingsDlg::ctTitle), clInfoBk);
        dialog.cbDefaultColors[TFSettingsDlg::ctTitle]->click();
        QVERIFY(!dialog.clbColors[TFSettingsDlg::ctTitle]->isEnabled());
        dialog.btnOKClick();
        QCOMPARE(SettingsService()->GetTitleColor(), clWindowColor);
    }

    void validation_keepsTheDialogOpenOnTheFaultyPage_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("startupDocument");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("message");
        QTest::newRow("valid encoding") << "UTF-16"
                                        << "" << -1 << "";
        QTest::newRow("latin") << "iso-8859-15"
                               << "" << -1 << "";
        QTest::newRow("unknown encoding")
            << "klingon-7"
            << "" << 1 << "Error setting default document encoding: Unsupported encoding klingon-7";
        QTest::newRow("empty encoding") << ""
                                        << "" << 1 << "Error setting default document encoding: ";
        QTest::newRow("quote in encoding") << "UTF-8\" x=\""
                                           << "" << 1 << "Error setting default document encoding: ";
        QTest::newRow("no startup file") << "UTF-8"
                                         << "   " << 0 << "A valid file name required for this option.";
    }

    void validation_keepsTheDialogOpenOnTheFaultyPage()
    {
        QFETCH(QString, encoding);
        QFETCH(QString, startupDocument);
        QFETCH(int, page);
        QFETCH(QString, message);
        TSettingsFixture f;
        TFSettingsDlg dialog(f.app->frame.get());
        dialog.LoadControls();
        dialog.pcSettings->setCurrentIndex(4);
        dialog.cbEncoding->setEditText(encoding);
        if (!startupDocument.isEmpty()) {
            dialog.rbThisDocument->setChecked(true);
            dialog.edStartupDocument->setText(startupDocument);
        }
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        dialog.btnOKClick();
        if (page < 0) {
            QVERIFY(QBDialogs::ShownTexts().isEmpty());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(SettingsService()->GetEncoding(), encoding);
            // The accepted name is offered next time, right after UTF-8.
            TFSettingsDlg again(f.app->frame.get());
            again.LoadControls();
            QCOMPARE(again.cbEncoding->itemText(1), encoding);
            return;
        }
        QCOMPARE(QBDialogs::ShownTexts().size(), 1);
        QVERIFY2(QBDialogs::ShownTexts().first().startsWith(message), qPrintable(QBDialogs::ShownTexts().first()));
        QCOMPARE(dialog.pcSettings->currentIndex(), page);
        QVERIFY(dialog.Modified());
        QCOMPARE(SettingsService()->GetEncoding(), QStringLiteral("UTF-8"));
        QCOMPARE(SettingsService()->GetStartupAction(), 0);
    }

    void addLanguage_installsOnlyValidFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("installed");
        QTest::newRow("valid") << languageXml(QStringLiteral("Français"), "<ResourceStrings/>") << qint64(0)
                               << "Français";
        QTest::newRow("not xml") << QByteArray("this is no XML <<<") << qint64(0) << "";
        QTest::newRow("wrong root") << QByteArray("<?xml version=\"1.0\"?><Snippets name=\"X\"/>") << qint64(0) << "";
        QTest::newRow("no name") << QByteArray("<Language><ResourceStrings/></Language>") << qint64(0) << "";
        QTest::newRow("name leaves the folder") << QByteArray("<Language name=\"../../evil\"/>") << qint64(0) << "";
        QTest::newRow("entity bomb") << QByteArray(R"(<?xml version="1.0"?>
<!DOCTYPE Language [
 <!ENTITY a "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa">
 <!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">
 <!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">
 <!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">
 <!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">
 <!ENTITY f "&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;">
]>
<Language name="Bomb"><ResourceStrings><String ID="SEmpty">&f;</String></ResourceStrings></Language>)")
                                     << qint64(0) << "";
        QTest::newRow("100 MB") << languageXml(QStringLiteral("Huge"), "<ResourceStrings/>")
                                << qint64(100) * 1024 * 1024 << "";
    }

    void addLanguage_installsOnlyValidFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(qint64, size);
        QFETCH(QString, installed);
        TSettingsFixture f;
        QTemporaryDir sources;
        const QString source = writeSource(sources, QStringLiteral("qb.exe.xlg"), content);
        if (size > 0) {
            // A valid start, then spaces up to the size: only its size makes it unacceptable.
            QFile file(source);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.resize(size));
        }
        {
            TFSettingsDlg dialog(f.app->frame.get());
            dialog.LoadControls();
            QBDialogs::QueueAnswer(QMessageBox::Ok);
            QCOMPARE(dialog.AddLanguage(source), !installed.isEmpty());
        }
        const QStringList folders = QDir(f.userLanguages()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (installed.isEmpty()) {
            QCOMPARE(QBDialogs::ShownTexts(),
                     QStringList(QStringLiteral("'%1' is not a valid language file.").arg(source)));
            QVERIFY(folders.isEmpty());
            QVERIFY(!QFileInfo::exists(f.app->dir.filePath(QStringLiteral("evil"))));
            return;
        }
        QCOMPARE(QBDialogs::ShownTexts(),
                 QStringList(QStringLiteral("Language '%1' has been successfully added. Please restart Quillbox to "
                                            "update list of available languages.")
                                 .arg(installed)));
        QCOMPARE(folders, QStringList(installed));
        QCOMPARE(fileBytes(f.userLanguages() + QLatin1Char('/') + installed + QStringLiteral("/qb.exe.xlg")), content);
        // Listed after the next start, beside the languages of the program's own folder.
        f.app.reset();
        f.app = std::make_unique<TAppFrameFixture>();
        // The fixture's new folder is empty again: start over one that holds the installed file.
        QVERIFY(writeLanguageFile(f.userLanguages(), installed + QStringLiteral("/qb.exe.xlg"), content));
        f.app->frame.reset();
        f.app->appData.reset();
        NVKFinalizeCore();
        NVKInitializeCore();
        f.app->appData = std::make_unique<TDMAppData>(QStringList());
        QVERIFY(LocalizationService()->IndexOfLanguage(installed) >= 0);
        QVERIFY(LocalizationService()->IndexOfLanguage(QStringLiteral("Deutsch")) >= 0);
        TFSettingsDlg listed;
        listed.LoadControls();
        QVERIFY(!listed.lbLanguages->findItems(installed, Qt::MatchExactly).isEmpty());
    }

    void addLanguage_ofAnInstalledLanguage_asksBeforeReplacing_andAFailedCopyKeepsTheOld()
    {
        TSettingsFixture f;
        QTemporaryDir sources;
        const QByteArray first = languageXml(QStringLiteral("Dansk"), "<ResourceStrings/>");
        const QByteArray second = languageXml(QStringLiteral("Dansk"),
                                              "<ResourceStrings><String ID=\"SEmpty\">Tom</String></ResourceStrings>");
        const QString target = f.userLanguages() + QStringLiteral("/Dansk/qb.exe.xlg");
        TFSettingsDlg dialog(f.app->frame.get());
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        QVERIFY(dialog.AddLanguage(writeSource(sources, QStringLiteral("one.xlg"), first)));
        const QString replacement = writeSource(sources, QStringLiteral("two.xlg"), second);

        QBDialogs::ClearTestState();
        QBDialogs::QueueAnswer(QMessageBox::No);
        QVERIFY(!dialog.AddLanguage(replacement));
        QCOMPARE(QBDialogs::ShownTexts(),
                 QStringList(QStringLiteral(
                     "Localization file for language 'Dansk' already exists. Do you wish to replace it?")));
        QCOMPARE(fileBytes(target), first);

        // The shipped language counts as installed too.
        QBDialogs::ClearTestState();
        QBDialogs::QueueAnswer(QMessageBox::No);
        QVERIFY(!dialog.AddLanguage(writeSource(sources, QStringLiteral("de.xlg"),
                                                languageXml(QStringLiteral("deutsch"), "<ResourceStrings/>"))));
        QCOMPARE(QBDialogs::ShownTexts().size(), 1);

        for (const TWriteFaultPoint &point : writeFaultPoints()) {
            QBDialogs::ClearTestState();
            QBDialogs::QueueAnswer(QMessageBox::Yes);
            QBDialogs::QueueAnswer(QMessageBox::Ok);
            TWriteFaultScope fault(point.Fault, point.Bytes);
            QVERIFY2(!dialog.AddLanguage(replacement), point.Name);
            QCOMPARE(QBDialogs::ShownTexts().size(), 2);
            QVERIFY2(QBDialogs::ShownTexts().last().startsWith(QStringLiteral("Cannot copy file")), point.Name);
            QCOMPARE(fileBytes(target), first);
        }

        QBDialogs::ClearTestState();
        QBDialogs::QueueAnswer(QMessageBox::Yes);
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        QVERIFY(dialog.AddLanguage(replacement));
        QCOMPARE(fileBytes(target), second);
    }

    void fontEditor_showsNameAndSize_andChangeTakesTheChosenFont()
    {
        TSettingsFixture f;
        TFSettingsDlg dialog(f.app->frame.get());
        dialog.LoadControls();
        dialog.feEditor->SetFontDescriptor(QStringLiteral("Serif, 11, 1, 0, clRed"));
        QCOMPARE(dialog.feEditor->PreviewText(), QStringLiteral("Serif, 11"));
        QTimer::singleShot(0, [] {
            auto *fonts = qobject_cast<QFontDialog *>(QApplication::activeModalWidget());
            QVERIFY(fonts);
            QFont chosen(QStringLiteral("Monospace"));
            chosen.setPointSize(14);
            fonts->setCurrentFont(chosen);
            fonts->accept();
        });
        dialog.btnEditorFont->click();
        QVERIFY(dialog.btnApply->isEnabled());
        TQBFontDescriptor font;
        DescriptorToFont(dialog.feEditor->FontDescriptor(), font);
        QCOMPARE(font.Size, 14);
        QCOMPARE(ColorToString(font.Color), QStringLiteral("clRed"));

        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        dialog.btnApply->click();
        dialog.btnTitleFont->click();
        QVERIFY(!dialog.btnApply->isEnabled());
    }

    void browseAddDownloadAndHelp_actOnThePageInFront()
    {
        TSettingsFixture f;
        TFSettingsDlg dialog(f.app->frame.get());
        dialog.LoadControls();
        QVERIFY(!dialog.btnBrowse->isEnabled());
        dialog.rbThisDocument->setChecked(true);
        QVERIFY(dialog.btnBrowse->isEnabled());
        QBDialogs::QueueFileName(f.app->path(QStringLiteral("start.xqb")));
        dialog.btnBrowse->click();
        QCOMPARE(dialog.edStartupDocument->text(), f.app->path(QStringLiteral("start.xqb")));

        // Add... offers language files and installs the one chosen.
        QTemporaryDir sources;
        QBDialogs::QueueFileName(
            writeSource(sources, QStringLiteral("qb.exe.xlg"), languageXml(QStringLiteral("Svenska"), "")));
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        dialog.btnAdd->click();
        QCOMPARE(QBDialogs::FileDialogStarts().last(), QStringLiteral("qb.exe.xlg"));
        QVERIFY(QFileInfo::exists(f.userLanguages() + QStringLiteral("/Svenska/qb.exe.xlg")));

        QList<QUrl> opened;
        QBSetUrlOpener([&opened](const QUrl &url) {
            opened << url;
            return true;
        });
        dialog.pcSettings->setCurrentIndex(5);
        dialog.show();
        QTest::mouseClick(dialog.lblDownload, Qt::LeftButton);
        QBSetUrlOpener({});
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.first().toString().endsWith(QLatin1String("/languages")));

        QBSetHelpFolder(QStringLiteral(QB_RESOURCES_DIR "/help"));
        dialog.pcSettings->setCurrentIndex(2);
        dialog.btnHelp->click();
        QVERIFY(QBHelpViewer());
        QCOMPARE(QBHelpViewer()->Browser()->source().fragment(), QStringLiteral("editor"));
        QBCloseHelpViewer();
        QBSetHelpFolder(QString());
    }

    // ---- document properties ----

    void properties_showTheDocumentAndItsFile_andOkSavesTheSummary()
    {
        TSettingsFixture f;
        f.app->add(QStringLiteral("One"));
        f.app->add(QStringLiteral("Two"));
        const QString file = f.app->path(QStringLiteral("props.xqb"));
        QBDialogs::QueueFileName(file);
        f.app->run(f.app->frame->FileSave);
        QVERIFY(!f.app->doc()->Modified());

        QString name, size, articles, encoding, generator, modified;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TFDocPropsDlg *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            name = dialog->edFileName->text();
            size = dialog->edFileSize->text();
            articles = dialog->edArticles->text();
            encoding = dialog->edEncoding->text();
            generator = dialog->edGenerator->text();
            modified = dialog->edModified->text();
            QVERIFY(dialog->edGenerator->isReadOnly());
            dialog->edAuthor->setText(QStringLiteral("Anna Ångström"));
            dialog->edCopyright->setText(QStringLiteral("© Anna"));
            dialog->edRevision->setText(QStringLiteral("7"));
            dialog->cbAutoRevision->setChecked(true);
            dialog->memComment->setPlainText(QStringLiteral("line one\nline two"));
            dialog->btnOK->click();
        });
        f.app->run(f.app->frame->FileProperties);
        QCOMPARE(name, file);
        QCOMPARE(size, TFDocPropsDlg::SizeText(QFileInfo(file).size()));
        QCOMPARE(articles, QStringLiteral("3"));
        QCOMPARE(encoding, QStringLiteral("UTF-8"));
        QCOMPARE(generator, QStringLiteral("Quillbox"));
        QVERIFY(modified != QStringLiteral("N/A") && !modified.isEmpty());
        QVERIFY(f.app->doc()->Modified());

        f.app->run(f.app->frame->FileSave);
        const IQBDocumentPtr read = TQBXmlReader(file).Read();
        QCOMPARE(read->Author(), QStringLiteral("Anna Ångström"));
        QCOMPARE(read->Copyright(), QStringLiteral("© Anna"));
        QVERIFY(read->AutoRevision());
        QCOMPARE(read->Revision(), 7);
        QCOMPARE(read->Remarks(), QStringLiteral("line one\nline two"));
    }

    void properties_cancelAndABadRevision_leaveTheDocumentUnmodified()
    {
        TSettingsFixture f;
        TFDocPropsDlg dialog(f.app->frame.get());
        dialog.Load(f.app->doc());
        QCOMPARE(dialog.edFileName->text(), QStringLiteral("N/A"));
        QCOMPARE(dialog.edFileSize->text(), QStringLiteral("N/A"));
        QCOMPARE(dialog.edCreated->text(), QStringLiteral("N/A"));
        QCOMPARE(dialog.lblFileName->text(), QStringLiteral("Untitled"));
        QVERIFY(!f.app->doc()->Modified());

        QTimer::singleShot(0, [&dialog] {
            dialog.edAuthor->setText(QStringLiteral("Nobody"));
            dialog.btnCancel->click();
        });
        QVERIFY(!dialog.Execute(f.app->doc()));
        QVERIFY(!f.app->doc()->Modified());
        QCOMPARE(f.app->doc()->Author(), QString());

        QTimer::singleShot(0, [&dialog] {
            dialog.edAuthor->setText(QStringLiteral("Nobody"));
            dialog.edRevision->setText(QStringLiteral("seven"));
            QBDialogs::QueueAnswer(QMessageBox::Ok);
            dialog.btnOK->click();
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.pcProperties->currentIndex(), 1);
            dialog.btnCancel->click();
        });
        QVERIFY(!dialog.Execute(f.app->doc()));
        QCOMPARE(QBDialogs::ShownTexts(), QStringList(QStringLiteral("'seven' is not a valid revision number.")));
        QVERIFY(!f.app->doc()->Modified());
    }

    void properties_sizeText_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("1024") << qint64(1024) << "1024 bytes";
        QTest::newRow("1025") << qint64(1025) << "1 KB (1025 bytes)";
        QTest::newRow("1048576") << qint64(1048576) << "1024 KB (1048576 bytes)";
        QTest::newRow("1048577") << qint64(1048577) << "1.00 MB (1048577 bytes)";
    }

    void properties_sizeText()
    {
        QFETCH(qint64, size);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(TFDocPropsDlg::SizeText(size), text);
    }
};

QTEST_MAIN(TestSettingsDialogs)
#include "tst_SettingsDialogs.moc"
