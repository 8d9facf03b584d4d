// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "framework/NVKLang.h"
#include "framework/NVKResourceSet.h"
#include "framework/QBStrings.h"
#include "support/LanguageFiles.h"
#include "support/LanguageTest.h"
#include "support/TestServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString English = QStringLiteral("Default (English)");

// The parts of the old platform's components that the core tests need: a few values of each kind.
class TTestFont : public TNVKValueHolder
{
    Q_OBJECT

public:
    explicit TTestFont(QString *target) : FTarget(target), Name(*target) {}
    void Commit() override { *FTarget = Name; }

    QString *FTarget;
    QString Name;
};

class TTestItem : public QObject
{
    Q_OBJECT

public:
    QString Caption;
};

class TTestComponent : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    int Count = 0;
    int Color = 0;
    int Align = 0;
    bool Shown = false;
    double Ratio = 0;
    QChar Accel;
    QString Caption;
    quint32 Style = 0;
    QStringList Lines;
    QString FontName = QStringLiteral("Tahoma");
    std::vector<std::unique_ptr<TTestItem>> Items;

    static void Register()
    {
        NVKRegisterInteger<TTestComponent>(QStringLiteral("Count"), [](TTestComponent *c, int v) { c->Count = v; });
        NVKRegisterInteger<TTestComponent>(
            QStringLiteral("Color"), [](TTestComponent *c, int v) { c->Color = v; }, QStringLiteral("TColor"));
        NVKRegisterEnumeration<TTestComponent>(
            QStringLiteral("Align"),
            {QStringLiteral("alNone"), QStringLiteral("alTop"), QStringLiteral("alBottom"), QStringLiteral("alClient")},
            [](TTestComponent *c, int v) { c->Align = v; });
        NVKRegisterBoolean<TTestComponent>(QStringLiteral("Visible"), [](TTestComponent *c, bool v) { c->Shown = v; });
        NVKRegisterFloat<TTestComponent>(QStringLiteral("Ratio"), [](TTestComponent *c, double v) { c->Ratio = v; });
        NVKRegisterCharacter<TTestComponent>(QStringLiteral("Accel"), [](TTestComponent *c, QChar v) { c->Accel = v; });
        NVKRegisterText<TTestComponent>(QStringLiteral("Caption"),
                                        [](TTestComponent *c, const QString &v) { c->Caption = v; });
        NVKRegisterSet<TTestComponent>(QStringLiteral("Style"),
                                       {QStringLiteral("fsBold"), QStringLiteral("fsItalic"),
                                        QStringLiteral("fsUnderline"), QStringLiteral("fsStrikeOut")},
                                       [](TTestComponent *c, quint32 v) { c->Style = v; });
        NVKRegisterStrings<TTestComponent>(QStringLiteral("Lines"),
                                           [](TTestComponent *c, const QStringList &v) { c->Lines = v; });
        NVKRegisterObject<TTestComponent>(QStringLiteral("Font"), [](TTestComponent *c) -> std::shared_ptr<QObject> {
            return std::make_shared<TTestFont>(&c->FontName);
        });
        NVKRegisterObject<TTestComponent>(QStringLiteral("Nothing"),
                                          [](TTestComponent *) { return std::shared_ptr<QObject>(); });
        NVKRegisterCollection<TTestComponent>(
            QStringLiteral("Items"), [](TTestComponent *c) { return int(c->Items.size()); },
            [](TTestComponent *c, int i) { return NVKBorrowed(c->Items[size_t(i)].get()); });
        NVKRegisterText<TTestItem>(QStringLiteral("Caption"), [](TTestItem *i, const QString &v) { i->Caption = v; });
        NVKRegisterText<TTestFont>(QStringLiteral("Name"), [](TTestFont *f, const QString &v) { f->Name = v; });
        NVKRegisterSet<TTestFont>(QStringLiteral("Style"), {QStringLiteral("fsBold")}, [](TTestFont *, quint32) {});
    }
};

