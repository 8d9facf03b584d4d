// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKErrors.h"

#include <QStringList>
#include <cstdio>

Exception::Exception(const QString &message) : FMessage(message), FWhat(message.toUtf8()) {}

ENVKError::ENVKError(const QString &message, const QString &extra) : Exception(message), FExtra(extra) {}

EAssertionFailed::EAssertionFailed(const QString &message, const QString &unit) : Exception(message), FUnit(unit) {}

QString NVKCurrentExceptionMessage()
{
    try {
        throw;
    } catch (const Exception &e) {
        return e.Message();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error.");
    }
}

namespace {
TNVKErrorReporter &errorReporter()
{
    static TNVKErrorReporter reporter;
    return reporter;
}
} // namespace

void NVKSetErrorReporter(TNVKErrorReporter reporter)
{
    errorReporter() = std::move(reporter);
}

void NVKReportError(const QString &message)
{
    if (errorReporter()) {
        errorReporter()(message);
        return;
    }
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
}

QString NVKFormatS(QString pattern, const QStringList &args)
{
    qsizetype from = 0;
    for (const QString &arg : args) {
        const qsizetype at = pattern.indexOf(QLatin1String("%s"), from);
        if (at < 0)
            break;
        pattern.replace(at, 2, arg);
        from = at + arg.size();
    }
    return pattern;
}
