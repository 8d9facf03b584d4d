// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "controls/VtlRichEdit.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QRandomGenerator>

namespace {

// The largest file one can attach: inserting it, saving and loading the body, opening the file again.
void attachmentBench(QTextStream &out)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        out << "   needs the widget application\n";
        return;
    }
    TQBAttachment attachment;
    attachment.FileName = QStringLiteral("holiday photos.zip");
    attachment.Data.resize(QBRtfObjects::MaxAttachmentBytes);
    QRandomGenerator random(7);
    random.fillRange(reinterpret_cast<quint32 *>(attachment.Data.data()), attachment.Data.size() / 4);
    const double baseline = QBBenchMemoryMB();

    TVtlRichEdit editor;
    editor.resize(800, 600);
    editor.show();
    QElapsedTimer timer;
    timer.start();
    editor.InsertAttachment(attachment);
    QCoreApplication::processEvents();
    out << "   insert a " << attachment.Data.size() / (1024 * 1024) << " MB file: " << QBBenchMs(timer.nsecsElapsed())
        << "\n";

    timer.restart();
    QByteArray body;
    QBuffer buffer(&body);
    buffer.open(QIODevice::WriteOnly);
    editor.SaveToStream(buffer);
    out << "   write the body as RTF: " << QBBenchMs(timer.nsecsElapsed()) << " ("
        << QString::number(double(body.size()) / 1e6, 'f', 1) << " MB)\n";

    timer.restart();
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    editor.LoadFromStream(buffer);
    QCoreApplication::processEvents();
    out << "   load the body into the editor: " << QBBenchMs(timer.nsecsElapsed()) << "\n";

    timer.restart();
    const std::optional<TQBAttachment> again = editor.AttachmentAt(0);
    out << "   read the file back for opening: " << QBBenchMs(timer.nsecsElapsed())
        << (again && again->Data == attachment.Data ? " (identical)" : " (DIFFERENT)") << "\n";
    out << "   memory: resident " << QString::number(QBBenchMemoryMB() - baseline, 'f', 0)
        << " MB above the start, peak " << QString::number(QBBenchMemoryMB("VmHWM:"), 'f', 0) << " MB\n";
}

const bool registered = QBRegisterBenchmark(
    QStringLiteral("attachment"),
    QStringLiteral("Attach the largest file allowed: insert, write and load the body, read the file back"),
    attachmentBench);

} // namespace
