// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "framework/NVKInit.h"
#include "framework/NVKLang.h"
#include "framework/NVKResourceSet.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

class TBenchForm : public QObject
{
    Q_OBJECT

public:
    QString Caption;
};

void languageBench(QTextStream &out)
{
    constexpr int Strings = 2000;
    constexpr int Components = 500;
    QTemporaryDir dir;
    const QString base = dir.path() + QStringLiteral("/Language");
    QDir().mkpath(base + QStringLiteral("/Bench"));
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Language name=\"Bench\"><ResourceStrings>";
    for (int i = 0; i < Strings; ++i)
        xml += "<String ID=\"SText" + QByteArray::number(i) + "\">Übersetzter Text Nummer " + QByteArray::number(i) +
               "</String>";
    xml += "</ResourceStrings><Container class=\"TBenchForm\">";
    for (int i = 0; i < Components; ++i)
        xml += "<Component name=\"c" + QByteArray::number(i) + "\"><Property name=\"Caption\">Beschriftung " +
               QByteArray::number(i) + "</Property></Component>";
    xml += "</Container></Language>";
    QFile file(base + QStringLiteral("/Bench/qb.exe.xlg"));
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
        return;
    file.close();

    NVKRegisterText<TBenchForm>(QStringLiteral("Caption"), [](TBenchForm *f, const QString &v) { f->Caption = v; });
    NVKInitializeCore();
    TNVKLocalizationService service;
    service.SetBasePath(base);
    service.SetDefaultLanguage(QStringLiteral("Bench"));
    service.SetActive(true);
    TNVKResourceSet set;
    set.SetNvkName(QStringLiteral("qb.exe"));
    set.SetActive(true);

    QElapsedTimer timer;
    timer.start();
    set.GetString(QStringLiteral("SText0"), QString());
    out << "   first lookup (reads a file of " << Strings << " texts, " << xml.size() / 1024
        << " KiB): " << QString::number(double(timer.nsecsElapsed()) / 1e6, 'f', 2) << " ms\n";

    const int lookups = 1000000;
    qsizetype total = 0;
    timer.restart();
    for (int i = 0; i < lookups; ++i)
        total += set.GetString(QStringLiteral("SText%1").arg(i % Strings), QString()).size();
    out << "   GetString: " << QString::number(double(timer.nsecsElapsed()) / lookups, 'f', 0) << " ns per lookup ("
        << total << " characters)\n";

    TBenchForm form;
    for (int i = 0; i < Components; ++i) {
        auto *component = new TBenchForm;
        component->setObjectName(QStringLiteral("c%1").arg(i));
        component->setParent(&form);
    }
    auto *manager = new TNVKCustomResourceManager(&form);
    manager->SetResourceSet(&set);
    timer.restart();
    manager->Update();
    out << "   Update of a form with " << Components
        << " translated components: " << QString::number(double(timer.nsecsElapsed()) / 1e6, 'f', 2) << " ms\n";
}

const bool registered =
    QBRegisterBenchmark(QStringLiteral("language"),
                        QStringLiteral("language file reading, text lookup and form translation"), languageBench);

} // namespace

#include "BenchLang.moc"
