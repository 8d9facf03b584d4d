// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "controls/BaseForm.h"
#include "framework/NVKInit.h"
#include "services/Registry.h"
#include "support/SettingsStore.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// A form with a value of its own, saved and restored through the base's events.
class TFSampleForm : public TBaseForm
{
    Q_OBJECT

public:
    TFSampleForm()
    {
        resize(300, 200);
        connect(this, &TBaseForm::stateSaved, this,
                [this](TRegistry &r) { r.WriteInteger(QStringLiteral("Extra"), FExtra); });
        connect(this, &TBaseForm::stateRestored, this, [this](TRegistry &r) {
            if (r.ValueExists(QStringLiteral("Extra")))
                FExtra = r.ReadInteger(QStringLiteral("Extra"));
        });
    }
    int FExtra = 0;
};

} // namespace

class TestBaseForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<TFreshCore> FStore;

private Q_SLOTS:
    void init() { FStore = std::make_unique<TFreshCore>(); }

    void layout_isSavedOnHide_andRestoredOnShow()
    {
        {
            TFSampleForm form;
            form.show();
            QCOMPARE(form.size(), QSize(300, 200)); // nothing saved: the designed size
            form.resize(420, 310);
            form.FExtra = 7;
            form.hide();
        }
        TRegistry reg;
        QVERIFY(reg.OpenKeyReadOnly(QStringLiteral("Software\\Brindlewood\\Quillbox\\Forms\\TFSampleForm")));
        QCOMPARE(reg.ReadInteger(QStringLiteral("Width")), 420);
        QVERIFY(!reg.ReadBool(QStringLiteral("Maximized")));
        reg.CloseKey();

        TFSampleForm form;
        form.show();
        QCOMPARE(form.size(), QSize(420, 310));
        QCOMPARE(form.FExtra, 7);
    }

    void maximizedWindow_keepsItsLastNormalSize()
    {
        {
            TFSampleForm form;
            form.show();
            form.resize(500, 400);
            form.hide();
            form.show();
            form.showMaximized();
            form.hide();
        }
        TRegistry reg;
        QVERIFY(reg.OpenKeyReadOnly(QStringLiteral("Software\\Brindlewood\\Quillbox\\Forms\\TFSampleForm")));
        QVERIFY(reg.ReadBool(QStringLiteral("Maximized")));
        QCOMPARE(reg.ReadInteger(QStringLiteral("Width")), 500);
        QCOMPARE(reg.ReadInteger(QStringLiteral("Height")), 400);
        reg.CloseKey();

        TFSampleForm form;
        form.show();
        QVERIFY(form.isMaximized());
    }

    void missingOrDamagedValues_endOnlyTheirGroup()
    {
        TRegistry reg;
        reg.OpenKey(QStringLiteral("Software\\Brindlewood\\Quillbox\\Forms\\TFSampleForm"), true);
        reg.WriteString(QStringLiteral("Width"), QStringLiteral("wide")); // wrong type: size group ends
        reg.WriteInteger(QStringLiteral("Height"), 333);
        reg.WriteInteger(QStringLiteral("Maximized"), 0);
        reg.WriteInteger(QStringLiteral("Extra"), 3);
        reg.CloseKey();
        TFSampleForm form;
        form.SetSaveOptions(soSize | soState);
        form.show();
        QCOMPARE(form.size(), QSize(300, 200));
        QVERIFY(!form.isMaximized());
        QCOMPARE(form.FExtra, 3);
    }
};

QTEST_MAIN(TestBaseForm)
#include "tst_BaseForm.moc"
