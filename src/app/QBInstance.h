// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>

class QLocalServer;
class QLocalSocket;
class QWidget;
class TQBDataAccess;

// One window per document: a running Quillbox listens on a local socket named after the file it
// has open, so that opening that file again (from the file manager, say) brings the window forward
// instead of starting a second program over the same file.

// The socket for a document: in the user's runtime folder, named after the file's canonical path.
// Empty for a file that does not exist (an untitled document has none).
QString QBInstanceSocketFor(const QString &fileName);

// Asks a running Quillbox that has fileName open to bring its window forward, waiting at most
// timeoutMs for its answer. False when none has it open or none answered; the caller then opens
// the file itself.
bool QBForwardToRunningInstance(const QString &fileName, int timeoutMs = 3000);

class TQBInstanceServer : public QObject
{
    Q_OBJECT

public:
    // Follows the data service's document from now on and brings window forward when asked.
    explicit TQBInstanceServer(QWidget *window, QObject *owner = nullptr);
    ~TQBInstanceServer() override;

    // The socket listened on; empty while the document is untitled or another program owns it.
    QString SocketName() const;

Q_SIGNALS:
    // Another start asked for this document; the window has been brought forward.
    void forwarded();

private:
    void DocumentChanged();
    void Listen(const QString &socket);
    void Answer(QLocalSocket *connection);

    QPointer<QWidget> FWindow;
    TQBDataAccess *qbaData = nullptr;
    QLocalServer *FServer = nullptr;
};