// A form of the kind the container names: the components are its children.
class TFTestForm : public TTestComponent
{
    Q_OBJECT

public:
    TFTestForm()
    {
        setObjectName(QStringLiteral("FTestForm"));
        lblName = new TTestComponent(this);
        lblName->setObjectName(QStringLiteral("lblName"));
        auto *panel = new TTestComponent(this);
        panel->setObjectName(QStringLiteral("pnlInner"));
        btnStart = new TTestComponent(panel);
        btnStart->setObjectName(QStringLiteral("btnStart"));
        for (int i = 0; i < 3; ++i)
            btnStart->Items.push_back(std::make_unique<TTestItem>());
        // A child with a localizer of its own is another form: its components are not this form's.
        embedded = new TTestComponent(this);
        embedded->setObjectName(QStringLiteral("embedded"));
        embeddedLabel = new TTestComponent(embedded);
        embeddedLabel->setObjectName(QStringLiteral("lblOther"));
        new TNVKCustomResourceManager(embedded);
        localizer = new TNVKCustomResourceManager(this);
    }

    TTestComponent *lblName;
    TTestComponent *btnStart;
    TTestComponent *embedded;
    TTestComponent *embeddedLabel;
    TNVKCustomResourceManager *localizer;
};

// A manager that exposes the conversion of single values.
class TProbe : public TNVKCustomResourceManager
{
public:
    using TNVKCustomResourceManager::SetPropertyFromText;
};

QByteArray formContainer(const QByteArray &components)
{
    return QByteArrayLiteral("<Container class=\"TFTestForm\">") + components + QByteArrayLiteral("</Container>");
}

// The % specifiers of a pattern, so a translation can be checked to take the same arguments.
QStringList specifiers(const QString &pattern)
{
    QStringList result;
    static const QRegularExpression specifier(QStringLiteral("%(\\d+:)?-?\\d*(\\.\\d+)?[a-zA-Z%]"));
    auto it = specifier.globalMatch(pattern);
    while (it.hasNext())
        result.append(it.next().captured(0));
    return result;
}

} // namespace

