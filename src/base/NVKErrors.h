// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>
#include <functional>

// The base of every exception the program raises: a message meant for the user.
class Exception : public std::exception
{
public:
    explicit Exception(const QString &message);
    const QString &Message() const { return FMessage; }
    const char *what() const noexcept override { return FWhat.constData(); }

private:
    QString FMessage;
    QByteArray FWhat;
};

// Base of the framework's errors. Extra is a second text that no raise in the program fills.
class ENVKError : public Exception
{
public:
    explicit ENVKError(const QString &message, const QString &extra = QString());
    const QString &Extra() const { return FExtra; }

private:
    QString FExtra;
};

class ENVKServiceError : public ENVKError
{
public:
    using ENVKError::ENVKError;
};

// Errors of the core; deliberately not an ENVKError.
class ENVKCoreError : public Exception
{
public:
    using Exception::Exception;
};

// A broken internal rule. Unit names the code unit that checked it.
class EAssertionFailed : public Exception
{
public:
    EAssertionFailed(const QString &message, const QString &unit);
    const QString &Unit() const { return FUnit; }

private:
    QString FUnit;
};

inline void NVKAssert(bool condition, const char *message, const char *unit)
{
    if (!condition)
        throw EAssertionFailed(QString::fromUtf8(message), QString::fromUtf8(unit));
}

// The message of the exception being handled; call only inside a catch block.
QString NVKCurrentExceptionMessage();

// Where failures that cannot travel further (a listener raising during delivery) are shown.
// The default writes to stderr; the desktop program installs a modal message box.
using TNVKErrorReporter = std::function<void(const QString &message)>;
void NVKSetErrorReporter(TNVKErrorReporter reporter);
void NVKReportError(const QString &message);

// Fills "%s" placeholders in order, as the framework's fixed messages use them.
QString NVKFormatS(QString pattern, const QStringList &args);
