// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "xml/MSXMLDoc.h"

#include <QString>
#include <functional>
#include <memory>

// Shared by the XML access tests.

inline std::shared_ptr<TMSXMLDocument> parsed(const QByteArray &bytes)
{
    auto doc = std::make_shared<TMSXMLDocument>();
    doc->LoadFromBytes(bytes);
    return doc;
}

// The parse error a load raises; an error with reason "no error" when it loads.
inline EMSXMLParseError loadError(const std::function<void()> &load)
{
    try {
        load();
    } catch (const EMSXMLParseError &e) {
        return e;
    }
    return EMSXMLParseError(QStringLiteral("no error"), 0, 0, 0);
}

inline const QString Mixed = QStringLiteral("Grüße, Привет, 日本");
