// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "app/QBInstance.h"
#include "support/TestHelpers.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QThread>

#include <atomic>

namespace {

// A second start asks on a thread of its own, as it would from its own process: this thread has
// to answer meanwhile.
bool forwardFromAnotherStart(const QString &fileName)
{
    std::atomic<bool> forwarded{false};
    std::unique_ptr<QThread> start(
        QThread::create([&forwarded, fileName] { forwarded = QBForwardToRunningInstance(fileName, 5000); }));
    start->start();
    if (!QTest::qWaitFor([&] { return start->isFinished(); }, 10000))
        return false;
    return forwarded;
}

// What a peer that is not Quillbox gets for what it sends.
QByteArray answerTo(const QString &socketName, const QByteArray &request)
{
    QByteArray answer;
    std::unique_ptr<QThread> peer(QThread::create([&] {
        QLocalSocket socket;
        socket.connectToServer(socketName);
        if (!socket.waitForConnected(5000))
            return;
        socket.write(request);
        socket.waitForBytesWritten(5000);
        while (socket.waitForReadyRead(2000))
            answer += socket.readAll();
    }));
    peer->start();
    if (!QTest::qWaitFor([&] { return peer->isFinished(); }, 10000))
        return QByteArray("<no end>");
    return answer;
}

} // namespace

class TestInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(FRuntime.isValid());
        qputenv("XDG_RUNTIME_DIR", FRuntime.path().toLocal8Bit());
    }

    void openDocument_startedAgain_bringsThisWindowForward()
    {
        TAppFrameFixture f;
        const QString notes = f.path(QStringLiteral("notes.xqb"));
        QVERIFY(DataService()->SaveDocument(notes));
        TQBInstanceServer server(f.frame.get());
        QCOMPARE(server.SocketName(), QBInstanceSocketFor(notes));
        QSignalSpy forwarded(&server, &TQBInstanceServer::forwarded);
        f.frame->showMinimized();

        QVERIFY(forwardFromAnotherStart(notes));
        QCOMPARE(forwarded.count(), 1);
        QVERIFY(!f.frame->isMinimized());
        QVERIFY(f.frame->isVisible());

        // Another path to the same file is the same document.
        QVERIFY(QFile::link(notes, f.path(QStringLiteral("link.xqb"))));
        QVERIFY(forwardFromAnotherStart(f.path(QStringLiteral("link.xqb"))));
        QVERIFY(forwardFromAnotherStart(f.dir.path() + QStringLiteral("/./notes.xqb")));
        QCOMPARE(forwarded.count(), 3);
    }

    void otherFiles_areNotHandedOver()
    {
        TAppFrameFixture f;
        TQBInstanceServer server(f.frame.get());
        // An untitled document has no file to be asked for.
        QCOMPARE(server.SocketName(), QString());
        const QString other = f.path(QStringLiteral("other.xqb"));
        QVERIFY(writeFile(other, QByteArray("<?xml version=\"1.0\"?><Snippets/>")));
        QVERIFY(!forwardFromAnotherStart(other));
        QVERIFY(!forwardFromAnotherStart(f.path(QStringLiteral("missing.xqb"))));
        QVERIFY(!forwardFromAnotherStart(QString()));
    }

    void savedUnderANewName_theSocketFollowsTheDocument()
    {
        TAppFrameFixture f;
        const QString first = f.path(QStringLiteral("first.xqb"));
        const QString second = f.path(QStringLiteral("second.xqb"));
        TQBInstanceServer server(f.frame.get());
        QVERIFY(DataService()->SaveDocument(first));
        QVERIFY(forwardFromAnotherStart(first));
        QVERIFY(DataService()->SaveDocument(second));
        QCOMPARE(server.SocketName(), QBInstanceSocketFor(second));
        QVERIFY(!forwardFromAnotherStart(first));
        QVERIFY(forwardFromAnotherStart(second));
        // Opening the first again moves the socket back.
        QVERIFY(DataService()->OpenDocument(first));
        QVERIFY(forwardFromAnotherStart(first));
        QVERIFY(!forwardFromAnotherStart(second));
        // A new document has no file any more.
        QVERIFY(DataService()->NewDocument());
        QCOMPARE(server.SocketName(), QString());
        QVERIFY(!forwardFromAnotherStart(first));
    }

    void leftoverSocket_ofACrashedProgram_isTakenOver()
    {
        TAppFrameFixture f;
        const QString notes = f.path(QStringLiteral("notes.xqb"));
        QVERIFY(DataService()->SaveDocument(notes));
        // A socket file nobody listens on, as a program that crashed leaves it.
        QVERIFY(writeFile(QBInstanceSocketFor(notes), QByteArray()));
        TQBInstanceServer server(f.frame.get());
        QCOMPARE(server.SocketName(), QBInstanceSocketFor(notes));
        QVERIFY(forwardFromAnotherStart(notes));
    }

    void socketOfARunningProgram_isNotTakenAway()
    {
        TAppFrameFixture f;
        const QString notes = f.path(QStringLiteral("notes.xqb"));
        QVERIFY(DataService()->SaveDocument(notes));
        TQBInstanceServer running(f.frame.get());
        QSignalSpy forwarded(&running, &TQBInstanceServer::forwarded);
        TQBInstanceServer late(f.frame.get());
        QCOMPARE(late.SocketName(), QString());
        QVERIFY(forwardFromAnotherStart(notes));
        QCOMPARE(forwarded.count(), 1);
    }

    void strangePeers_getNoWindow()
    {
        TAppFrameFixture f;
        const QString notes = f.path(QStringLiteral("notes.xqb"));
        QVERIFY(DataService()->SaveDocument(notes));
        TQBInstanceServer server(f.frame.get());
        QSignalSpy forwarded(&server, &TQBInstanceServer::forwarded);
        QCOMPARE(answerTo(server.SocketName(), "hello\n"), QByteArray("no\n"));
        // A line without end is cut off rather than buffered.
        QCOMPARE(answerTo(server.SocketName(), QByteArray(100000, 'x')), QByteArray());
        QCOMPARE(forwarded.count(), 0);
        // The server still serves the real request afterwards.
        QVERIFY(forwardFromAnotherStart(notes));
    }

private:
    QTemporaryDir FRuntime;
};

QTEST_MAIN(TestInstance)
#include "tst_Instance.moc"
