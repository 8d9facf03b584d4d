// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "framework/NVKFormat.h"

#include <QTest>

class TestNVKFormat : public QObject
{
    Q_OBJECT

    const QLocale FUS{QLocale::English, QLocale::UnitedStates};
    const QLocale FDE{QLocale::German, QLocale::Germany};

private Q_SLOTS:
    void format_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("expected");

        const auto row = [](const char *name, const char *pattern, const QVariantList &args, const QString &expected) {
            QTest::newRow(name) << QString::fromUtf8(pattern) << args << expected;
        };
        row("text", "Document '%s' has been changed.", {QStringLiteral("a.xqb")},
            QStringLiteral("Document 'a.xqb' has been changed."));
        row("integers", "%d of %d, %u", {3, -12, -1}, QStringLiteral("3 of -12, 4294967295"));
        row("hex", "%x %.4x", {255, 10}, QStringLiteral("FF 000A"));
        row("fixed", "%f|%.2f|%.0f|%.3f", {1.5, 2.345, 2.5, 1}, QStringLiteral("1.50|2.35|3|1.000"));
        row("widths", "[%5d][%-5s][%5s][%.2s]", {42, QStringLiteral("ab"), QStringLiteral("ab"), QStringLiteral("abc")},
            QStringLiteral("[   42][ab   ][   ab][ab]"));
        row("star", "[%*d][%.*f]", {4, 7, 1, 3.14159}, QStringLiteral("[   7][3.1]"));
        row("percent", "100%% sure", {}, QStringLiteral("100% sure"));
        row("indexes", "%1:s %0:s %s", {QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral("b a b"));
        row("grouped", "%n", {1234567.891}, QStringLiteral("1,234,567.89"));
        row("scientific", "%e", {1500.0}, QStringLiteral("1.50000000000000E+003"));
        row("general", "%g", {0.5}, QStringLiteral("0.5"));
        row("zero-padded", "%.3d", {-7}, QStringLiteral("-007"));
        // Broken patterns show themselves and never read past the arguments.
        row("too few", "%s and %s and %d", {QStringLiteral("one")}, QStringLiteral("one and %s and %d"));
        row("wrong kind", "%d|%s", {QStringLiteral("x"), 5}, QStringLiteral("%d|%s"));
        row("unknown type", "%q%s", {QStringLiteral("a")}, QStringLiteral("%qa"));
        row("dangling", "50%", {}, QStringLiteral("50%"));
        row("dangling width", "x%-12", {1}, QStringLiteral("x%-12"));
        row("index out of range", "%9:s", {QStringLiteral("a")}, QStringLiteral("%9:s"));
        row("huge width", "%999999999999d", {1}, QStringLiteral("%999999999999d"));
    }

    void format()
    {
        QFETCH(QString, pattern);
        QFETCH(QVariantList, args);
        QFETCH(QString, expected);
        QCOMPARE(Format(pattern, args, FUS), expected);
    }

    void format_usesTheLocalesSeparators()
    {
        QCOMPARE(Format(QStringLiteral("%.2f %n"), {1.5, 1234.5}, FDE), QStringLiteral("1,50 1.234,50"));
    }

    void formatDateTime_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *pattern, const QString &expected) {
            QTest::newRow(pattern) << QString::fromUtf8(pattern) << expected;
        };
        // 2026-03-07 (a Saturday) 14:05:09.045
        row("yyyy-mm-dd hh:nn:ss", QStringLiteral("2026-03-07 14:05:09"));
        row("yy/m/d", QStringLiteral("26/3/7"));
        row("mmmm d, yyyy", QStringLiteral("March 7, 2026"));
        row("ddd mmm dd", QStringLiteral("Sat Mar 07"));
        row("dddd", QStringLiteral("Saturday"));
        row("ddddd", QStringLiteral("3/7/26"));
        row("dddddd", QStringLiteral("Saturday, March 7, 2026"));
        row("h:mm", QStringLiteral("14:05"));
        row("hh:mm am/pm", QStringLiteral("02:05 pm"));
        row("h:nn AM/PM", QStringLiteral("2:05 PM"));
        row("h a/p", QStringLiteral("2 p"));
        row("h ampm", QStringLiteral("2 PM"));
        row("n:s.zzz", QStringLiteral("5:9.045"));
        row("\"Today is\" dddd 'at' hh", QStringLiteral("Today is Saturday at 14"));
        row("c", QStringLiteral("3/7/26 2:05:09\u0020PM"));
        row("t", QStringLiteral("2:05\u0020PM"));
        row("YYYY MM DD", QStringLiteral("2026 03 07"));
        row("'unterminated", QStringLiteral("unterminated"));
    }

    void formatDateTime()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        const TDateTime value = EncodeDateTime(2026, 3, 7, 14, 5, 9, 45);
        QCOMPARE(FormatDateTime(pattern, value, FUS), expected);
    }

    void formatDateTime_followsTheLocale_andRefusesImpossibleValues()
    {
        const TDateTime value = EncodeDateTime(2026, 3, 7, 14, 5, 9);
        QCOMPARE(FormatDateTime(QStringLiteral("dddd d. mmmm yyyy, hh:nn"), value, FDE),
                 QStringLiteral("Samstag 7. März 2026, 14:05"));
        QCOMPARE(FormatDateTime(QStringLiteral("dd/mm/yyyy"), value, FDE), QStringLiteral("07.03.2026"));
        QCOMPARE(FormatDateTime(QStringLiteral("yyyy"), 1e300, FUS), QString());
        QCOMPARE(FormatDateTime(QStringLiteral("c"), EncodeDateTime(2026, 3, 7), FUS), QStringLiteral("3/7/26"));
    }
};

QTEST_GUILESS_MAIN(TestNVKFormat)
#include "tst_NVKFormat.moc"
