// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfObjects.h"

#include "QBRtfCodePages.h"
#include "QBRtfTokenizer.h"

#include <QtEndian>

namespace {

constexpr quint32 OleVersion = 0x0501;
constexpr quint32 FormatEmbedded = 2;
constexpr char PackageClass[] = "Package";
constexpr qint64 TwipsPerPixel = 15;

void PutU16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void PutU32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// Characters the ANSI code page lacks become '_': the UTF-16 copy carries the real name.
QByteArray Ansi(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        unsigned char byte = 0;
        if (c.unicode() < 0x80)
            byte = uchar(c.unicode());
        else if (!QBRtfCodePage::EncodeChar(QBRtfCodePage::Ansi, c.unicode(), byte))
            byte = '_';
        out.append(char(byte ? byte : '_'));
    }
    return out;
}

void PutUtf16(QByteArray &out, const QString &text)
{
    PutU32(out, quint32(text.size()));
    for (const QChar c : text)
        PutU16(out, c.unicode());
}

// Reads little-endian values and strings from untrusted bytes; any read past the end fails the reader.
class TReader
{
public:
    explicit TReader(QByteArrayView data) : FData(data) {}

    bool Ok() const { return FOk; }
    qsizetype Left() const { return FOk ? FData.size() - FPos : 0; }

    quint32 U32()
    {
        if (!Need(4))
            return 0;
        const quint32 v = qFromLittleEndian<quint32>(FData.data() + FPos);
        FPos += 4;
        return v;
    }
    quint16 U16()
    {
        if (!Need(2))
            return 0;
        const quint16 v = qFromLittleEndian<quint16>(FData.data() + FPos);
        FPos += 2;
        return v;
    }
    QByteArrayView Bytes(qint64 count)
    {
        if (count < 0 || !Need(count))
            return {};
        const QByteArrayView v = FData.sliced(FPos, count);
        FPos += count;
        return v;
    }
    // A string up to its terminating zero.
    QByteArrayView ZeroTerminated()
    {
        if (!FOk)
            return {};
        const qsizetype end = FData.indexOf('\0', FPos);
        if (end < 0) {
            FOk = false;
            return {};
        }
        const QByteArrayView v = FData.sliced(FPos, end - FPos);
        FPos = end + 1;
        return v;
    }
    // A length, counting the terminating zero, then the string.
    QByteArrayView LengthPrefixed()
    {
        QByteArrayView v = Bytes(U32());
        if (v.endsWith('\0'))
            v.chop(1);
        return v;
    }
    QString Utf16()
    {
        const quint32 count = U32();
        const QByteArrayView bytes = Bytes(qint64(count) * 2);
        QString text(qsizetype(bytes.size() / 2), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(qFromLittleEndian<quint16>(bytes.data() + 2 * i));
        return text;
    }

private:
    bool Need(qint64 count)
    {
        if (FOk && count > FData.size() - FPos)
            FOk = false;
        return FOk;
    }

    QByteArrayView FData;
    qsizetype FPos = 0;
    bool FOk = true;
};

QString DecodeAnsi(QByteArrayView bytes)
{
    QString text;
    QBRtfCodePage::Decode(QBRtfCodePage::Ansi, bytes, text);
    return text;
}

QString BaseName(const QString &path)
{
    const qsizetype slash = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

void AppendHex(QByteArray &out, QByteArrayView data)
{
    static const char hex[] = "0123456789abcdef";
    out.reserve(out.size() + data.size() * 2 + data.size() / 64 + 2);
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (i % 64 == 0)
            out += '\n';
        const auto b = static_cast<unsigned char>(data[i]);
        out += hex[b >> 4];
        out += hex[b & 15];
    }
    out += '\n';
}

} // namespace

