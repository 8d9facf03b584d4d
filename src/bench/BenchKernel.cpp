// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "framework/NVKClasses.h"

#include <QElapsedTimer>

namespace {

class TCounter final : public INVKUnknown
{
};

void publishBench(QTextStream &out)
{
    for (const int listeners : {1, 10, 100}) {
        TNVKEventPublisher publisher(nullptr);
        long long calls = 0;
        QList<std::shared_ptr<TNVKEventListener>> held;
        for (int i = 0; i < listeners; ++i) {
            held.append(std::make_shared<TNVKEventListener>([&calls](int, const INVKUnknownPtr &) { ++calls; }));
            publisher.Subscribe(held.last());
        }
        const auto param = std::make_shared<TCounter>();
        const int events = 2000000 / listeners;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < events; ++i)
            publisher.Publish(8, param);
        const double ns = double(timer.nsecsElapsed()) / double(calls);
        out << "   publish to " << listeners << " listener(s): " << QString::number(ns, 'f', 1)
            << " ns per delivery (" << calls << " deliveries)\n";
    }
}

const bool registered = QBRegisterBenchmark(QStringLiteral("publish"),
                                            QStringLiteral("event delivery cost per listener and event"), publishBench);

} // namespace
