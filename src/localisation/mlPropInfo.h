#pragma once

// Published properties of owners and components, reached by name. Components are QObjects;
// their published properties are their Q_PROPERTYs, looked up ignoring case. Texts cross as
// cp1252 byte strings.

#include <QList>
#include <QMetaProperty>

#include <string>
#include <string_view>
#include <vector>

class QObject;

namespace vx {

class TStringList;

// The kinds of property the translation walk tells apart.
enum class TmlPropKind { String, StringList, Object, Collection, Other };

// The published properties of one object, in declaration order (base classes first).
class TmlPropInfoList {
public:
    // Raises Exception "NIL passed as AObject in TmlPropInfoList.Create!" for no object.
    explicit TmlPropInfoList(const QObject* object);

    int Count() const { return static_cast<int>(properties_.size()); }
    const QMetaProperty& Items(int index) const { return properties_.at(index); }
    // The property of that name ignoring case, or null; a derived class's property comes
    // before a base class's of the same name.
    const QMetaProperty* Find(std::string_view name) const;

private:
    const QMetaObject* meta_ = nullptr;
    std::vector<QMetaProperty> properties_;
};

TmlPropKind PropKind(const QMetaProperty& property);

// The class name without namespace ("TMainForm").
std::string ClassNameOf(const QObject* object);

// True when the object publishes a readable and writable property of that name and kind;
// for an object property, className (when not empty) must be the class of its value.
bool HasProperty(const QObject* object, std::string_view name, TmlPropKind kind,
                 std::string_view className = {});
// The empty text when there is no such string property.
std::string GetStrProp(const QObject* object, std::string_view name);
// Nothing when there is no such writable string property.
void SetStrProp(QObject* object, std::string_view name, std::string_view value);
// Null when there is no such object property or it holds none.
QObject* GetObjProp(const QObject* object, std::string_view name);
bool GetStringListProp(const QObject* object, std::string_view name, TStringList& items);
void SetStringListProp(QObject* object, std::string_view name, const TStringList& items);
// The items of a collection property; empty when there is none.
QList<QObject*> GetCollectionProp(const QObject* object, std::string_view name);

} // namespace vx
