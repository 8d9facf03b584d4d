// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "Registry.h"

#include "base/NVKSaveFile.h"

#include <QIODevice>
#include <QMap>
#include <QSaveFile>
#include <QSettings>

namespace {

// A key exists when it holds this entry, so keys without values (just created) exist too.
const QString KeyMarker = QStringLiteral(".");
const char SInvalidDataType[] = "Invalid data type for '%s'";
const char SWriteFailed[] = "Failed to write the registry store '%s'.";
const char SNoCurrentKey[] = "No registry key is open.";

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

// Reads a quoted string starting at text[pos] == '"'; pos ends after the closing quote.
bool unescapeQuoted(const QString &text, qsizetype &pos, QString &out)
{
    if (pos >= text.size() || text[pos] != QLatin1Char('"'))
        return false;
    ++pos;
    while (pos < text.size()) {
        const QChar c = text[pos++];
        if (c == QLatin1Char('"'))
            return true;
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (pos >= text.size())
            return false;
        const QChar e = text[pos++];
        switch (e.unicode()) {
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'u': {
            bool ok = false;
            const ushort code = text.mid(pos, 4).toUShort(&ok, 16);
            if (!ok || pos + 4 > text.size())
                return false;
            out += QChar(code);
            pos += 4;
            break;
        }
        default:
            out += e;
        }
    }
    return false;
}

} // namespace

// The store file: one "[Key\Path]" line per key, then one line per value,
// "Name"=dword:0000002a for integers and "Name"="text" for strings.
bool RegistryReadStore(QIODevice &device, QMap<QString, QVariant> &map)
{
    QString section;
    bool inSection = false;
    while (!device.atEnd()) {
        const QString line = QString::fromUtf8(device.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            // A slash in a damaged file separates keys too: key names never hold one.
            section = line.mid(1, line.size() - 2)
                          .replace(QLatin1Char('/'), QLatin1Char('\\'))
                          .split(QLatin1Char('\\'), Qt::SkipEmptyParts)
                          .join(QLatin1Char('/'));
            inSection = !section.isEmpty();
            if (inSection)
                map.insert(section + QLatin1Char('/') + KeyMarker, true);
            continue;
        }
        // Lines that do not parse are dropped: a damaged store loses a value, never the program.
        qsizetype pos = 0;
        QString name;
        if (!inSection || !unescapeQuoted(line, pos, name) || name.isEmpty() || name.contains(QLatin1Char('/')) ||
            pos >= line.size() || line[pos] != QLatin1Char('='))
            continue;
        ++pos;
        const QString key = section + QLatin1Char('/') + name;
        if (line.mid(pos).startsWith(QLatin1String("dword:"))) {
            bool ok = false;
            const quint32 value = line.mid(pos + 6).toUInt(&ok, 16);
            if (ok)
                map.insert(key, qint32(value));
        } else {
            QString value;
            if (unescapeQuoted(line, pos, value) && pos == line.size())
                map.insert(key, value);
        }
    }
    return true;
}

bool RegistryWriteStore(QIODevice &device, const QMap<QString, QVariant> &map)
{
    // Group the flat map by key path; QMap keeps the paths sorted, so the file is stable.
    QMap<QString, QList<std::pair<QString, QVariant>>> keys;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            continue;
        auto &values = keys[it.key().left(slash)];
        const QString name = it.key().mid(slash + 1);
        if (name != KeyMarker)
            values.append({name, it.value()});
    }
    QByteArray out = "; Quillbox registry\n";
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        out += "\n[" + QString(it.key()).replace(QLatin1Char('/'), QLatin1Char('\\')).toUtf8() + "]\n";
        for (const auto &[name, value] : it.value()) {
            out += '"' + escaped(name).toUtf8() + "\"=";
            if (value.typeId() == QMetaType::Int)
                out += "dword:" + QByteArray::number(quint32(value.toInt()), 16).rightJustified(8, '0');
            else
                out += '"' + escaped(value.toString()).toUtf8() + '"';
            out += '\n';
        }
    }
    // QSettings writes the store through its own QSaveFile, so a planned write fault is met here:
    // refusing makes QSettings drop the temporary, and a cancelled QSaveFile fails its commit.
    auto *file = qobject_cast<QSaveFile *>(&device);
    const TNVKWriteFaultPlan fault = NVKWriteFaultFor(file ? file->fileName() : QString());
    switch (fault.Fault) {
    case TNVKWriteFault::None:
        break;
    case TNVKWriteFault::AtOpen:
        return false;
    case TNVKWriteFault::AfterBytes:
        device.write(out.left(fault.Bytes));
        return false;
    case TNVKWriteFault::AtCommit:
        if (device.write(out) == out.size() && file)
            file->cancelWriting();
        return file != nullptr;
    }
    return device.write(out) == out.size();
}

namespace {

QSettings::Format storeFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("reg"), RegistryReadStore, RegistryWriteStore);
    return format;
}

