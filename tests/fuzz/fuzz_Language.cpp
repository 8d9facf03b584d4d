// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "framework/NVKInit.h"
#include "framework/NVKLang.h"
#include "framework/NVKResourceSet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

// A form with a property of every kind a language file can set, and a part it owns.
class TFuzzForm : public QObject
{
    Q_OBJECT

public:
    QString Text;
    QStringList Lines;
    int Number = 0;
    double Fraction = 0;
    QChar Letter;
    quint32 Flags = 0;
    QList<std::shared_ptr<TFuzzForm>> Items;
    std::shared_ptr<TFuzzForm> Font;
};

void registerProperties()
{
    NVKRegisterText<TFuzzForm>(QStringLiteral("Caption"), [](TFuzzForm *f, const QString &v) { f->Text = v; });
    NVKRegisterStrings<TFuzzForm>(QStringLiteral("Lines"), [](TFuzzForm *f, const QStringList &v) { f->Lines = v; });
    NVKRegisterInteger<TFuzzForm>(QStringLiteral("Width"), [](TFuzzForm *f, int v) { f->Number = v; });
    NVKRegisterInteger<TFuzzForm>(
        QStringLiteral("Color"), [](TFuzzForm *f, int v) { f->Number = v; }, QStringLiteral("TColor"));
    NVKRegisterBoolean<TFuzzForm>(QStringLiteral("Visible"), [](TFuzzForm *f, bool v) { f->Number = v; });
    NVKRegisterEnumeration<TFuzzForm>(QStringLiteral("Align"), {QStringLiteral("alNone"), QStringLiteral("alTop")},
                                      [](TFuzzForm *f, int v) { f->Number = v; });
    NVKRegisterSet<TFuzzForm>(QStringLiteral("Style"), {QStringLiteral("fsBold"), QStringLiteral("fsItalic")},
                              [](TFuzzForm *f, quint32 v) { f->Flags = v; });
    NVKRegisterFloat<TFuzzForm>(QStringLiteral("Ratio"), [](TFuzzForm *f, double v) { f->Fraction = v; });
    NVKRegisterCharacter<TFuzzForm>(QStringLiteral("PasswordChar"), [](TFuzzForm *f, QChar v) { f->Letter = v; });
    NVKRegisterObject<TFuzzForm>(QStringLiteral("Font"), [](TFuzzForm *f) {
        if (!f->Font)
            f->Font = std::make_shared<TFuzzForm>();
        return std::static_pointer_cast<QObject>(f->Font);
    });
    NVKRegisterCollection<TFuzzForm>(
        QStringLiteral("Columns"), [](TFuzzForm *f) { return int(f->Items.size()); },
        [](TFuzzForm *f, int index) { return std::static_pointer_cast<QObject>(f->Items.at(index)); });
}

struct TFuzzLanguage
{
    QTemporaryDir Dir;
    QString FileName;
    std::unique_ptr<TNVKLocalizationService> Service;
};

TFuzzLanguage *language = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    registerProperties();
    language = new TFuzzLanguage;
    const QString base = language->Dir.path() + QStringLiteral("/Language/");
    QDir().mkpath(base + QStringLiteral("Fuzz"));
    language->FileName = base + QStringLiteral("Fuzz/qb.exe.xlg");
    QFile seed(language->FileName);
    if (!seed.open(QIODevice::WriteOnly))
        return 1;
    seed.close();
    NVKInitializeCore();
    language->Service = std::make_unique<TNVKLocalizationService>();
    language->Service->SetBasePath(base);
    language->Service->SetDefaultLanguage(QStringLiteral("Fuzz"));
    language->Service->SetActive(true);
    return 0;
}

// Any language file translates a form or leaves texts as built in, with a typed error at most.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QFile file(language->FileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();

    TNVKResourceSet set;
    set.SetNvkName(QStringLiteral("qb.exe"));
    set.SetActive(true);
    TFuzzForm form;
    form.setObjectName(QStringLiteral("TFuzzForm"));
    for (const char *name : {"btnOK", "lblName", "a"}) {
        auto *part = new TFuzzForm;
        part->setObjectName(QString::fromLatin1(name));
        part->setParent(&form);
        part->Items = {std::make_shared<TFuzzForm>(), std::make_shared<TFuzzForm>()};
    }
    auto *manager = new TNVKCustomResourceManager(&form);
    manager->SetResourceSet(&set);
    try {
        manager->Update();
    } catch (const Exception &) {
    }
    for (const char *id : {"SText", "a", ""})
        set.GetString(QString::fromLatin1(id), QStringLiteral("built in"));
    return 0;
}

#include "fuzz_Language.moc"
