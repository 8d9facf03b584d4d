// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKFormat.h"

#include <QDateTime>
#include <cmath>

namespace {

bool isIntegral(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isFloating(const QVariant &v)
{
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float || isIntegral(v);
}

bool isText(const QVariant &v)
{
    return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray || v.typeId() == QMetaType::QChar;
}

// Fixed notation with the locale's decimal point and, when asked, its group separators.
QString fixed(double value, int precision, const QLocale &locale, bool grouped)
{
    QLocale l = locale;
    l.setNumberOptions(grouped ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
    return l.toString(value, 'f', precision);
}

// "1.50000000000000E+003": mantissa with precision digits in all, exponent of at least three.
QString scientific(double value, int precision, const QLocale &locale)
{
    if (!std::isfinite(value))
        return QString::number(value);
    QString text = QString::number(value, 'E', std::max(precision - 1, 0));
    const qsizetype e = text.indexOf(QLatin1Char('E'));
    QString mantissa = text.left(e);
    const QString exponent = text.mid(e + 2);
    mantissa.replace(QLatin1Char('.'), locale.decimalPoint());
    return mantissa + QLatin1Char('E') + text[e + 1] + exponent.rightJustified(3, QLatin1Char('0'));
}

QString general(double value, int precision, const QLocale &locale)
{
    QString text = QString::number(value, 'g', precision);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text.toUpper();
}

} // namespace

QString Format(const QString &pattern, const QVariantList &args, const QLocale &locale)
{
    QString out;
    out.reserve(pattern.size() + 16);
    int nextArg = 0;
    qsizetype i = 0;
    const qsizetype n = pattern.size();
    while (i < n) {
        const QChar c = pattern[i];
        if (c != QLatin1Char('%')) {
            out += c;
            ++i;
            continue;
        }
        const qsizetype start = i++;
        if (i < n && pattern[i] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        bool ok = true;
        // Reads digits or "*" (an argument) into value; -1 when neither is there.
        auto readNumber = [&](int &value) {
            value = -1;
            if (i < n && pattern[i] == QLatin1Char('*')) {
                ++i;
                if (nextArg < args.size() && isIntegral(args[nextArg]))
                    value = args[nextArg++].toInt();
                else
                    ok = false;
                return;
            }
            qint64 number = -1;
            while (i < n && pattern[i].isDigit() && pattern[i].unicode() < 128) {
                number = (number < 0 ? 0 : number) * 10 + (pattern[i].unicode() - '0');
                if (number > 100000) // bounds the padding a pattern can ask for
                    ok = false;
                ++i;
            }
            value = int(std::min<qint64>(number, 100000));
        };
        int first = -1;
        readNumber(first);
        bool leftAlign = false;
        int width = -1;
        if (i < n && pattern[i] == QLatin1Char(':')) {
            ++i;
            if (first < 0)
                ok = false;
            else
                nextArg = first;
            first = -1;
        } else {
            width = first;
            first = -1;
        }
        if (width < 0) {
            if (i < n && pattern[i] == QLatin1Char('-')) {
                leftAlign = true;
                ++i;
            }
            readNumber(width);
        }
        int precision = -1;
        if (i < n && pattern[i] == QLatin1Char('.')) {
            ++i;
            readNumber(precision);
            if (precision < 0)
                precision = 0;
        }
        if (i >= n) {
            out += pattern.mid(start);
            break;
        }
        const QChar type = pattern[i++].toLower();
        const QString specifier = pattern.mid(start, i - start);
        if (!ok || nextArg >= args.size()) {
            out += specifier;
            continue;
        }
        const QVariant &arg = args[nextArg];
        QString text;
        switch (type.unicode()) {
        case 'd':
        case 'u': {
            if (!isIntegral(arg)) {
                ok = false;
                break;
            }
            qint64 value = arg.toLongLong();
            if (type == QLatin1Char('u') && value < 0)
                value = qint64(quint32(qint32(value)));
            text = QString::number(std::llabs(value));
            if (precision > 0)
                text = text.rightJustified(precision, QLatin1Char('0'));
            if (value < 0)
                text.prepend(QLatin1Char('-'));
            break;
        }
        case 'x': {
            if (!isIntegral(arg)) {
                ok = false;
                break;
            }
            const qint64 value = arg.toLongLong();
            const quint64 bits = (value < 0 && value >= INT_MIN) ? quint64(quint32(qint32(value))) : quint64(value);
            text = QString::number(bits, 16).toUpper();
            if (precision > 0)
                text = text.rightJustified(precision, QLatin1Char('0'));
            break;
        }
        case 'e':
            ok = isFloating(arg);
            if (ok)
                text = scientific(arg.toDouble(), precision < 0 ? 15 : std::min(precision, 18), locale);
            break;
        case 'f':
            ok = isFloating(arg);
            if (ok)
                text = fixed(arg.toDouble(), precision < 0 ? 2 : std::min(precision, 18), locale, false);
            break;
        case 'g':
            ok = isFloating(arg);
            if (ok)
                text = general(arg.toDouble(), precision < 0 ? 15 : std::clamp(precision, 1, 18), locale);
            break;
        case 'n':
            ok = isFloating(arg);
            if (ok)
                text = fixed(arg.toDouble(), precision < 0 ? 2 : std::min(precision, 18), locale, true);
            break;
        case 'm':
            ok = isFloating(arg);
            if (ok)
                text = locale.toCurrencyString(arg.toDouble(), QString(), precision < 0 ? 2 : std::min(precision, 18));
            break;
        case 'p':
            ok = isIntegral(arg);
            if (ok)
                text = QString::number(arg.toULongLong(), 16).toUpper().rightJustified(8, QLatin1Char('0'));
            break;
        case 's':
            ok = isText(arg);
            if (ok) {
                text = arg.toString();
                if (precision >= 0 && precision < text.size())
                    text.truncate(precision);
            }
            break;
        default:
            // Not a specifier at all: it takes no argument.
            out += specifier;
            continue;
        }
        // A mismatched argument is still used up, so the specifiers after it keep their arguments.
        ++nextArg;
        if (!ok) {
            out += specifier;
            continue;
        }
        if (width > text.size())
            text = leftAlign ? text.leftJustified(width) : text.rightJustified(width);
        out += text;
    }
    return out;
}

namespace {

// The first separator character of a Qt date or time format, or the fallback.
QChar separatorOf(const QString &format, QChar fallback)
{
    for (const QChar c : format) {
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace())
            return c;
    }
    return fallback;
}

QString longTimeFormat(const QLocale &locale)
{
    // Qt's long time format names the time zone; stored texts never want it.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

} // namespace

QString FormatDateTime(const QString &pattern, TDateTime value, const QLocale &locale)
{
    const QDateTime dt = DateTimeToQDateTime(value);
    if (!dt.isValid())
        return QString();
    const QDate date = dt.date();
    const QTime time = dt.time();

    // 12-hour clock when the pattern holds an am/pm specifier anywhere outside quotes.
    bool twelveHour = false;
    {
        QChar quote;
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            const QChar c = pattern[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
                continue;
            }
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
                continue;
            }
            const QString rest = pattern.mid(i, 5).toLower();
            if (rest.startsWith(QLatin1String("am/pm")) || rest.startsWith(QLatin1String("a/p")) ||
                rest.startsWith(QLatin1String("ampm")))
                twelveHour = true;
        }
    }
    const int hour = twelveHour ? (time.hour() % 12 == 0 ? 12 : time.hour() % 12) : time.hour();
    const QChar dateSeparator = separatorOf(locale.dateFormat(QLocale::ShortFormat), QLatin1Char('/'));
    const QChar timeSeparator = separatorOf(locale.timeFormat(QLocale::ShortFormat), QLatin1Char(':'));

    QString out;
    bool afterHour = false;
    qsizetype i = 0;
    const qsizetype n = pattern.size();
    auto run = [&](QChar letter) {
        qsizetype count = 0;
        while (i + count < n && pattern[i + count].toLower() == letter)
            ++count;
        return count;
    };
    while (i < n) {
        const QChar c = pattern[i];
        const QChar lower = c.toLower();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = pattern.indexOf(c, i + 1);
            out += pattern.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? n : end + 1;
            continue;
        }
        if (c == QLatin1Char('/')) {
            out += dateSeparator;
            ++i;
            continue;
        }
        if (c == QLatin1Char(':')) {
            out += timeSeparator;
            ++i;
            continue;
        }
        const QString rest = pattern.mid(i, 5).toLower();
        if (rest.startsWith(QLatin1String("am/pm"))) {
            const QString mark = time.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            out += pattern.mid(i, 2).at(0).isUpper() ? mark.toUpper() : mark;
            i += 5;
            continue;
        }
        if (rest.startsWith(QLatin1String("a/p"))) {
            const QChar mark = time.hour() < 12 ? QLatin1Char('a') : QLatin1Char('p');
            out += c.isUpper() ? mark.toUpper() : mark;
            i += 3;
            continue;
        }
        if (rest.startsWith(QLatin1String("ampm"))) {
            out += time.hour() < 12 ? locale.amText() : locale.pmText();
            i += 4;
            continue;
        }
        switch (lower.unicode()) {
        case 'y': {
            const qsizetype count = run(lower);
            out += count <= 2 ? QString::number(date.year() % 100).rightJustified(2, QLatin1Char('0'))
                              : QString::number(date.year()).rightJustified(4, QLatin1Char('0'));
            i += count;
            afterHour = false;
            continue;
        }
        case 'm': {
            const qsizetype count = run(lower);
            if (afterHour && count <= 2) {
                out += count == 1 ? QString::number(time.minute())
                                  : QString::number(time.minute()).rightJustified(2, QLatin1Char('0'));
            } else if (count == 1) {
                out += QString::number(date.month());
            } else if (count == 2) {
                out += QString::number(date.month()).rightJustified(2, QLatin1Char('0'));
            } else if (count == 3) {
                out += locale.monthName(date.month(), QLocale::ShortFormat);
            } else {
                out += locale.monthName(date.month(), QLocale::LongFormat);
            }
            i += count;
            afterHour = false;
            continue;
        }
        case 'd': {
            const qsizetype count = std::min<qsizetype>(run(lower), 6);
            switch (count) {
            case 1:
                out += QString::number(date.day());
                break;
            case 2:
                out += QString::number(date.day()).rightJustified(2, QLatin1Char('0'));
                break;
            case 3:
                out += locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
                break;
            case 4:
                out += locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
                break;
            case 5:
                out += locale.toString(date, QLocale::ShortFormat);
                break;
            default:
                out += locale.toString(date, QLocale::LongFormat);
                break;
            }
            i += count;
            afterHour = false;
            continue;
        }
        case 'c': {
            out += locale.toString(date, QLocale::ShortFormat);
            if (time.msecsSinceStartOfDay() != 0)
                out += QLatin1Char(' ') + locale.toString(time, longTimeFormat(locale));
            ++i;
            afterHour = false;
            continue;
        }
        case 'h': {
            const qsizetype count = std::min<qsizetype>(run(lower), 2);
            out += count == 1 ? QString::number(hour) : QString::number(hour).rightJustified(2, QLatin1Char('0'));
            i += count;
            afterHour = true;
            continue;
        }
        case 'n':
        case 's': {
            const qsizetype count = std::min<qsizetype>(run(lower), 2);
            const int part = lower == QLatin1Char('n') ? time.minute() : time.second();
            out += count == 1 ? QString::number(part) : QString::number(part).rightJustified(2, QLatin1Char('0'));
            i += count;
            afterHour = false;
            continue;
        }
        case 'z': {
            const qsizetype count = run(lower);
            out += count >= 3 ? QString::number(time.msec()).rightJustified(3, QLatin1Char('0'))
                              : QString::number(time.msec());
            i += count >= 3 ? 3 : 1;
            continue;
        }
        case 't': {
            const qsizetype count = std::min<qsizetype>(run(lower), 2);
            out += locale.toString(time, count == 1 ? locale.timeFormat(QLocale::ShortFormat) : longTimeFormat(locale));
            i += count;
            afterHour = false;
            continue;
        }
        default:
            // Blanks and punctuation keep "h" followed by "m" reading as minutes ("hh:mm", "h mm").
            if (c.isLetter())
                afterHour = false;
            out += c;
            ++i;
        }
    }
    return out;
}