namespace QBRtfObjects {

QByteArray PackageData(const QString &fileName, QByteArrayView data)
{
    const QString name = SafeFileName(fileName);
    const QByteArray ansi = Ansi(name);

    QByteArray native;
    native.reserve(data.size() + 6 * name.size() + 64);
    PutU16(native, 2);
    native += ansi;
    native += '\0';
    native += ansi; // where the file came from: the name alone, no folder of this machine
    native += '\0';
    PutU16(native, 0);
    PutU16(native, 3); // an embedded file, not a command line
    PutU32(native, quint32(ansi.size() + 1));
    native += ansi;
    native += '\0';
    PutU32(native, quint32(data.size()));
    native += data;
    PutUtf16(native, name);
    PutUtf16(native, name);
    PutUtf16(native, name);

    QByteArray out;
    PutU32(out, OleVersion);
    PutU32(out, FormatEmbedded);
    PutU32(out, sizeof(PackageClass));
    out.append(PackageClass, sizeof(PackageClass));
    PutU32(out, 0); // topic
    PutU32(out, 0); // item
    PutU32(out, quint32(native.size()));
    out += native;
    // No presentation: the RTF result picture shows the object.
    PutU32(out, OleVersion);
    PutU32(out, 0);
    return out;
}

std::optional<TQBAttachment> ReadPackage(QByteArrayView objectData)
{
    TReader header(objectData);
    header.U32(); // the version: readers take any
    const quint32 format = header.U32();
    const QByteArrayView className = header.LengthPrefixed();
    header.LengthPrefixed();
    header.LengthPrefixed();
    const QByteArrayView native = header.Bytes(header.U32());
    if (!header.Ok() || format != FormatEmbedded || className != QByteArrayView(PackageClass))
        return std::nullopt;

    TReader reader(native);
    reader.U16();
    const QByteArrayView label = reader.ZeroTerminated();
    const QByteArrayView source = reader.ZeroTerminated();
    reader.U16();
    const quint16 kind = reader.U16();
    const QByteArrayView tempPath = reader.LengthPrefixed();
    const QByteArrayView data = reader.Bytes(reader.U32());
    if (!reader.Ok() || kind != 3)
        return std::nullopt;

    TQBAttachment attachment;
    attachment.Data = data.toByteArray();
    // The UTF-16 names that newer packagers add come after the data; older files have the ANSI ones only.
    QString unicodeName;
    if (reader.Left() >= 12) {
        reader.Utf16();
        const QString unicodeLabel = reader.Utf16();
        const QString unicodePath = reader.Utf16();
        if (reader.Ok())
            unicodeName = !unicodePath.isEmpty() ? BaseName(unicodePath) : unicodeLabel;
    }
    QString name = unicodeName;
    for (const QByteArrayView candidate : {tempPath, source, label}) {
        if (name.isEmpty())
            name = BaseName(DecodeAnsi(candidate));
    }
    attachment.FileName = SafeFileName(name);
    return attachment;
}

QByteArray AttachmentRtf(const TQBAttachment &attachment, QByteArrayView png, QSize pixels, QSize shown)
{
    const QByteArray width = QByteArray::number(qint64(shown.width()) * TwipsPerPixel);
    const QByteArray height = QByteArray::number(qint64(shown.height()) * TwipsPerPixel);
    QByteArray rtf = "{\\object\\objemb{\\*\\objclass Package}\\objw" + width + "\\objh" + height + "{\\*\\objdata";
    AppendHex(rtf, PackageData(attachment.FileName, attachment.Data));
    rtf += "}{\\result{\\pict\\pngblip\\picw" + QByteArray::number(pixels.width()) + "\\pich" +
           QByteArray::number(pixels.height()) + "\\picwgoal" + width + "\\pichgoal" + height;
    AppendHex(rtf, png);
    rtf += "}}}";
    return rtf;
}

std::optional<TQBAttachment> AttachmentFromRtf(QByteArrayView group)
{
    TQBRtfTokenizer tokenizer(group);
    TQBRtfToken token;
    QByteArray className;
    QByteArray data;
    int depth = 0;
    int classDepth = -1, dataDepth = -1;
    int nibble = -1;
    while (tokenizer.Next(token)) {
        switch (token.Kind) {
        case TQBRtfTokenKind::GroupStart:
            ++depth;
            break;
        case TQBRtfTokenKind::GroupEnd:
            if (depth == classDepth)
                classDepth = -1;
            if (depth == dataDepth)
                dataDepth = -1;
            --depth;
            break;
        case TQBRtfTokenKind::ControlWord:
            if (IsWord(token, "objclass") && classDepth < 0 && dataDepth < 0)
                classDepth = depth;
            else if (IsWord(token, "objdata") && classDepth < 0 && dataDepth < 0)
                dataDepth = depth;
            break;
        case TQBRtfTokenKind::Text:
            if (depth == classDepth) {
                className += token.Data;
            } else if (depth == dataDepth) {
                for (const char c : token.Data) {
                    const int v = c >= '0' && c <= '9'   ? c - '0'
                                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                         : -1;
                    if (v < 0)
                        continue;
                    if (nibble < 0) {
                        nibble = v;
                    } else {
                        data += char(nibble * 16 + v);
                        nibble = -1;
                    }
                }
            }
            break;
        case TQBRtfTokenKind::Binary:
            if (depth == dataDepth)
                data += token.Data;
            break;
        default:
            break;
        }
    }
    if (className.trimmed() != QByteArrayView(PackageClass))
        return std::nullopt;
    return ReadPackage(data);
}

bool IsAttachmentRtf(QByteArrayView group)
{
    // Only the start is looked at: the class comes before the data.
    const QByteArrayView head = group.first(qMin<qsizetype>(group.size(), 512));
    const qsizetype word = head.indexOf("\\objclass");
    if (word < 0)
        return false;
    QByteArrayView rest = head.sliced(word + 9);
    while (!rest.isEmpty() && (rest.front() == ' ' || rest.front() == '\r' || rest.front() == '\n'))
        rest = rest.sliced(1);
    return rest.startsWith(PackageClass) && rest.sliced(sizeof(PackageClass) - 1).trimmed().startsWith('}');
}

QString SafeFileName(const QString &name)
{
    QString safe;
    safe.reserve(name.size());
    for (const QChar c : BaseName(name)) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char(':'))
            safe += QLatin1Char('_');
        else
            safe += c;
    }
    safe = safe.trimmed();
    while (safe.startsWith(QLatin1Char('.')))
        safe.remove(0, 1);
    if (safe.size() > 200)
        safe = safe.left(100) + safe.right(100);
    return safe.isEmpty() ? QStringLiteral("attachment") : safe;
}

} // namespace QBRtfObjects
