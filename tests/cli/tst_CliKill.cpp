// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBDom.h"
#include "document/QBXml.h"
#include "support/TestHelpers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

// A run of the full campaign: QB_KILL_ROUNDS=100 QB_KILL_ARTICLES=10000 (see the README).
int setting(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

IQBDocumentPtr generatedDocument(int articles)
{
    const IQBDocumentPtr document = NewQBDocument();
    QList<IQBArticlePtr> parents{document->Root()};
    QString body = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 ");
    while (body.size() < 3000)
        body += QStringLiteral("Some {\\b bold} words and caf\\'e9 notes\\par ");
    for (int i = 0; i < articles; ++i) {
        const IQBArticlePtr article = document->AddChild(parents.at(i / 10));
        article->SetCaption(QStringLiteral("Article %1").arg(i + 1));
        article->SetContent(body + QString::number(i) + QLatin1Char('}'));
        parents.append(article);
    }
    return document;
}

} // namespace

// quillbox-cli convert killed at random moments: the target is always the old file or the whole
// new one, and what a kill leaves behind is gone after the next save.
class TestCliKill : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void convertKilledAtRandomMoments_targetIsOldOrNewAndNoLeftoversPileUp()
    {
        const int rounds = setting("QB_KILL_ROUNDS", 50);
        const int articles = setting("QB_KILL_ARTICLES", 5000);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("source.xqb"));
        const QString target = dir.filePath(QStringLiteral("target.xqb"));
        const QString reference = dir.filePath(QStringLiteral("reference.xqb"));
        QBWriteDocument(generatedDocument(articles), source);
        // The old file: a different document, in another encoding.
        const IQBDocumentPtr old = generatedDocument(articles / 2);
        old->SetEncoding(QStringLiteral("UTF-16"));
        QBWriteDocument(old, target);
        const QByteArray oldBytes = fileBytes(target);

        const auto convert = [&](const QString &to) {
            auto *process = new QProcess;
            process->start(QStringLiteral(QB_CLI_EXECUTABLE), {QStringLiteral("convert"), source, to});
            return process;
        };
        QElapsedTimer timer;
        timer.start();
        {
            std::unique_ptr<QProcess> process(convert(reference));
            QVERIFY(process->waitForFinished(120000));
            QCOMPARE(process->exitCode(), 0);
        }
        const qint64 fullRun = std::max<qint64>(timer.elapsed(), 20);
        const QByteArray newBytes = fileBytes(reference);
        QVERIFY(newBytes != oldBytes);
        const QStringList expected{QStringLiteral("reference.xqb"), QStringLiteral("source.xqb"),
                                   QStringLiteral("target.xqb")};

        QRandomGenerator random(20260);
        int keptOld = 0;
        int replaced = 0;
        int mostLeftovers = 0;
        for (int round = 0; round < rounds; ++round) {
            std::unique_ptr<QProcess> process(convert(target));
            QVERIFY(process->waitForStarted());
            QThread::msleep(random.bounded(quint32(fullRun + fullRun / 5)));
            ::kill(pid_t(process->processId()), SIGKILL);
            QVERIFY(process->waitForFinished(120000));

            const QByteArray now = fileBytes(target);
            QVERIFY2(now == oldBytes || now == newBytes, qPrintable(QStringLiteral("round %1").arg(round)));
            if (now == newBytes) {
                ++replaced;
                QVERIFY(writeFile(target, oldBytes));
            } else {
                ++keptOld;
            }
            QStringList entries = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
            for (const QString &name : expected)
                entries.removeOne(name);
            // What one kill leaves, the next save takes away: never more than one at a time.
            mostLeftovers = std::max(mostLeftovers, int(entries.size()));
            QVERIFY2(entries.size() <= 1, qPrintable(entries.join(QLatin1Char(' '))));
        }
        {
            std::unique_ptr<QProcess> process(convert(target));
            QVERIFY(process->waitForFinished(120000));
            QCOMPARE(process->exitCode(), 0);
        }
        QCOMPARE(fileBytes(target), newBytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), expected);
        qInfo("%d kills of a %lld ms conversion: %d left the old file, %d the new one; at most %d leftover(s) at once",
              rounds, fullRun, keptOld, replaced, mostLeftovers);
    }
};

QTEST_GUILESS_MAIN(TestCliKill)
#include "tst_CliKill.moc"
