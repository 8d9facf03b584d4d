// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "xml/MSXMLDoc.h"
#include "xml/MSXMLUtils.h"

#include <cstddef>
#include <cstdint>

namespace {

// Everything a load leaves: the error with its place, or every element's text and CDATA text and
// the document saved again.
QByteArray outcome(const QByteArray &bytes, bool keepApart)
{
    TMSXMLDocument doc;
    doc.SetKeepCDATAApart(keepApart);
    try {
        doc.LoadFromBytes(bytes);
        QByteArray result;
        TMSXMLNode root = doc.GetDocument().DocumentElement();
        for (TMSXMLNode node = root ? root.FirstChild() : TMSXMLNode(); node; node = node.NextSibling())
            result += node.Text().toUtf8() + '|' + GetCDATAText(node).toUtf8() + '\n';
        return result + doc.SaveToBytes();
    } catch (const EMSXMLParseError &e) {
        return "parse " + QByteArray::number(e.ErrorCode()) + ' ' + QByteArray::number(e.Line()) + ' ' +
               QByteArray::number(e.LinePos()) + ' ' + e.Message().toUtf8();
    } catch (const EMSXMLError &e) {
        return "error " + e.Message().toUtf8();
    }
}

} // namespace

// Reading with the CDATA sections taken out first must give exactly what a plain parse gives.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (outcome(bytes, true) != outcome(bytes, false))
        __builtin_trap();
    return 0;
}
