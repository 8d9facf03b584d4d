// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "document/QBXml.h"
#include "services/QBDocRecovery.h"
#include "services/QBDocSvc.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>

namespace {

// How long the program stops for while it writes the recovery copy of a large document.
void recoveryBench(QTextStream &out)
{
    const TQBBenchServices services;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("large.xqb"));
    QBWriteDocument(QBBenchDocument(10000, QString(), 0), file);
    const IQBDataServicePtr data = DataService();
    data->OpenDocument(file);
    TQBDataRecovery::SetFolder(dir.filePath(QStringLiteral("Recovery")));
    TQBDataRecovery recovery;
    recovery.SetActive(true);

    QList<double> times;   // the program stops for this long
    QList<double> written; // until the copy is complete
    for (int round = 0; round < 5; ++round) {
        data->GetDocument()->Root()->SetCaption(QStringLiteral("changed %1").arg(round));
        QElapsedTimer timer;
        timer.start();
        recovery.WriteCopy();
        times.append(double(timer.nsecsElapsed()) / 1e6);
        recovery.Finish();
        written.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(written.begin(), written.end());
    QElapsedTimer bytesTimer;
    bytesTimer.start();
    const QByteArray bytes = TQBXmlWriter(file).WriteToBytes(data->GetDocument());
    out << "   the same document to bytes in memory: " << QBBenchMs(bytesTimer.nsecsElapsed()) << "\n";
    std::sort(times.begin(), times.end());
    out << "   recovery copy of 10,000 articles (" << QString::number(QFileInfo(file).size() / 1e6, 'f', 1)
        << " MB): the program pauses for a median " << QString::number(times.at(times.size() / 2), 'f', 1)
        << " ms (longest " << QString::number(times.last(), 'f', 1) << " ms); the copy is complete after "
        << QString::number(written.at(written.size() / 2), 'f', 0) << " ms\n";
    TQBDataRecovery::SetFolder(QString());
}

const bool registered = QBRegisterBenchmark(
    QStringLiteral("recovery"),
    QStringLiteral("Write the recovery copy of a modified 10,000-article document: the pause it causes"),
    recoveryBench);

} // namespace
