// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <type_traits>

// The properties language files set, by class. Language files name properties as the forms'
// designers knew them ("Caption", "Hint", "Font"); the registry maps each name to a kind and to
// the code that sets it on a Qt object. Lookup walks the object's class chain, so a property
// registered for QWidget serves every widget and one registered for QLabel overrides it there.

enum class TNVKPropertyKind {
    Integer,     // int: a decimal number, or for TypeName a name or "$" hex number of that type
    Character,   // QChar: 'x', '''' or #nnn
    Enumeration, // int: the position of the value's name in ValueNames, or IdentToInt for TypeName
    Float,       // double: a decimal number; anything else raises EConvertError
    Text,        // QString, unchanged
    Set,         // quint32: bit n set for ValueNames[n]; written "[name, name]"
    StringList,  // QStringList: one item per line of the text
    Collection,  // items addressed by index, each an object with its own properties
    Object,      // an object with its own properties (a font)
};

struct TNVKPropertyInfo
{
    QString Name;
    TNVKPropertyKind Kind = TNVKPropertyKind::Text;
    // Integer and Enumeration: an identifier map type ("TColor"); empty for plain numbers.
    QString TypeName;
    // Enumeration and Set: the value names in ordinal order (at most 32 for a set).
    QStringList ValueNames;
    // Scalar kinds and StringList: receives the value converted as the kind says.
    std::function<void(QObject *target, const QVariant &value)> Write;
    // Object: the held object, or empty to skip the property.
    std::function<std::shared_ptr<QObject>(QObject *target)> GetObject;
    // Collection: the number of items and the item at an index (0 .. count - 1).
    std::function<int(QObject *target)> Count;
    std::function<std::shared_ptr<QObject>(QObject *target, int index)> GetItem;
};

// An object that stands for a value a property holds (a widget's font): properties are applied to
// the holder, and Commit writes the whole value back once all of them were applied without error.
class TNVKValueHolder : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    virtual void Commit() = 0;
};

class TNVKPropertyRegistry
{
public:
    // The program-wide registry (main thread only).
    static TNVKPropertyRegistry &Instance();

    // Adds the property to the class; one of the same name (letter case ignored) is replaced.
    void Register(const QMetaObject &cls, const TNVKPropertyInfo &info);
    // The property of target's class or nearest base class with that name (letter case ignored); null when none.
    const TNVKPropertyInfo *Find(const QObject *target, const QString &name) const;

private:
    QHash<const QMetaObject *, QList<TNVKPropertyInfo>> FClasses;
};

// One-line registrations. T is the class (a QObject descendant) the property belongs to.
template <class T, class V>
void NVKRegisterScalar(const QString &name, TNVKPropertyKind kind, std::function<void(T *, V)> set,
                       const QString &typeName = QString(), const QStringList &valueNames = QStringList())
{
    TNVKPropertyInfo info;
    info.Name = name;
    info.Kind = kind;
    info.TypeName = typeName;
    info.ValueNames = valueNames;
    info.Write = [set](QObject *o, const QVariant &v) { set(static_cast<T *>(o), v.value<std::decay_t<V>>()); };
    TNVKPropertyRegistry::Instance().Register(T::staticMetaObject, info);
}

template <class T> void NVKRegisterText(const QString &name, std::function<void(T *, const QString &)> set)
{
    NVKRegisterScalar<T, const QString &>(name, TNVKPropertyKind::Text, set);
}

// typeName: an identifier map type ("TColor") whose names the value may be written as.
template <class T>
void NVKRegisterInteger(const QString &name, std::function<void(T *, int)> set, const QString &typeName = QString())
{
    NVKRegisterScalar<T, int>(name, TNVKPropertyKind::Integer, set, typeName);
}

template <class T>
void NVKRegisterEnumeration(const QString &name, const QStringList &values, std::function<void(T *, int)> set)
{
    NVKRegisterScalar<T, int>(name, TNVKPropertyKind::Enumeration, set, QString(), values);
}

template <class T> void NVKRegisterBoolean(const QString &name, std::function<void(T *, bool)> set)
{
    NVKRegisterEnumeration<T>(name, {QStringLiteral("False"), QStringLiteral("True")},
                              [set](T *o, int value) { set(o, value != 0); });
}

template <class T>
void NVKRegisterSet(const QString &name, const QStringList &values, std::function<void(T *, quint32)> set)
{
    NVKRegisterScalar<T, quint32>(name, TNVKPropertyKind::Set, set, QString(), values);
}

template <class T> void NVKRegisterFloat(const QString &name, std::function<void(T *, double)> set)
{
    NVKRegisterScalar<T, double>(name, TNVKPropertyKind::Float, set);
}

template <class T> void NVKRegisterCharacter(const QString &name, std::function<void(T *, QChar)> set)
{
    NVKRegisterScalar<T, QChar>(name, TNVKPropertyKind::Character, set);
}

template <class T> void NVKRegisterStrings(const QString &name, std::function<void(T *, const QStringList &)> set)
{
    NVKRegisterScalar<T, const QStringList &>(name, TNVKPropertyKind::StringList, set);
}

template <class T> void NVKRegisterObject(const QString &name, std::function<std::shared_ptr<QObject>(T *)> get)
{
    TNVKPropertyInfo info;
    info.Name = name;
    info.Kind = TNVKPropertyKind::Object;
    info.GetObject = [get](QObject *o) { return get(static_cast<T *>(o)); };
    TNVKPropertyRegistry::Instance().Register(T::staticMetaObject, info);
}

template <class T>
void NVKRegisterCollection(const QString &name, std::function<int(T *)> count,
                           std::function<std::shared_ptr<QObject>(T *, int)> item)
{
    TNVKPropertyInfo info;
    info.Name = name;
    info.Kind = TNVKPropertyKind::Collection;
    info.Count = [count](QObject *o) { return count(static_cast<T *>(o)); };
    info.GetItem = [item](QObject *o, int index) { return item(static_cast<T *>(o), index); };
    TNVKPropertyRegistry::Instance().Register(T::staticMetaObject, info);
}

// An existing object handed out by an Object or Collection property without taking ownership.
inline std::shared_ptr<QObject> NVKBorrowed(QObject *object)
{
    return std::shared_ptr<QObject>(object, [](QObject *) {});
}
