// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "BenchData.h"

#include <QStringList>

QString QBBenchRtfBody(int seed, int size)
{
    static const QStringList words = {
        QStringLiteral("lorem"),       QStringLiteral("ipsum"),    QStringLiteral("dolor"),
        QStringLiteral("sit"),         QStringLiteral("amet"),     QStringLiteral("notes"),
        QStringLiteral("clipping"),    QStringLiteral("meeting"),  QStringLiteral("draft"),
        QStringLiteral("research"),    QStringLiteral("quill"),    QStringLiteral("box"),
        QStringLiteral("\\'e9t\\'e9"), QStringLiteral("\\u8364?"), QStringLiteral("na\\'efve"),
        QStringLiteral("Stra\\'dfe"),
    };
    QString body = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
                                  "Tahoma;}{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}}\r\n"
                                  "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\r\n"
                                  "\\viewkind4\\uc1\\pard\\f0\\fs20 ");
    quint32 state = quint32(seed) * 2654435761u + 1;
    const auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return state >> 16;
    };
    while (body.size() < size) {
        const quint32 r = next();
        switch (r % 9) {
        case 0:
            body += QStringLiteral("\\b ") + words.at(next() % words.size()) + QStringLiteral("\\b0  ");
            break;
        case 1:
            body += QStringLiteral("\\i ") + words.at(next() % words.size()) + QStringLiteral("\\i0  ");
            break;
        case 2:
            body += QStringLiteral("\\cf1 ") + words.at(next() % words.size()) + QStringLiteral("\\cf0  ");
            break;
        case 3:
            body += QStringLiteral("\\par\r\n");
            break;
        default:
            body += words.at(next() % words.size()) + QString::number(next() % 1000) + QLatin1Char(' ');
            break;
        }
    }
    body += QStringLiteral("\\par\r\n}\r\n");
    return body;
}