class TestNVKLang : public TLanguageTest
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TTestComponent::Register(); }

    void init() { prepare(); }

    void cleanup() { release(); }

    // ---- the service ----

    void start_emptyFolder_listsOnlyTheDefaultLanguage_andTextsFallBack()
    {
        start();
        const INVKLocalizationServicePtr service = LocalizationService();
        QVERIFY(service);
        QCOMPARE(service->GetLanguageCount(), 1);
        QCOMPARE(service->GetLanguage(0), English);
        QCOMPARE(service->GetLanguageIndex(), 0);
        QCOMPARE(service->GetDefaultLanguage(), English);
        QCOMPARE(service->GetBasePath(), FBase + QLatin1Char('/'));
        QCOMPARE(FSet->FileName(), FBase + QStringLiteral("/Default (English)/qb.exe.xlg"));
        QCOMPARE(FSet->GetString(QStringLiteral("SEmpty"), QStringLiteral("Empty")), QStringLiteral("Empty"));
        QVERIFY(FSet->FindContainer(QStringLiteral("TFTestForm")).IsNull());
    }

    void start_listsFoldersAndFiles_skipsHidden_insertsTheDefaultFirst()
    {
        QVERIFY(QDir().mkpath(FBase + QStringLiteral("/Deutsch")));
        QVERIFY(QDir().mkpath(FBase + QStringLiteral("/Français")));
        QVERIFY(QDir().mkpath(FBase + QStringLiteral("/.hidden")));
        QVERIFY(writeLanguageFile(FBase, QStringLiteral("notes.txt"), "x"));
        start();
        const INVKLocalizationServicePtr service = LocalizationService();
        QStringList names;
        for (int i = 0; i < service->GetLanguageCount(); ++i)
            names.append(service->GetLanguage(i));
        QCOMPARE(names, QStringList({English, QStringLiteral("Deutsch"), QStringLiteral("Français"),
                                     QStringLiteral("notes.txt")}));
        QCOMPARE(service->IndexOfLanguage(QStringLiteral("deutsch")), 1);
        QCOMPARE(service->IndexOfLanguage(QStringLiteral("Klingon")), -1);
        QCOMPARE(service->GetLanguage(-1), QString());
        QCOMPARE(service->GetLanguage(4), QString());
    }

    void start_defaultLanguageInstalled_isCurrentWithoutBeingAddedAgain()
    {
        QVERIFY(QDir().mkpath(FBase + QStringLiteral("/Deutsch")));
        QVERIFY(QDir().mkpath(FBase + QStringLiteral("/English")));
        start(QStringLiteral("english"));
        const INVKLocalizationServicePtr service = LocalizationService();
        QCOMPARE(service->GetLanguageCount(), 2);
        QCOMPARE(service->GetLanguageIndex(), 1);
        // The folder's own spelling names the file.
        QCOMPARE(FSet->FileName(), FBase + QStringLiteral("/English/qb.exe.xlg"));
    }

    void start_withAUserFolder_listsBoth_andReadsALanguageFromTheUsersFolderFirst()
    {
        const QString user = FDir->filePath(QStringLiteral("User"));
        QVERIFY(writeLanguageFile(FBase, QStringLiteral("Deutsch/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Deutsch"), R"(<ResourceStrings>
<String ID="SEmpty">Leer</String></ResourceStrings>)")));
        QVERIFY(writeLanguageFile(user, QStringLiteral("deutsch/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Deutsch"), R"(<ResourceStrings>
<String ID="SEmpty">Nichts</String></ResourceStrings>)")));
        QVERIFY(
            writeLanguageFile(user, QStringLiteral("Català/qb.exe.xlg"), languageXml(QStringLiteral("Català"), "")));
        // A plain file in the user's folder is no language.
        QVERIFY(writeLanguageFile(user, QStringLiteral("notes.txt"), "x"));
        FService = std::make_unique<TNVKLocalizationService>();
        FService->SetBasePath(FBase);
        FService->SetUserPath(user);
        FService->SetDefaultLanguage(English);
        FService->SetActive(true);
        QVERIFY_THROWS_EXCEPTION(ENVKServiceError, FService->SetUserPath(QString()));
        FSet = std::make_unique<TNVKResourceSet>();
        FSet->SetNvkName(QStringLiteral("qb.exe"));
        FSet->SetActive(true);

        const INVKLocalizationServicePtr service = LocalizationService();
        QStringList languages;
        for (int i = 0; i < service->GetLanguageCount(); ++i)
            languages << service->GetLanguage(i);
        QCOMPARE(languages, QStringList({English, QStringLiteral("Català"), QStringLiteral("deutsch")}));
        QCOMPARE(service->GetInstallPath(), user + QLatin1Char('/'));
        QCOMPARE(service->GetLanguagePath(0), FBase + QLatin1Char('/'));
        QCOMPARE(service->GetLanguagePath(1), user + QLatin1Char('/'));
        QCOMPARE(service->GetLanguagePath(7), QString());
        selectLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(FSet->GetString(QStringLiteral("SEmpty"), QString()), QStringLiteral("Nichts"));
    }

    void start_withoutBasePathOrDefault_usesTheProgramFolderAndDefault()
    {
        FService = std::make_unique<TNVKLocalizationService>();
        FService->SetActive(true);
        const INVKLocalizationServicePtr service = LocalizationService();
        QCOMPARE(service->GetBasePath(), QCoreApplication::applicationDirPath() + QStringLiteral("/Language/"));
        QCOMPARE(service->GetDefaultLanguage(), QStringLiteral("Default"));
        QCOMPARE(service->GetLanguage(service->GetLanguageIndex()), QStringLiteral("Default"));
    }

    void properties_changedWhileActive_raise_andResourceSetNameToo()
    {
        start();
        QVERIFY_THROWS_EXCEPTION(ENVKServiceError, FService->SetBasePath(QStringLiteral("/elsewhere")));
        QVERIFY_THROWS_EXCEPTION(ENVKServiceError, FService->SetDefaultLanguage(QStringLiteral("Deutsch")));
        FService->SetBasePath(FBase); // unchanged: no error
        try {
            FSet->SetNvkName(QStringLiteral("other"));
            QFAIL("changing the name of an active set must raise");
        } catch (const ENVKError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Cannot change property while component is active."));
        }
        FSet->SetActive(false);
        FSet->SetNvkName(QStringLiteral("other"));
        QCOMPARE(FSet->NvkName(), QStringLiteral("other"));
    }

    void setLanguageIndex_publishesReloadThenChanged_onlyForANewValidIndex()
    {
        QVERIFY(QDir().mkpath(FBase + QStringLiteral("/Deutsch")));
        start();
        TRecorder recorder;
        const auto publisher = std::dynamic_pointer_cast<INVKEventPublisher>(LocalizationService());
        QVERIFY(publisher);
        publisher->Subscribe(recorder.listener);
        const INVKLocalizationServicePtr service = LocalizationService();
        service->SetLanguageIndex(0);
        service->SetLanguageIndex(-1);
        service->SetLanguageIndex(2);
        QVERIFY(recorder.codes.isEmpty());
        service->SetLanguageIndex(1);
        QCOMPARE(recorder.codes, QList<int>({NVK_LANGUAGE_RELOAD, NVK_LANGUAGE_CHANGED}));
        QVERIFY(!recorder.params.at(0) && !recorder.params.at(1));
        QCOMPARE(service->GetLanguageIndex(), 1);
        publisher->Unsubscribe(recorder.listener);
    }

    // ---- the resource set ----

    void getString_fallsBackForMissingSectionEntryAndEmptyText()
    {
        QVERIFY(writeLanguageFile(FBase, QStringLiteral("Deutsch/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Deutsch"), R"(<ResourceStrings>
  <String ID="SEmpty">Leer</String>
  <String ID="SLevel"></String>
  <String ID="SEmpty">Zweiter Eintrag</String>
  <String ID="SCdata"><![CDATA[<b>&amp;</b>]]></String>
</ResourceStrings>)")));
        QVERIFY(writeLanguageFile(FBase, QStringLiteral("Nothing/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Nothing"), "<Other/>")));
        start();
        selectLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(FSet->GetString(QStringLiteral("SEmpty"), QStringLiteral("Empty")), QStringLiteral("Leer"));
        QCOMPARE(FSet->GetString(QStringLiteral("SLevel"), QStringLiteral("Level")), QStringLiteral("Level"));
        QCOMPARE(FSet->GetString(QStringLiteral("SMissing"), QStringLiteral("Fallback")), QStringLiteral("Fallback"));
        QCOMPARE(FSet->GetString(QStringLiteral("sempty"), QStringLiteral("Empty")), QStringLiteral("Empty"));
        QCOMPARE(FSet->GetString(QStringLiteral("SCdata"), QString()), QStringLiteral("<b>&amp;</b>"));

        selectLanguage(QStringLiteral("Nothing")); // no ResourceStrings section
        QCOMPARE(FSet->GetString(QStringLiteral("SEmpty"), QStringLiteral("Empty")), QStringLiteral("Empty"));
    }

    void getString_malformedOrUnreadableFile_givesDefaultsWithoutMessage()
    {
        QVERIFY(writeLanguageFile(FBase, QStringLiteral("Broken/qb.exe.xlg"),
                                  "<Language name=\"Broken\"><ResourceStrings><String ID=\"SEmpty\">Leer"));
        QVERIFY(QDir().mkpath(FBase + QStringLiteral("/Folder/qb.exe.xlg"))); // a folder where the file should be
        start();
        selectLanguage(QStringLiteral("Broken"));
        QCOMPARE(FSet->GetString(QStringLiteral("SEmpty"), QStringLiteral("Empty")), QStringLiteral("Empty"));
        QVERIFY(FSet->FindContainer(QStringLiteral("TFTestForm")).IsNull());
        selectLanguage(QStringLiteral("Folder"));
        QCOMPARE(FSet->GetString(QStringLiteral("SEmpty"), QStringLiteral("Empty")), QStringLiteral("Empty"));
        QVERIFY(FReported.isEmpty());
    }

    void languageSwitch_reloadsTheFile_andUpdatesEveryLinkedManager()
    {
        QVERIFY(
            writeLanguageFile(FBase, QStringLiteral("Deutsch/qb.exe.xlg"),
                              languageXml(QStringLiteral("Deutsch"),
                                          R"(<ResourceStrings><String ID="SEmpty">Leer</String></ResourceStrings>)")));
        QVERIFY(
            writeLanguageFile(FBase, QStringLiteral("Nederlands/qb.exe.xlg"),
                              languageXml(QStringLiteral("Nederlands"),
                                          R"(<ResourceStrings><String ID="SEmpty">Leeg</String></ResourceStrings>)")));
        start();
        TNVKCustomResourceManager first, second;
        first.SetResourceSet(FSet.get());
        second.SetResourceSet(FSet.get());
        QSignalSpy firstUpdated(&first, &TNVKCustomResourceManager::afterUpdate);
        QSignalSpy secondUpdated(&second, &TNVKCustomResourceManager::afterUpdate);
        QSignalSpy changed(FSet.get(), &TNVKCustomResourceSet::languageChanged);

        selectLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(first.GetString(QStringLiteral("SEmpty"), QStringLiteral("Empty")), QStringLiteral("Leer"));
        QCOMPARE(firstUpdated.count(), 1);
        QCOMPARE(secondUpdated.count(), 1);
        QCOMPARE(changed.count(), 1);

        selectLanguage(QStringLiteral("Nederlands"));
        QCOMPARE(second.GetString(QStringLiteral("SEmpty"), QStringLiteral("Empty")), QStringLiteral("Leeg"));
        QCOMPARE(firstUpdated.count(), 2);

        // A manager that leaves the set is no longer told.
        second.SetResourceSet(nullptr);
        QCOMPARE(second.GetString(QStringLiteral("SEmpty"), QStringLiteral("Empty")), QStringLiteral("Empty"));
        selectLanguage(English);
        QCOMPARE(firstUpdated.count(), 3);
        QCOMPARE(secondUpdated.count(), 2);
        QCOMPARE(first.GetString(QStringLiteral("SEmpty"), QStringLiteral("Empty")), QStringLiteral("Empty"));
    }

    void destroyingTheSet_emptiesTheManagersProperty()
    {
        start();
        TNVKCustomResourceManager manager;
        manager.SetResourceSet(FSet.get());
        QCOMPARE(manager.ResourceSet(), FSet.get());
        FSet.reset();
        QCOMPARE(manager.ResourceSet(), nullptr);
        QCOMPARE(manager.GetString(QStringLiteral("SEmpty"), QStringLiteral("Empty")), QStringLiteral("Empty"));
    }

    void setWithoutService_staysInactive_andHasNoFile()
    {
        TNVKResourceSet set;
        set.SetNvkName(QStringLiteral("qb.exe"));
        set.SetActive(true);
        QVERIFY(!set.Active());
        QCOMPARE(set.FileName(), QString());
        QCOMPARE(set.GetString(QStringLiteral("SEmpty"), QStringLiteral("Empty")), QStringLiteral("Empty"));
    }

    // ---- the resource manager ----

    void setPropertyFromText_convertsEachKind_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("expected"); // invalid: the value stays as it was

        QTest::newRow("integer") << "Count"
                                 << " -42 " << QVariant(-42);
        QTest::newRow("integer not a number") << "Count"
                                              << "12abc" << QVariant();
        QTest::newRow("integer too large") << "Count"
                                           << "99999999999" << QVariant();
        QTest::newRow("colour name") << "Color"
                                     << "clRed" << QVariant(0x0000FF);
        QTest::newRow("colour name any case") << "Color"
                                              << "CLBLUE" << QVariant(0xFF0000);
        QTest::newRow("colour system") << "Color"
                                       << "clWindowText" << QVariant(int(0x80000008u));
        QTest::newRow("colour hex") << "Color"
                                    << "$00FF00" << QVariant(0x00FF00);
        QTest::newRow("colour decimal") << "Color"
                                        << "255" << QVariant(255);
        QTest::newRow("colour unknown") << "Color"
                                        << "clPlaid" << QVariant();
        QTest::newRow("enumeration") << "Align"
                                     << "alClient" << QVariant(3);
        QTest::newRow("enumeration any case") << "Align"
                                              << "ALTOP" << QVariant(1);
        QTest::newRow("enumeration unknown") << "Align"
                                             << "alLeft" << QVariant();
        QTest::newRow("boolean") << "Visible"
                                 << "True" << QVariant(true);
        QTest::newRow("boolean unknown") << "Visible"
                                         << "yes" << QVariant();
        QTest::newRow("float") << "Ratio"
                               << "2.5" << QVariant(2.5);
        QTest::newRow("character") << "Accel"
                                   << "'x'" << QVariant(QChar(u'x'));
        QTest::newRow("character quote") << "Accel"
                                         << "''''" << QVariant(QChar(u'\''));
        QTest::newRow("character code") << "Accel"
                                        << "#228" << QVariant(QChar(u'ä'));
        QTest::newRow("character malformed") << "Accel"
                                             << "'xy'" << QVariant();
        QTest::newRow("character code too large") << "Accel"
                                                  << "#70000" << QVariant();
        QTest::newRow("text unchanged") << "Caption"
                                        << " &Öffnen… " << QVariant(QStringLiteral(" &Öffnen… "));
        QTest::newRow("set") << "Style"
                             << " [ fsBold , fsUnderline ] " << QVariant(5u);
        QTest::newRow("set empty") << "Style"
                                   << "[]" << QVariant(0u);
        QTest::newRow("set any case") << "Style"
                                      << "[FSITALIC]" << QVariant(2u);
        QTest::newRow("lines") << "Lines"
                               << "one\r\ntwo\rthree\nfour\n"
                               << QVariant(QStringList({"one", "two", "three", "four"}));
    }

    void setPropertyFromText_convertsEachKind()
    {
        QFETCH(QString, property);
        QFETCH(QString, text);
        QFETCH(QVariant, expected);
        TTestComponent component;
        component.Count = 7;
        component.Color = 7;
        component.Align = 2;
        component.Accel = u'?';
        const TNVKPropertyInfo *info = TNVKPropertyRegistry::Instance().Find(&component, property);
        QVERIFY(info);
        TProbe().SetPropertyFromText(&component, *info, text);
        QVariant actual;
        if (property == QLatin1String("Count"))
            actual = expected.isValid() || component.Count != 7 ? QVariant(component.Count) : QVariant();
        else if (property == QLatin1String("Color"))
            actual = expected.isValid() || component.Color != 7 ? QVariant(component.Color) : QVariant();
        else if (property == QLatin1String("Align"))
            actual = expected.isValid() || component.Align != 2 ? QVariant(component.Align) : QVariant();
        else if (property == QLatin1String("Visible"))
            actual = expected.isValid() || component.Shown ? QVariant(component.Shown) : QVariant();
        else if (property == QLatin1String("Ratio"))
            actual = component.Ratio;
        else if (property == QLatin1String("Accel"))
            actual = expected.isValid() || component.Accel != u'?' ? QVariant(component.Accel) : QVariant();
        else if (property == QLatin1String("Caption"))
            actual = component.Caption;
        else if (property == QLatin1String("Style"))
            actual = component.Style;
        else if (property == QLatin1String("Lines"))
            actual = component.Lines;
        QCOMPARE(actual, expected);
    }

    void setPropertyFromText_malformedValues_raiseTheirMessages_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("set without brackets") << "Style"
                                              << "fsBold"
                                              << "Set must be enclosed in brackets";
        QTest::newRow("set half bracket") << "Style"
                                          << "[fsBold"
                                          << "Set must be enclosed in brackets";
        QTest::newRow("set lone bracket") << "Style"
                                          << "["
                                          << "Set must be enclosed in brackets";
        QTest::newRow("set unknown name") << "Style"
                                          << "[fsBold, fsBlink]"
                                          << "Component \"fsBlink\" not found in base type";
        QTest::newRow("float") << "Ratio"
                               << "2,5x"
                               << "'2,5x' is not a valid floating point value";
    }

    void setPropertyFromText_malformedValues_raiseTheirMessages()
    {
        QFETCH(QString, property);
        QFETCH(QString, text);
        QFETCH(QString, message);
        TTestComponent component;
        component.Style = 8;
        const TNVKPropertyInfo *info = TNVKPropertyRegistry::Instance().Find(&component, property);
        QVERIFY(info);
        try {
            TProbe().SetPropertyFromText(&component, *info, text);
            QFAIL("a malformed value must raise");
        } catch (const Exception &e) {
            QCOMPARE(e.Message(), message);
        }
        QCOMPARE(component.Style, 8u);
    }

    void update_translatesTheOwnerAndItsComponents_skippingWhatItDoesNotKnow()
    {
        QVERIFY(writeLanguageFile(FBase, QStringLiteral("Deutsch/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Deutsch"), formContainer(R"(
  <Component name="_Self"><Property name="Caption">Testformular</Property></Component>
  <Component name="LBLNAME">
    <Property name="caption">&amp;Name:</Property>
    <Property name="Unknown">ignored</Property>
    <Property name="Font"><Property name="Name">Arial</Property></Property>
    <Property name="Nothing"><Property name="Name">nowhere</Property></Property>
  </Component>
  <Component name="btnStart">
    <Property name="Items">
      <Item index="1"><Property name="Caption">Zwei</Property></Item>
      <Item index="5"><Property name="Caption">Sechs</Property></Item>
      <Item index="-1"><Property name="Caption">Minus</Property></Item>
      <Item index="x"><Property name="Caption">Kein</Property></Item>
    </Property>
  </Component>
  <Component name="lblOther"><Property name="Caption">Fremd</Property></Component>
  <Component name="missing"><Property name="Caption">Niemand</Property></Component>
)") + "<Container class=\"TFOther\"><Component name=\"_Self\"><Property name=\"Caption\">Falsch</Property>"
      "</Component></Container>")));
        start();
        selectLanguage(QStringLiteral("Deutsch"));
        TFTestForm form;
        int before = 0;
        connect(form.localizer, &TNVKCustomResourceManager::beforeUpdate, this, [&before](bool &) { ++before; });
        QSignalSpy after(form.localizer, &TNVKCustomResourceManager::afterUpdate);
        form.localizer->SetResourceSet(FSet.get());
        form.localizer->Loaded();
        QCOMPARE(before, 1);
        QCOMPARE(after.count(), 1);
        QCOMPARE(form.Caption, QStringLiteral("Testformular"));
        QCOMPARE(form.lblName->Caption, QStringLiteral("&Name:"));
        QCOMPARE(form.lblName->FontName, QStringLiteral("Arial"));
        QCOMPARE(form.btnStart->Items[0]->Caption, QString());
        QCOMPARE(form.btnStart->Items[1]->Caption, QStringLiteral("Zwei"));
        QCOMPARE(form.btnStart->Items[2]->Caption, QString());
        QCOMPARE(form.embeddedLabel->Caption, QString());
    }

    void update_ownNameFindsTheOwner_andCancelledUpdateChangesNothing()
    {
        QVERIFY(writeLanguageFile(FBase, QStringLiteral("Deutsch/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Deutsch"), formContainer(R"(
  <Component name="ftestform"><Property name="Caption">Eigener Name</Property></Component>)"))));
        start();
        selectLanguage(QStringLiteral("Deutsch"));
        TFTestForm form;
        form.localizer->SetResourceSet(FSet.get());
        connect(form.localizer, &TNVKCustomResourceManager::beforeUpdate, this, [](bool &cancel) { cancel = true; });
        QSignalSpy after(form.localizer, &TNVKCustomResourceManager::afterUpdate);
        form.localizer->Update();
        QCOMPARE(form.Caption, QString());
        QCOMPARE(after.count(), 0);
        disconnect(form.localizer, &TNVKCustomResourceManager::beforeUpdate, this, nullptr);
        form.localizer->Update();
        QCOMPARE(form.Caption, QStringLiteral("Eigener Name"));
        QCOMPARE(after.count(), 1);
    }

    void update_malformedSet_raisesOutOfUpdate_andLeavesTheObjectUncommitted()
    {
        QVERIFY(writeLanguageFile(FBase, QStringLiteral("Deutsch/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Deutsch"), formContainer(R"(
  <Component name="lblName">
    <Property name="Caption">Vorher</Property>
    <Property name="Font"><Property name="Name">Arial</Property><Property name="Style">fsBold</Property></Property>
    <Property name="Count">5</Property>
  </Component>)"))));
        start();
        TFTestForm form;
        form.localizer->SetResourceSet(FSet.get());
        // The language switch reports the failure; the form is translated up to the broken value.
        selectLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(FReported, QStringList({QStringLiteral("Set must be enclosed in brackets")}));
        QCOMPARE(form.lblName->Caption, QStringLiteral("Vorher"));
        QCOMPARE(form.lblName->FontName, QStringLiteral("Tahoma"));
        QCOMPARE(form.lblName->Count, 0);
        try {
            form.localizer->Update();
            QFAIL("Update must raise the malformed set's error");
        } catch (const ENVKError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Set must be enclosed in brackets"));
        }
    }

    void languageSwitch_oneFailingForm_stillUpdatesTheOthers()
    {
        QVERIFY(writeLanguageFile(FBase, QStringLiteral("Deutsch/qb.exe.xlg"),
                                  languageXml(QStringLiteral("Deutsch"), formContainer(R"(
  <Component name="_Self"><Property name="Style">[fsBold, fsWide]</Property></Component>)"))));
        start();
        TFTestForm broken;
        broken.localizer->SetResourceSet(FSet.get());
        TNVKCustomResourceManager other;
        other.SetResourceSet(FSet.get());
        QSignalSpy otherUpdated(&other, &TNVKCustomResourceManager::afterUpdate);
        selectLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(otherUpdated.count(), 1);
        QCOMPARE(FReported, QStringList({QStringLiteral("Component \"fsWide\" not found in base type")}));
    }

    // ---- named texts ----

    void namedTexts_areUniqueSNames_andLoadTheirDefaultsWithoutLocalizer()
    {
        QSet<QString> names;
        for (const TQBNamedText &text : QBNamedTexts()) {
            const QString name = QString::fromLatin1(text.Name);
            QVERIFY2(name.startsWith(QLatin1Char('S')), text.Name);
            QVERIFY2(!names.contains(name), text.Name);
            names.insert(name);
            QCOMPARE(QBFindNamedText(name), &text);
        }
        // Every text the header declares is in the list.
        QFile header(QStringLiteral(QB_RESOURCES_DIR "/../src/framework/QBStrings.h"));
        QVERIFY(header.open(QIODevice::ReadOnly));
        const QString declarations = QString::fromUtf8(header.readAll());
        static const QRegularExpression declared(QStringLiteral("constexpr TQBNamedText (S\\w+)\\{"));
        QSet<QString> inHeader;
        for (const QRegularExpressionMatch &match : declared.globalMatch(declarations))
            inHeader.insert(match.captured(1));
        QVERIFY(inHeader.size() > 30);
        QCOMPARE(names, inHeader);
        QCOMPARE(QBFindNamedText(QStringLiteral("sempty")), nullptr);
        QCOMPARE(QBLoadStr(nullptr, QBStrings::SBack), QStringLiteral("Back to '%s'|"));
        QCOMPARE(QBFormatStr(nullptr, QBStrings::SLineLimit, {12, 12}),
                 QStringLiteral("The current article contains only 12 lines. Please enter a number between 1 and 12."));
    }

    void namedTexts_followTheCurrentLanguage()
    {
        QVERIFY(writeLanguageFile(
            FBase, QStringLiteral("Deutsch/qb.exe.xlg"),
            languageXml(
                QStringLiteral("Deutsch"),
                R"(<ResourceStrings><String ID="SConfirmDelete">Möchten Sie den Artikel '%s' löschen?</String></ResourceStrings>)")));
        start();
        TNVKCustomResourceManager localizer;
        localizer.SetResourceSet(FSet.get());
        QCOMPARE(QBFormatStr(&localizer, QBStrings::SConfirmDelete, {QStringLiteral("Notiz")}),
                 QStringLiteral("Do you wish to delete article 'Notiz'?"));
        selectLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(QBFormatStr(&localizer, QBStrings::SConfirmDelete, {QStringLiteral("Notiz")}),
                 QStringLiteral("Möchten Sie den Artikel 'Notiz' löschen?"));
        QCOMPARE(QBLoadStr(&localizer, QBStrings::SEmpty), QStringLiteral("Empty"));
    }

    void shippedGermanFile_translatesEveryNamedText_withTheSameArguments()
    {
        const QString shipped = QStringLiteral(QB_RESOURCES_DIR "/Language/Deutsch/qb.exe.xlg");
        QVERIFY(QFile::exists(shipped));
        QVERIFY(QDir().mkpath(FBase + QStringLiteral("/Deutsch")));
        QVERIFY(QFile::copy(shipped, FBase + QStringLiteral("/Deutsch/qb.exe.xlg")));
        start();
        selectLanguage(QStringLiteral("Deutsch"));
        TMSXMLDocument document;
        document.LoadFromFile(shipped);
        QCOMPARE(document.GetDocument().DocumentElement().NodeName(), QStringLiteral("Language"));
        QCOMPARE(document.GetDocument().DocumentElement().GetAttribute(QStringLiteral("name")),
                 QStringLiteral("Deutsch"));
        for (const TQBNamedText &text : QBNamedTexts()) {
            const QString english = QString::fromUtf8(text.Default);
            const QString german = FSet->GetString(QString::fromLatin1(text.Name), QString());
            QVERIFY2(!german.isEmpty() && german != english, text.Name);
            QVERIFY2(specifiers(german) == specifiers(english), text.Name);
            QVERIFY2(german.count(QLatin1Char('|')) == english.count(QLatin1Char('|')), text.Name);
            QVERIFY2(german.count(QStringLiteral("\r\n")) == english.count(QStringLiteral("\r\n")), text.Name);
        }
    }
};

QTEST_GUILESS_MAIN(TestNVKLang)
#include "tst_NVKLang.moc"
