#include "localisation/mlPropInfo.h"

#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Strings.h"

#include <QMetaObject>
#include <QObject>
#include <QStringList>

namespace vx {

TmlPropInfoList::TmlPropInfoList(const QObject* object) {
    if (!object)
        throw Exception("NIL passed as AObject in TmlPropInfoList.Create!");
    const QMetaObject* meta = object->metaObject();
    meta_ = meta;
    properties_.reserve(static_cast<size_t>(meta->propertyCount()));
    for (int i = 0; i < meta->propertyCount(); ++i)
        properties_.push_back(meta->property(i));
}

const QMetaProperty* TmlPropInfoList::Find(std::string_view name) const {
    // Qt's own lower-case properties ("font", "checked") must not hide the class library's
    // names that a derived class publishes, so the most derived class is searched first.
    for (const QMetaObject* meta = meta_; meta; meta = meta->superClass()) {
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
            if (SameText(properties_[static_cast<size_t>(i)].name(), name))
                return &properties_[static_cast<size_t>(i)];
    }
    return nullptr;
}

TmlPropKind PropKind(const QMetaProperty& property) {
    const QMetaType type = property.metaType();
    switch (type.id()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return TmlPropKind::String;
    case QMetaType::QStringList:
        return TmlPropKind::StringList;
    default:
        break;
    }
    if (type.flags() & QMetaType::PointerToQObject)
        return TmlPropKind::Object;
    if (type == QMetaType::fromType<QList<QObject*>>())
        return TmlPropKind::Collection;
    return TmlPropKind::Other;
}

std::string ClassNameOf(const QObject* object) {
    std::string_view name = object->metaObject()->className();
    const size_t colon = name.rfind(':');
    if (colon != std::string_view::npos)
        name.remove_prefix(colon + 1);
    return std::string(name);
}

namespace {

// A property of that kind that can be read, or null.
const QMetaProperty* Readable(const QObject* object, std::string_view name, TmlPropKind kind,
                              TmlPropInfoList& list) {
    const QMetaProperty* p = list.Find(name);
    if (!p || !p->isReadable() || PropKind(*p) != kind)
        return nullptr;
    return p;
}

} // namespace

bool HasProperty(const QObject* object, std::string_view name, TmlPropKind kind,
                 std::string_view className) {
    TmlPropInfoList list(object);
    const QMetaProperty* p = Readable(object, name, kind, list);
    if (!p)
        return false;
    // Objects and collections are changed through what they hold, strings and lists by writing.
    if ((kind == TmlPropKind::String || kind == TmlPropKind::StringList) && !p->isWritable())
        return false;
    if (kind != TmlPropKind::Object || className.empty())
        return true;
    const QObject* value = qvariant_cast<QObject*>(p->read(object));
    return value && ClassNameOf(value) == className;
}

std::string GetStrProp(const QObject* object, std::string_view name) {
    TmlPropInfoList list(object);
    const QMetaProperty* p = Readable(object, name, TmlPropKind::String, list);
    return p ? FromQString(p->read(object).toString()) : std::string();
}

void SetStrProp(QObject* object, std::string_view name, std::string_view value) {
    TmlPropInfoList list(object);
    const QMetaProperty* p = list.Find(name);
    if (p && p->isWritable() && PropKind(*p) == TmlPropKind::String)
        p->write(object, ToQString(value));
}

QObject* GetObjProp(const QObject* object, std::string_view name) {
    TmlPropInfoList list(object);
    const QMetaProperty* p = Readable(object, name, TmlPropKind::Object, list);
    return p ? qvariant_cast<QObject*>(p->read(object)) : nullptr;
}

bool GetStringListProp(const QObject* object, std::string_view name, TStringList& items) {
    TmlPropInfoList list(object);
    const QMetaProperty* p = Readable(object, name, TmlPropKind::StringList, list);
    if (!p)
        return false;
    items.Clear();
    for (const QString& s : p->read(object).toStringList())
        items.Add(FromQString(s));
    return true;
}

void SetStringListProp(QObject* object, std::string_view name, const TStringList& items) {
    TmlPropInfoList list(object);
    const QMetaProperty* p = list.Find(name);
    if (!p || !p->isWritable() || PropKind(*p) != TmlPropKind::StringList)
        return;
    QStringList value;
    value.reserve(items.Count());
    for (const std::string& s : items.Items())
        value << ToQString(s);
    p->write(object, value);
}

QList<QObject*> GetCollectionProp(const QObject* object, std::string_view name) {
    TmlPropInfoList list(object);
    const QMetaProperty* p = Readable(object, name, TmlPropKind::Collection, list);
    return p ? p->read(object).value<QList<QObject*>>() : QList<QObject*>();
}

} // namespace vx
