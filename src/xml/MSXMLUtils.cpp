// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "xml/MSXMLUtils.h"

#include <QDate>
#include <QTime>

#include <algorithm>

namespace {

// The parser refuses a CDATA section above ten million bytes; pieces of at most a million
// characters (three million bytes of UTF-8) stay well below that.
constexpr qsizetype CDATAPieceLength = 1000000;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int digits(const QString &text, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i)
        value = value * 10 + (text.at(i).unicode() - '0');
    return value;
}

} // namespace

QString MSXMLQuoteXPath(const QString &value)
{
    if (!value.contains(QLatin1Char('"')))
        return QLatin1Char('"') + value + QLatin1Char('"');
    if (!value.contains(QLatin1Char('\'')))
        return QLatin1Char('\'') + value + QLatin1Char('\'');
    // XPath 1.0 has no escapes: join double-quoted pieces with single-quoted double quotes.
    const QStringList pieces = value.split(QLatin1Char('"'));
    QStringList parts;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            parts.append(QStringLiteral("'\"'"));
        if (!pieces.at(i).isEmpty())
            parts.append(QLatin1Char('"') + pieces.at(i) + QLatin1Char('"'));
    }
    return QStringLiteral("concat(") + parts.join(QLatin1Char(',')) + QLatin1Char(')');
}

TMSXMLNode SelectNode(const TMSXMLNode &node, const QString &name)
{
    if (node.IsNull())
        return TMSXMLNode();
    return node.SelectSingleNode(QStringLiteral("//") + name);
}

TMSXMLNode FindChild(const TMSXMLNode &node, const QString &name, bool create)
{
    if (node.IsNull())
        return TMSXMLNode();
    TMSXMLNode child = node.SelectSingleNode(QStringLiteral("./") + name);
    if (child.IsNull() && create)
        child = node.AppendChild(node.CreateElement(name));
    return child;
}

TMSXMLNode SelectNodeByAttr(const TMSXMLNode &node, const QString &name, const QString &attribute, const QString &value)
{
    if (node.IsNull())
        return TMSXMLNode();
    return node.SelectSingleNode(QStringLiteral("//%1[@%2 = %3]").arg(name, attribute, MSXMLQuoteXPath(value)));
}

TMSXMLNode FindChildByAttr(const TMSXMLNode &node, const QString &name, const QString &attribute, const QString &value)
{
    if (node.IsNull())
        return TMSXMLNode();
    return node.SelectSingleNode(QStringLiteral("./%1[@%2 = %3]").arg(name, attribute, MSXMLQuoteXPath(value)));
}

QString GetAttr(const TMSXMLNode &element, const QString &name, const QString &defaultValue)
{
    const QString value = element.GetAttribute(name);
    return value.isEmpty() ? defaultValue : value;
}

void SetAttr(const TMSXMLNode &element, const QString &name, const QString &value, bool remove)
{
    if (element.IsNull())
        return;
    TMSXMLNode target = element;
    if (remove)
        target.RemoveAttribute(name);
    else
        target.SetAttribute(name, value);
}

int GetIntAttr(const TMSXMLNode &element, const QString &name, int defaultValue)
{
    if (!element.HasAttribute(name))
        return defaultValue;
    const QString text = element.GetAttribute(name).trimmed();
    // Decimal only: toInt would also take other bases with a prefix.
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!isDigit(text.at(i)) && !(i == 0 && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))))
            return defaultValue;
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

void SetIntAttr(const TMSXMLNode &element, const QString &name, int value, bool remove)
{
    SetAttr(element, name, QString::number(value), remove);
}

TDateTime GetDateAttr(const TMSXMLNode &element, const QString &name, TDateTime defaultValue)
{
    const QString text = element.GetAttribute(name);
    if (text.size() != 19)
        return defaultValue;
    for (int i = 0; i < 19; ++i) {
        const QChar c = text.at(i);
        const bool ok = (i == 4 || i == 7)     ? c == QLatin1Char('-')
                        : i == 10              ? c == QLatin1Char(' ')
                        : (i == 13 || i == 16) ? c == QLatin1Char(':')
                                               : isDigit(c);
        if (!ok)
            return defaultValue;
    }
    const QDate date(digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2));
    const int hour = digits(text, 11, 2), minute = digits(text, 14, 2), second = digits(text, 17, 2);
    if (!date.isValid() || date.year() < 1 || !QTime::isValid(hour, minute, second, 0))
        return defaultValue;
    return EncodeDateTime(date.year(), date.month(), date.day(), hour, minute, second, 0);
}

void SetDateAttr(const TMSXMLNode &element, const QString &name, TDateTime value, bool remove)
{
    if (element.IsNull())
        return;
    if (remove) {
        SetAttr(element, name, QString(), true);
        return;
    }
    SetAttr(element, name, MSXMLFormatDate(value));
}

QString MSXMLFormatDate(TDateTime value)
{
    // Formatted from the calendar fields alone: no time-zone lookup, and a wall-clock time that
    // a daylight-saving change skips is still written as it is.
    QDate date;
    QTime time;
    if (!DecodeDateTime(value, date, time))
        throw EMSXMLError(QStringLiteral("The date-time value cannot be written."));
    const auto two = [](int n) { return QString::number(n).rightJustified(2, QLatin1Char('0')); };
    return QString::number(date.year()).rightJustified(4, QLatin1Char('0')) + QLatin1Char('-') + two(date.month()) +
           QLatin1Char('-') + two(date.day()) + QLatin1Char(' ') + two(time.hour()) + QLatin1Char(':') +
           two(time.minute()) + QLatin1Char(':') + two(time.second());
}

void AppendCDATAText(const TMSXMLNode &element, const QString &text)
{
    if (element.IsNull())
        return;
    TMSXMLNode parent = element;
    qsizetype from = 0;
    while (from < text.size()) {
        qsizetype end = std::min(text.size(), from + CDATAPieceLength);
        // "]]>" ends a section: cut between "]]" and ">" so neither piece holds it.
        const qsizetype terminator = text.indexOf(QLatin1String("]]>"), from);
        if (terminator >= 0 && terminator + 2 <= end)
            end = terminator + 2;
        else if (end < text.size() && text.at(end - 1).isHighSurrogate())
            --end;
        parent.AppendChild(parent.CreateCDATASection(text.mid(from, end - from)));
        from = end;
    }
}

QString GetCDATAText(const TMSXMLNode &element)
{
    QString text;
    for (TMSXMLNode node = element.FirstChild(); node && node.NodeType() == ntCDATASection; node = node.NextSibling())
        text += node.NodeValue();
    return text;
}
