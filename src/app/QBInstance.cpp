// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBInstance.h"

#include "services/QBDocAccess.h"
#include "services/QBDocSvc.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <unistd.h>

namespace {
const char SRequest[] = "raise\n";
const char SAnswer[] = "ok\n";

QString runtimeFolder()
{
    // The runtime folder belongs to the user alone; /tmp is shared, so there the user id goes into
    // the name to keep two users' sockets apart.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    return QDir::tempPath();
}
} // namespace

QString QBInstanceSocketFor(const QString &fileName)
{
    if (fileName.isEmpty())
        return QString();
    const QString canonical = QFileInfo(fileName).canonicalFilePath();
    if (canonical.isEmpty())
        return QString();
    const QByteArray hash = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(20);
    return QDir(runtimeFolder())
        .filePath(QStringLiteral("quillbox-%1-%2").arg(uint(getuid())).arg(QString::fromLatin1(hash)));
}

bool QBForwardToRunningInstance(const QString &fileName, int timeoutMs)
{
    const QString socketName = QBInstanceSocketFor(fileName);
    if (socketName.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(socketName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(SRequest);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // Only an answer proves the window was raised; a program that hangs or quits meanwhile does not
    // keep the file from opening here.
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine() == SAnswer;
}

TQBInstanceServer::TQBInstanceServer(QWidget *window, QObject *owner) : QObject(owner), FWindow(window)
{
    qbaData = new TQBDataAccess(this);
    qbaData->setObjectName(QStringLiteral("qbaData"));
    connect(qbaData, &TQBDataAccess::afterCreate, this, &TQBInstanceServer::DocumentChanged);
    connect(qbaData, &TQBDataAccess::afterOpen, this, &TQBInstanceServer::DocumentChanged);
    connect(qbaData, &TQBDataAccess::afterSave, this, &TQBInstanceServer::DocumentChanged);
    qbaData->SetActive(true);
    DocumentChanged();
}

TQBInstanceServer::~TQBInstanceServer()
{
    // Unbinds before the data service can stop, and removes the socket file with the server.
    qbaData->SetActive(false);
    delete FServer;
}

QString TQBInstanceServer::SocketName() const
{
    return FServer ? FServer->fullServerName() : QString();
}

void TQBInstanceServer::DocumentChanged()
{
    const IQBDataServicePtr service = DataService();
    const IQBDocumentPtr document = service ? service->GetDocument() : nullptr;
    Listen(document ? QBInstanceSocketFor(document->FileName()) : QString());
}

void TQBInstanceServer::Listen(const QString &socket)
{
    if (FServer && FServer->fullServerName() == socket)
        return;
    delete FServer;
    FServer = nullptr;
    if (socket.isEmpty())
        return;
    // A socket that answers belongs to another running Quillbox, which keeps it (listening with
    // access options would replace its file). One left by a program that crashed answers nobody.
    {
        QLocalSocket probe;
        probe.connectToServer(socket);
        if (probe.waitForConnected(500))
            return;
    }
    QLocalServer::removeServer(socket);
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(socket)) {
        delete server;
        return;
    }
    connect(server, &QLocalServer::newConnection, this, [this, server] {
        while (QLocalSocket *connection = server->nextPendingConnection()) {
            connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
            connect(connection, &QLocalSocket::readyRead, this, [this, connection] { Answer(connection); });
        }
    });
    FServer = server;
}

void TQBInstanceServer::Answer(QLocalSocket *connection)
{
    if (!connection->canReadLine()) {
        // A peer that sends a long line without an end is not a Quillbox; it gets no buffer to fill.
        if (connection->bytesAvailable() > 64)
            connection->abort();
        return;
    }
    const bool raise = connection->readLine(64) == SRequest;
    if (raise && FWindow) {
        FWindow->show();
        FWindow->setWindowState((FWindow->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        FWindow->raise();
        FWindow->activateWindow();
    }
    connection->write(raise && FWindow ? SAnswer : "no\n");
    connection->disconnectFromServer();
    if (raise && FWindow)
        Q_EMIT forwarded();
}