QString normalizedPath(const QString &key)
{
    return QString(key)
        .replace(QLatin1Char('\\'), QLatin1Char('/'))
        .split(QLatin1Char('/'), Qt::SkipEmptyParts)
        .join(QLatin1Char('/'));
}

} // namespace

TRegistry::TRegistry()
    : FSettings(std::make_unique<QSettings>(storeFormat(), QSettings::UserScope, QStringLiteral("Brindlewood"),
                                            QStringLiteral("Quillbox")))
{
}

TRegistry::~TRegistry() = default;

bool TRegistry::OpenKey(const QString &key, bool canCreate)
{
    const QString path = normalizedPath(key);
    FHasKey = false;
    if (path.isEmpty())
        return false;
    if (!KeyExists(path)) {
        if (!canCreate)
            return false;
        FSettings->setValue(path + QLatin1Char('/') + KeyMarker, true);
    }
    FCurrentPath = path;
    FHasKey = true;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const QString &key)
{
    return OpenKey(key, false);
}

void TRegistry::CloseKey()
{
    if (!FHasKey)
        return;
    FHasKey = false;
    FCurrentPath.clear();
    FSettings->sync();
    if (FSettings->status() != QSettings::NoError)
        throw ERegistryException(NVKFormatS(QString::fromUtf8(SWriteFailed), {FSettings->fileName()}));
}

bool TRegistry::KeyExists(const QString &key) const
{
    const QString path = normalizedPath(key);
    if (path.isEmpty())
        return false;
    FSettings->beginGroup(path);
    const bool exists = !FSettings->allKeys().isEmpty();
    FSettings->endGroup();
    return exists;
}

bool TRegistry::DeleteKey(const QString &key)
{
    const QString path = normalizedPath(key);
    if (!KeyExists(path))
        return false;
    FSettings->remove(path);
    if (FHasKey && (FCurrentPath == path || FCurrentPath.startsWith(path + QLatin1Char('/'))))
        FHasKey = false;
    return true;
}

QStringList TRegistry::GetKeyNames(const QString &key) const
{
    const QString path = key.isEmpty() ? FCurrentPath : normalizedPath(key);
    if (path.isEmpty())
        return {};
    FSettings->beginGroup(path);
    const QStringList names = FSettings->childGroups();
    FSettings->endGroup();
    return names;
}

void TRegistry::RequireKey() const
{
    if (!FHasKey)
        throw ERegistryException(QString::fromUtf8(SNoCurrentKey));
}

QString TRegistry::ValueKey(const QString &name) const
{
    RequireKey();
    // A value name cannot hold the path separator of the store; such names map to no value.
    return FCurrentPath + QLatin1Char('/') + QString(name).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

bool TRegistry::ValueExists(const QString &name) const
{
    return FHasKey && name != KeyMarker && FSettings->contains(ValueKey(name));
}

TRegDataType TRegistry::GetDataType(const QString &name) const
{
    if (!ValueExists(name))
        return rdUnknown;
    const QVariant value = FSettings->value(ValueKey(name));
    if (value.typeId() == QMetaType::Int)
        return rdInteger;
    if (value.typeId() == QMetaType::QString)
        return rdString;
    return rdUnknown;
}

QStringList TRegistry::GetValueNames() const
{
    if (!FHasKey)
        return {};
    FSettings->beginGroup(FCurrentPath);
    QStringList names = FSettings->childKeys();
    FSettings->endGroup();
    names.removeAll(KeyMarker);
    return names;
}

bool TRegistry::DeleteValue(const QString &name)
{
    if (!ValueExists(name))
        return false;
    FSettings->remove(ValueKey(name));
    return true;
}

qint32 TRegistry::ReadInteger(const QString &name) const
{
    if (GetDataType(name) != rdInteger)
        throw ERegistryException(NVKFormatS(QString::fromUtf8(SInvalidDataType), {name}));
    return FSettings->value(ValueKey(name)).toInt();
}

QString TRegistry::ReadString(const QString &name) const
{
    switch (GetDataType(name)) {
    case rdString:
        return FSettings->value(ValueKey(name)).toString();
    case rdUnknown:
        if (!ValueExists(name))
            return {};
        [[fallthrough]];
    default:
        throw ERegistryException(NVKFormatS(QString::fromUtf8(SInvalidDataType), {name}));
    }
}

void TRegistry::WriteInteger(const QString &name, qint32 value)
{
    FSettings->setValue(ValueKey(name), value);
}

void TRegistry::WriteString(const QString &name, const QString &value)
{
    FSettings->setValue(ValueKey(name), value);
}

void TRegistry::SetStoreFolder(const QString &folder)
{
    QSettings::setPath(storeFormat(), QSettings::UserScope, folder);
}

QString TRegistry::StoreFileName()
{
    return QSettings(storeFormat(), QSettings::UserScope, QStringLiteral("Brindlewood"), QStringLiteral("Quillbox"))
        .fileName();
}
