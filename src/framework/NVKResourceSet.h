// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "NVKAccess.h"
#include "NVKProperties.h"
#include "xml/MSXMLDoc.h"

#include <QHash>
#include <array>

class TNVKCustomResourceManager;
class TNVKResourceSetLink;

// A text that should have been a number of the kind a property needs.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

// Finds and reads the current language's file for one program and hands out its texts. It follows
// the localization service: when the language changes it reloads and tells its resource managers.
class TNVKCustomResourceSet : public TNVKCustomServiceAccess
{
    Q_OBJECT

public:
    explicit TNVKCustomResourceSet(QObject *owner = nullptr);
    ~TNVKCustomResourceSet() override;

    // The program's base name in the language file's name ("qb.exe"). Raises ENVKError when
    // changed while the component is active.
    QString NvkName() const { return FNvkName; }
    void SetNvkName(const QString &value);

    // The language file in use; empty when there is none.
    QString FileName() const { return FFileName; }

    // The text of ResourceStrings/String with that ID in the language file; defaultValue when
    // there is no readable file, no such entry, or the entry is empty.
    QString GetString(const QString &name, const QString &defaultValue) const;
    // The file's Container element for the class, or none.
    TMSXMLNode FindContainer(const QString &className) const;

    // Recomputes the file name; when it changed, drops the parsed file and updates every
    // linked resource manager (all of them, then the first failure is raised).
    virtual void Reload();

Q_SIGNALS:
    // The service switched language and this set has reloaded.
    void languageChanged();

protected:
    // The file this set should read now; empty when there is none.
    virtual QString GetResourceFileName() const = 0;
    virtual void NotifyLinks();
    bool InternalActivate() override;
    void ServiceNotify(int code, const INVKUnknownPtr &param) override;

private:
    friend class TNVKResourceSetLink;
    // The parsed file, read on first use; null when there is no file or it did not load.
    const TMSXMLDocument *Document() const;

    QString FNvkName;
    QList<TNVKResourceSetLink *> FLinks;
    QString FFileName;
    mutable std::shared_ptr<TMSXMLDocument> FDocument;
    mutable QHash<QString, QString> FStrings;
    mutable bool FLoadTried = false;
};

// The language file of the current language of the "NVK:Localization" service:
// <base path><language>/<NvkName>.xlg.
class TNVKResourceSet : public TNVKCustomResourceSet
{
    Q_OBJECT

public:
    explicit TNVKResourceSet(QObject *owner = nullptr);

protected:
    QString GetResourceFileName() const override;
};

// Joins one resource manager to one resource set; the set knows its links so it can update the
// managers and clear them when it goes away.
class TNVKResourceSetLink
{
public:
    explicit TNVKResourceSetLink(TNVKCustomResourceManager *manager) : FManager(manager) {}
    ~TNVKResourceSetLink();
    TNVKResourceSetLink(const TNVKResourceSetLink &) = delete;
    TNVKResourceSetLink &operator=(const TNVKResourceSetLink &) = delete;

    TNVKCustomResourceManager *Manager() const { return FManager; }
    TNVKCustomResourceSet *ResourceSet() const { return FResourceSet; }
    // Leaves the old set's links and joins the new one's (null: none).
    void SetResourceSet(TNVKCustomResourceSet *value);

private:
    friend class TNVKCustomResourceSet;
    TNVKCustomResourceManager *FManager;
    TNVKCustomResourceSet *FResourceSet = nullptr;
};

// Design-time parameters for exporting a language file skeleton; kept, never acted on.
struct TNVKLocalizerParams
{
    std::array<bool, 8> Options{};
    QString OutputFolder;
    QString LanguageFile;
};

// Applies its resource set's Container for the owner's class to the owner and to the objects the
// owner contains (by objectName), and hands out texts by name. The owner is the parent object;
// its class name (from Q_OBJECT) names the container.
class TNVKCustomResourceManager : public QObject
{
    Q_OBJECT

public:
    explicit TNVKCustomResourceManager(QObject *owner = nullptr);
    ~TNVKCustomResourceManager() override;

    TNVKCustomResourceSet *ResourceSet() const;
    // Null frees the link. The property empties itself when the set is destroyed.
    void SetResourceSet(TNVKCustomResourceSet *value);

    const TNVKLocalizerParams &Params() const { return FParams; }
    void SetParams(const TNVKLocalizerParams &value) { FParams = value; }

    // The container's loaded hook: call once the owner has created all its objects. Runs Update.
    virtual void Loaded();
    // beforeUpdate (cancellable), Translate, afterUpdate. Malformed values raise out of it.
    void Update();
    // The resource set's text, or defaultValue without a set.
    QString GetString(const QString &name, const QString &defaultValue) const;

Q_SIGNALS:
    void beforeUpdate(bool &cancel);
    void afterUpdate();

protected:
    virtual void Translate();
    // Applies the Property children of element to object; unknown names are skipped.
    virtual void ApplyProperties(const TMSXMLNode &element, QObject *object);
    // Converts text by the property's kind and sets it; see TNVKPropertyKind.
    virtual void SetPropertyFromText(QObject *object, const TNVKPropertyInfo &property, const QString &text);
    // The object a Component element names: the owner for "_Self" or its own name, else the first
    // object inside the owner with that objectName (letter case ignored), not looking inside
    // objects that have a resource manager of their own; null when none.
    QObject *FindTarget(const QString &name) const;

private:
    void ApplyProperties(const TMSXMLNode &element, QObject *object, int depth);

    std::unique_ptr<TNVKResourceSetLink> FLink;
    TNVKLocalizerParams FParams;
};

// Splits a text into lines as string lists take it: at CR LF, CR or LF; a final line break adds no item.
QStringList NVKSplitLines(const QString &text);
