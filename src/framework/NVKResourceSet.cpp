// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKResourceSet.h"

#include "NVKInit.h"
#include "NVKLang.h"
#include "xml/IDMap.h"
#include "xml/MSXMLUtils.h"

#include <QFileInfo>
#include <algorithm>
#include <exception>

namespace {
const char SLocalizationServiceName[] = "NVK:Localization";
const char SPropertyActive[] = "Cannot change property while component is active.";
const char SSetBrackets[] = "Set must be enclosed in brackets";
const char SSetElement[] = "Component \"%s\" not found in base type";
const char SInvalidFloat[] = "'%s' is not a valid floating point value";
const char SSelf[] = "_Self";

// Objects inside objects inside objects: the registry's object properties nest only a level or
// two, so anything deeper is not a real property path.
constexpr int MaxPropertyDepth = 16;

QString attr(const char *name)
{
    return QString::fromLatin1(name);
}

// A decimal 32-bit number with optional sign and surrounding blanks.
bool readDecimal(const QString &text, int &value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (!(c.isDigit() && c.unicode() < 128) && !(i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+'))))
            return false;
    }
    bool ok = false;
    value = trimmed.toInt(&ok);
    return ok;
}

bool looksHexadecimal(const QString &text)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+')))
        t.remove(0, 1);
    if (t.size() < 2 || t.size() > 9 || t.at(0) != QLatin1Char('$'))
        return false;
    for (qsizetype i = 1; i < t.size(); ++i) {
        const char16_t c = t.at(i).unicode();
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

// A value of an identifier-mapped type: one of its names, a "$" hex number or a decimal number.
bool readIdent(const QString &typeName, const QString &text, int &value)
{
    if (readDecimal(text, value))
        return true;
    const int mapped = IdentToInt(typeName, text.trimmed());
    QString name;
    if (IntToIdent(typeName, mapped, name) && name.compare(text.trimmed(), Qt::CaseInsensitive) == 0) {
        value = mapped;
        return true;
    }
    if (looksHexadecimal(text)) {
        value = mapped;
        return true;
    }
    return false;
}

// 'x', '''' or #nnn.
bool readCharacter(const QString &text, QChar &value)
{
    if (text.size() == 3 && text.at(0) == QLatin1Char('\'') && text.at(2) == QLatin1Char('\'') &&
        text.at(1) != QLatin1Char('\'')) {
        value = text.at(1);
        return true;
    }
    if (text == QLatin1String("''''")) {
        value = QLatin1Char('\'');
        return true;
    }
    if (text.size() > 1 && text.at(0) == QLatin1Char('#')) {
        int code = 0;
        if (!readDecimal(text.mid(1), code) || code < 0 || code > 0xFFFF || text.at(1) == QLatin1Char('-') ||
            text.at(1) == QLatin1Char('+'))
            return false;
        value = QChar(char16_t(code));
        return true;
    }
    return false;
}

int indexOfName(const QStringList &names, const QString &name)
{
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

void commitHeld(QObject *object)
{
    if (auto *holder = qobject_cast<TNVKValueHolder *>(object))
        holder->Commit();
}
} // namespace

QStringList NVKSplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

// ---- TNVKCustomResourceSet ----

TNVKCustomResourceSet::TNVKCustomResourceSet(QObject *owner)
    : TNVKCustomServiceAccess(owner, QString::fromLatin1(SLocalizationServiceName))
{
}

TNVKCustomResourceSet::~TNVKCustomResourceSet()
{
    DeactivateForDestruction();
    // The managers' ResourceSet properties become empty; each drops its link.
    const QList<TNVKResourceSetLink *> links = std::exchange(FLinks, {});
    for (TNVKResourceSetLink *link : links) {
        link->FResourceSet = nullptr;
        link->Manager()->SetResourceSet(nullptr);
    }
}

void TNVKCustomResourceSet::SetNvkName(const QString &value)
{
    if (value == FNvkName)
        return;
    if (Active() && !IsLoading() && !IsDesigning())
        throw ENVKError(QString::fromLatin1(SPropertyActive));
    FNvkName = value;
}

void TNVKCustomResourceSet::Reload()
{
    const QString fileName = GetResourceFileName();
    if (fileName == FFileName)
        return;
    FDocument.reset();
    FStrings.clear();
    FLoadTried = false;
    FFileName = fileName;
    NotifyLinks();
}

void TNVKCustomResourceSet::NotifyLinks()
{
    // One broken form must not leave the others in the old language: update all, then report.
    std::exception_ptr failure;
    const QList<TNVKResourceSetLink *> links = FLinks;
    for (TNVKResourceSetLink *link : links) {
        if (!FLinks.contains(link))
            continue;
        try {
            link->Manager()->Update();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

bool TNVKCustomResourceSet::InternalActivate()
{
    if (!TNVKCustomServiceAccess::InternalActivate())
        return false;
    try {
        Reload();
    } catch (...) {
        InternalDeactivate();
        throw;
    }
    return true;
}

void TNVKCustomResourceSet::ServiceNotify(int code, const INVKUnknownPtr &param)
{
    if (code == NVK_LANGUAGE_RELOAD)
        Reload();
    TNVKCustomServiceAccess::ServiceNotify(code, param);
    if (code == NVK_LANGUAGE_CHANGED)
        Q_EMIT languageChanged();
}

const TMSXMLDocument *TNVKCustomResourceSet::Document() const
{
    if (!FLoadTried) {
        FLoadTried = true;
        if (!FFileName.isEmpty() && QFileInfo(FFileName).isFile()) {
            auto document = std::make_shared<TMSXMLDocument>();
            try {
                document->LoadFromFile(FFileName);
                FDocument = document;
            } catch (const Exception &) {
                // An unreadable language file means the built-in texts, without a message.
            }
        }
        if (FDocument) {
            // Indexed once: forms ask for texts each time they show one.
            const TMSXMLNode strings = FindChild(FDocument->GetDocument().DocumentElement(), attr("ResourceStrings"));
            if (strings) {
                TMSXMLIterator it(strings, attr("String"));
                while (it.Next()) {
                    const QString id = it.Current().GetAttribute(attr("ID"));
                    if (!FStrings.contains(id))
                        FStrings.insert(id, it.Current().Text());
                }
            }
        }
    }
    return FDocument.get();
}

QString TNVKCustomResourceSet::GetString(const QString &name, const QString &defaultValue) const
{
    if (!Document())
        return defaultValue;
    const QString text = FStrings.value(name);
    return text.isEmpty() ? defaultValue : text;
}

TMSXMLNode TNVKCustomResourceSet::FindContainer(const QString &className) const
{
    const TMSXMLDocument *document = Document();
    if (!document)
        return {};
    return FindChildByAttr(document->GetDocument().DocumentElement(), attr("Container"), attr("class"), className);
}

// ---- TNVKResourceSet ----

TNVKResourceSet::TNVKResourceSet(QObject *owner) : TNVKCustomResourceSet(owner) {}

QString TNVKResourceSet::GetResourceFileName() const
{
    if (!Core())
        return QString();
    const INVKLocalizationServicePtr service = LocalizationService();
    if (!service)
        return QString();
    const int index = service->GetLanguageIndex();
    const QString language = service->GetLanguage(index);
    if (language.isEmpty())
        return QString();
    return service->GetLanguagePath(index) + language + QLatin1Char('/') + NvkName() + QLatin1String(".xlg");
}

// ---- TNVKResourceSetLink ----

TNVKResourceSetLink::~TNVKResourceSetLink()
{
    SetResourceSet(nullptr);
}

void TNVKResourceSetLink::SetResourceSet(TNVKCustomResourceSet *value)
{
    if (value == FResourceSet)
        return;
    if (FResourceSet)
        FResourceSet->FLinks.removeAll(this);
    FResourceSet = value;
    if (FResourceSet)
        FResourceSet->FLinks.append(this);
}

// ---- TNVKCustomResourceManager ----

TNVKCustomResourceManager::TNVKCustomResourceManager(QObject *owner) : QObject(owner) {}

TNVKCustomResourceManager::~TNVKCustomResourceManager() = default;

TNVKCustomResourceSet *TNVKCustomResourceManager::ResourceSet() const
{
    return FLink ? FLink->ResourceSet() : nullptr;
}

void TNVKCustomResourceManager::SetResourceSet(TNVKCustomResourceSet *value)
{
    if (!value) {
        FLink.reset();
        return;
    }
    if (!FLink)
        FLink = std::make_unique<TNVKResourceSetLink>(this);
    FLink->SetResourceSet(value);
}

void TNVKCustomResourceManager::Loaded()
{
    Update();
}

void TNVKCustomResourceManager::Update()
{
    bool cancel = false;
    Q_EMIT beforeUpdate(cancel);
    if (cancel)
        return;
    Translate();
    Q_EMIT afterUpdate();
}

QString TNVKCustomResourceManager::GetString(const QString &name, const QString &defaultValue) const
{
    const TNVKCustomResourceSet *set = ResourceSet();
    return set ? set->GetString(name, defaultValue) : defaultValue;
}

void TNVKCustomResourceManager::Translate()
{
    const TNVKCustomResourceSet *set = ResourceSet();
    QObject *owner = parent();
    if (!set || !owner)
        return;
    // A form derived from another takes its base's texts first, then its own: what forms share is
    // translated once.
    QList<const QMetaObject *> classes;
    for (const QMetaObject *meta = owner->metaObject(); meta; meta = meta->superClass())
        classes.prepend(meta);
    for (const QMetaObject *meta : std::as_const(classes)) {
        const TMSXMLNode container = set->FindContainer(QString::fromLatin1(meta->className()));
        if (!container)
            continue;
        TMSXMLIterator components(container, attr("Component"));
        while (components.Next()) {
            const TMSXMLNode component = components.Current();
            if (QObject *target = FindTarget(component.GetAttribute(attr("name"))))
                ApplyProperties(component, target, 0);
        }
    }
}

QObject *TNVKCustomResourceManager::FindTarget(const QString &name) const
{
    QObject *owner = parent();
    if (!owner || name.isEmpty())
        return nullptr;
    if (name == QLatin1String(SSelf) || owner->objectName().compare(name, Qt::CaseInsensitive) == 0)
        return owner;
    // Depth first in creation order, without recursion: widget trees can be deep.
    QList<QObject *> pending(owner->children().crbegin(), owner->children().crend());
    while (!pending.isEmpty()) {
        QObject *object = pending.takeLast();
        if (object == this)
            continue;
        if (object->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return object;
        const QObjectList &children = object->children();
        const bool ownContainer = std::any_of(children.cbegin(), children.cend(), [](QObject *child) {
            return qobject_cast<TNVKCustomResourceManager *>(child) != nullptr;
        });
        if (!ownContainer)
            pending.append(QList<QObject *>(children.crbegin(), children.crend()));
    }
    return nullptr;
}

void TNVKCustomResourceManager::ApplyProperties(const TMSXMLNode &element, QObject *object)
{
    ApplyProperties(element, object, 0);
}

void TNVKCustomResourceManager::ApplyProperties(const TMSXMLNode &element, QObject *object, int depth)
{
    if (!object || depth > MaxPropertyDepth)
        return;
    TMSXMLIterator properties(element, attr("Property"));
    while (properties.Next()) {
        const TMSXMLNode property = properties.Current();
        const TNVKPropertyInfo *info =
            TNVKPropertyRegistry::Instance().Find(object, property.GetAttribute(attr("name")));
        if (!info)
            continue;
        switch (info->Kind) {
        case TNVKPropertyKind::StringList:
            if (info->Write)
                info->Write(object, NVKSplitLines(property.Text()));
            break;
        case TNVKPropertyKind::Collection: {
            if (!info->Count || !info->GetItem)
                break;
            TMSXMLIterator items(property, attr("Item"));
            while (items.Next()) {
                int index = -1;
                // The count is asked again for each item: applying one may change the collection.
                if (!readDecimal(items.Current().GetAttribute(attr("index")), index) || index < 0 ||
                    index >= info->Count(object))
                    continue;
                const std::shared_ptr<QObject> item = info->GetItem(object, index);
                if (!item)
                    continue;
                ApplyProperties(items.Current(), item.get(), depth + 1);
                commitHeld(item.get());
            }
            break;
        }
        case TNVKPropertyKind::Object: {
            const std::shared_ptr<QObject> held = info->GetObject ? info->GetObject(object) : nullptr;
            if (!held)
                break;
            ApplyProperties(property, held.get(), depth + 1);
            commitHeld(held.get());
            break;
        }
        default:
            SetPropertyFromText(object, *info, property.Text());
            break;
        }
    }
}

void TNVKCustomResourceManager::SetPropertyFromText(QObject *object, const TNVKPropertyInfo &property,
                                                    const QString &text)
{
    if (!property.Write)
        return;
    switch (property.Kind) {
    case TNVKPropertyKind::Integer: {
        int value = 0;
        const bool ok =
            IndexOfType(property.TypeName) >= 0 ? readIdent(property.TypeName, text, value) : readDecimal(text, value);
        if (ok)
            property.Write(object, value);
        break;
    }
    case TNVKPropertyKind::Character: {
        QChar value;
        if (readCharacter(text, value))
            property.Write(object, QVariant::fromValue(value));
        break;
    }
    case TNVKPropertyKind::Enumeration: {
        int value = -1;
        if (IndexOfType(property.TypeName) >= 0) {
            if (!readIdent(property.TypeName, text, value))
                break;
        } else {
            value = indexOfName(property.ValueNames, text.trimmed());
            if (value < 0)
                break;
        }
        property.Write(object, value);
        break;
    }
    case TNVKPropertyKind::Float: {
        bool ok = false;
        const double value = text.trimmed().toDouble(&ok);
        if (!ok)
            throw EConvertError(NVKFormatS(QString::fromLatin1(SInvalidFloat), {text}));
        property.Write(object, value);
        break;
    }
    case TNVKPropertyKind::Text:
        property.Write(object, text);
        break;
    case TNVKPropertyKind::Set: {
        const QString trimmed = text.trimmed();
        if (!trimmed.startsWith(QLatin1Char('[')) || !trimmed.endsWith(QLatin1Char(']')) || trimmed.size() < 2)
            throw ENVKError(QString::fromLatin1(SSetBrackets));
        quint32 value = 0;
        const QStringList names = trimmed.mid(1, trimmed.size() - 2).split(QLatin1Char(','));
        for (const QString &raw : names) {
            const QString name = raw.trimmed();
            if (name.isEmpty())
                continue;
            const int bit = indexOfName(property.ValueNames, name);
            if (bit < 0 || bit >= 32)
                throw ENVKError(NVKFormatS(QString::fromLatin1(SSetElement), {name}));
            value |= quint32(1) << bit;
        }
        property.Write(object, value);
        break;
    }
    case TNVKPropertyKind::StringList:
        property.Write(object, NVKSplitLines(text));
        break;
    case TNVKPropertyKind::Collection:
    case TNVKPropertyKind::Object:
        break;
    }
}
