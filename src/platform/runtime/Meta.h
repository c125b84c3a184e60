#pragma once

// The meta layer of the component stream: every streamable class declares an explicit table
// of its published properties (base class first) and registers itself by class name.
// Properties are reached by name for the stream, the expression language and the editors.
//
// Objects are handed around as untyped handles: for a class derived from TPersistent the
// handle is its TPersistent*, for any other class (fonts, string lists) a pointer to the
// object itself. MetaHandle and MetaCast convert; a property table never sees anything else.

#include "platform/runtime/Exceptions.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace vx {

class TComponent;
class TStream;
class TStringList;
struct TClassInfo;

// Raised by FindClass: "Class TFoo not found".
class EClassNotFound : public Exception {
    using Exception::Exception;
};

// Base of every object with published properties. Each class with a table of its own gives
// it as StaticClassInfo() and returns that from ClassInfo().
class TPersistent {
public:
    virtual ~TPersistent() = default;
    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
};

template <class T>
void* MetaHandle(T* object) {
    if constexpr (std::is_base_of_v<TPersistent, T>)
        return static_cast<TPersistent*>(object);
    else
        return object;
}

template <class T>
T* MetaCast(void* handle) {
    if constexpr (std::is_base_of_v<TPersistent, T>)
        return static_cast<T*>(static_cast<TPersistent*>(handle));
    else
        return static_cast<T*>(handle);
}

template <class T>
const T* MetaCast(const void* handle) {
    return MetaCast<T>(const_cast<void*>(handle));
}

enum class TPropKind : uint8_t {
    Integer,     // 32-bit; written as an identifier when Idents names the value
    Int64,       //
    Boolean,     //
    Enumeration, // value names in Names
    Set,         // bit i = element Names[i]
    Float,       // always written as an 80-bit extended
    String,      // cp1252 bytes; ShortString properties (MaxLength 255) are cut on reading
    Object,      // an owned persistent object written under the dotted path
    StringList,  // written as <name>.Strings
    Bitmap,      // BMP file bytes, written as the binary property <name>.Data
    Component,   // a reference to another component, written as its name
    Method,      // an event; events are bound by code, so the stream never carries them
    Collection,  // items of the class ObjectClass, each written as a list of its properties
};

// Constant names of integer values (colours, character sets, cursors).
struct TIdentMap {
    bool (*ToIdent)(int32_t value, std::string& ident) = nullptr;
    bool (*FromIdent)(std::string_view ident, int32_t& value) = nullptr;
};

struct TPropInfo {
    std::string Name;
    TPropKind Kind = TPropKind::Integer;
    // The type's own name ("Boolean", "TColor", "ShortString", "TLimitkind", "TFont").
    std::string TypeName;
    // The declared default of an ordinal property; none means the value is always written.
    std::optional<int64_t> Default;
    // What the constructor sets for a float or a string: a 0 or an empty text is written
    // when the constructor sets something else, so that it reloads as it was.
    double FloatInit = 0;
    std::string StringInit;
    size_t MaxLength = 0; // 0: no limit
    std::vector<std::string> Names;
    const TIdentMap* Idents = nullptr;
    const TClassInfo* ObjectClass = nullptr;
    std::function<bool(const void*)> Stored; // empty: always stored

    std::function<int64_t(const void*)> GetOrd;
    std::function<void(void*, int64_t)> SetOrd;
    std::function<double(const void*)> GetFloat;
    std::function<void(void*, double)> SetFloat;
    std::function<std::string(const void*)> GetStr; // strings and bitmaps
    std::function<void(void*, std::string)> SetStr;
    // Object: the nested handle; StringList: a TStringList*; Component: a TComponent*.
    std::function<void*(const void*)> GetObj;
    // Component: the referenced component; StringList (optional): receives the list read,
    // for a property whose setter does more than fill the list.
    std::function<void(void*, void*)> SetObj;
    // Collection: the items as handles of ObjectClass; AddItem appends a new one.
    std::function<int(const void*)> ItemCount;
    std::function<void*(const void*, int)> Item;
    std::function<void(void*)> ClearItems;
    std::function<void*(void*)> AddItem;

    bool IsStored(const void* handle) const { return !Stored || Stored(handle); }
};

// A named binary property that a class writes after its published properties.
struct TBinaryPropInfo {
    std::string Name;
    std::function<bool(const void*)> HasData; // empty: always written
    std::function<void(const void*, TStream&)> Write;
    // Receives a stream holding exactly the property's bytes.
    std::function<void(void*, TStream&)> Read;
};

struct TClassInfo {
    std::string Name;
    const TClassInfo* Parent = nullptr;
    std::vector<TPropInfo> Properties;             // own, in declaration order
    std::vector<TBinaryPropInfo> BinaryProperties; // own
    // Creates an instance for the registry; empty for classes that are only nested.
    std::function<TPersistent*(TComponent* owner)> Create;

    // Every published property, base class first; a redeclared property keeps the place of
    // the one it replaces.
    std::vector<const TPropInfo*> AllProperties() const;
    std::vector<const TBinaryPropInfo*> AllBinaryProperties() const;
    // Ignoring case; null when the class publishes no such property.
    const TPropInfo* FindProperty(std::string_view name) const;
    const TBinaryPropInfo* FindBinaryProperty(std::string_view name) const;
    bool InheritsFrom(std::string_view className) const;
};

// A property of a concrete object, found by a dotted path ("Border.Width").
struct TPropRef {
    void* Handle = nullptr;
    const TPropInfo* Prop = nullptr;
    explicit operator bool() const { return Prop != nullptr; }
};

// Walks the published object properties of the path; an empty result when a part is missing
// or a nested object is absent.
TPropRef FindPropertyPath(void* handle, const TClassInfo& cls, std::string_view path);

// The class library's base properties that every stored control carries (Name, Tag, Left,
// Top, Width, Height, Cursor, Hint, HelpType, HelpKeyword, HelpContext, Visible, enabled),
// with their defaults; the reader accepts and passes over those that a class does not have.
const std::vector<TPropInfo>& BaseProperties();
const TPropInfo* FindBaseProperty(std::string_view name);

// Cursor names ("crDefault", "crHandPoint", ...).
const TIdentMap& CursorIdents();

void RegisterClass(const TClassInfo& cls);
void RegisterClasses(std::initializer_list<const TClassInfo*> classes);
// Null when no class of that name (ignoring case) is registered.
const TClassInfo* GetClass(std::string_view name);
// Raises EClassNotFound "Class <name> not found".
const TClassInfo& FindClass(std::string_view name);

// Declares the property table of T. Getters and setters are lambdas on T, or member
// pointers for plain fields.
template <class T>
class TClassBuilder {
public:
    TClassBuilder(std::string name, const TClassInfo* parent) {
        info_.Name = std::move(name);
        info_.Parent = parent;
        if constexpr (std::is_constructible_v<T, TComponent*>)
            info_.Create = [](TComponent* owner) -> TPersistent* { return new T(owner); };
        else if constexpr (std::is_default_constructible_v<T> && std::is_base_of_v<TPersistent, T>)
            info_.Create = [](TComponent*) -> TPersistent* { return new T(); };
    }

    template <class G, class S>
    TClassBuilder& Integer(std::string name, G get, S set, std::optional<int64_t> def = {},
                           const TIdentMap* idents = nullptr, std::string typeName = "Integer") {
        TPropInfo& p = Add(std::move(name), TPropKind::Integer, std::move(typeName));
        p.Default = def;
        p.Idents = idents;
        Ord(p, get, set);
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Int64(std::string name, G get, S set, std::optional<int64_t> def = {}) {
        TPropInfo& p = Add(std::move(name), TPropKind::Int64, "Int64");
        p.Default = def;
        Ord(p, get, set);
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Boolean(std::string name, G get, S set, std::optional<bool> def = {}) {
        TPropInfo& p = Add(std::move(name), TPropKind::Boolean, "Boolean");
        if (def)
            p.Default = *def ? 1 : 0;
        Ord(p, get, set);
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Enumeration(std::string name, std::string typeName,
                               std::vector<std::string> names, G get, S set,
                               std::optional<int64_t> def = {}) {
        TPropInfo& p = Add(std::move(name), TPropKind::Enumeration, std::move(typeName));
        p.Names = std::move(names);
        p.Default = def;
        Ord(p, get, set);
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Set(std::string name, std::string typeName, std::vector<std::string> names,
                       G get, S set, std::optional<int64_t> def = {}) {
        TPropInfo& p = Add(std::move(name), TPropKind::Set, std::move(typeName));
        p.Names = std::move(names);
        p.Default = def;
        Ord(p, get, set);
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Float(std::string name, G get, S set, double init = 0,
                         std::string typeName = "Double") {
        TPropInfo& p = Add(std::move(name), TPropKind::Float, std::move(typeName));
        p.FloatInit = init;
        p.GetFloat = [get](const void* h) { return static_cast<double>(get(*MetaCast<T>(h))); };
        p.SetFloat = [set](void* h, double v) { set(*MetaCast<T>(h), v); };
        return *this;
    }
    // A ShortString property (at most 255 bytes) unless maxLength says otherwise (0: none).
    template <class G, class S>
    TClassBuilder& String(std::string name, G get, S set, std::string init = {},
                          size_t maxLength = 255) {
        TPropInfo& p =
            Add(std::move(name), TPropKind::String, maxLength == 255 ? "ShortString" : "String");
        p.StringInit = std::move(init);
        p.MaxLength = maxLength;
        p.GetStr = [get](const void* h) { return std::string(get(*MetaCast<T>(h))); };
        p.SetStr = [set](void* h, std::string v) { set(*MetaCast<T>(h), std::move(v)); };
        return *this;
    }
    // An owned nested object; get returns U* (null: nothing written).
    template <class U, class G>
    TClassBuilder& Object(std::string name, const TClassInfo& cls, G get) {
        TPropInfo& p = Add(std::move(name), TPropKind::Object, cls.Name);
        p.ObjectClass = &cls;
        p.GetObj = [get](const void* h) -> void* {
            U* o = get(*const_cast<T*>(MetaCast<T>(h)));
            return o ? MetaHandle(o) : nullptr;
        };
        return *this;
    }
    template <class G>
    TClassBuilder& StringList(std::string name, G get) {
        TPropInfo& p = Add(std::move(name), TPropKind::StringList, "TStrings");
        p.GetObj = [get](const void* h) -> void* {
            return static_cast<vx::TStringList*>(get(*const_cast<T*>(MetaCast<T>(h))));
        };
        return *this;
    }
    // A list read whole and handed to set (T&, const TStringList&) instead of filled in place.
    template <class G, class S>
    TClassBuilder& StringList(std::string name, G get, S set) {
        StringList(std::move(name), get);
        info_.Properties.back().SetObj = [set](void* h, void* list) {
            set(*MetaCast<T>(h), *static_cast<const vx::TStringList*>(list));
        };
        return *this;
    }
    // A collection of items of itemClass; get returns C* (null: nothing written), where C has
    // Count(), Items(int) returning U&, Clear() and Add() returning U&.
    template <class U, class C, class G>
    TClassBuilder& Collection(std::string name, std::string typeName, const TClassInfo& itemClass,
                              G get) {
        TPropInfo& p = Add(std::move(name), TPropKind::Collection, std::move(typeName));
        p.ObjectClass = &itemClass;
        auto of = [get](const void* h) -> C* { return get(*const_cast<T*>(MetaCast<T>(h))); };
        p.ItemCount = [of](const void* h) {
            C* c = of(h);
            return c ? static_cast<int>(c->Count()) : 0;
        };
        p.Item = [of](const void* h, int i) -> void* {
            return MetaHandle(static_cast<U*>(&of(h)->Items(i)));
        };
        p.ClearItems = [of](void* h) {
            if (C* c = of(h))
                c->Clear();
        };
        p.AddItem = [of](void* h) -> void* {
            C* c = of(h);
            return c ? MetaHandle(static_cast<U*>(&c->Add())) : nullptr;
        };
        return *this;
    }
    // get returns the BMP file bytes ("" for an empty picture); set receives them.
    template <class G, class S>
    TClassBuilder& Bitmap(std::string name, G get, S set) {
        TPropInfo& p = Add(std::move(name), TPropKind::Bitmap, "TBitmap");
        p.GetStr = [get](const void* h) { return std::string(get(*MetaCast<T>(h))); };
        p.SetStr = [set](void* h, std::string v) { set(*MetaCast<T>(h), std::move(v)); };
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Component(std::string name, std::string typeName, G get, S set) {
        TPropInfo& p = Add(std::move(name), TPropKind::Component, std::move(typeName));
        p.GetObj = [get](const void* h) -> void* {
            return static_cast<TComponent*>(get(*MetaCast<T>(h)));
        };
        p.SetObj = [set](void* h, void* c) { set(*MetaCast<T>(h), static_cast<TComponent*>(c)); };
        return *this;
    }
    TClassBuilder& Event(std::string name) {
        Add(std::move(name), TPropKind::Method, "TNotifyEvent");
        return *this;
    }

    // Plain fields: bool, integral, enum (as an integer), double/float or std::string.
    template <class F>
    TClassBuilder& Field(std::string name, F T::*field, std::optional<int64_t> def = {}) {
        auto get = [field](const T& o) { return o.*field; };
        auto set = [field](T& o, auto v) { o.*field = static_cast<F>(v); };
        if constexpr (std::is_same_v<F, bool>)
            return Boolean(std::move(name), get, set,
                           def ? std::optional<bool>(*def != 0) : std::nullopt);
        else if constexpr (std::is_floating_point_v<F>)
            return Float(std::move(name), get, set);
        else if constexpr (std::is_same_v<F, std::string>)
            return String(std::move(name), get, set);
        else
            return Integer(std::move(name), get, set, def);
    }

    // One of the shared base properties (BaseProperties), with its declared kind and default.
    template <class G, class S>
    TClassBuilder& BaseProperty(std::string_view name, G get, S set) {
        const TPropInfo* base = FindBaseProperty(name);
        if (!base)
            throw EComponentError("Unknown base property " + std::string(name));
        info_.Properties.push_back(*base);
        TPropInfo& p = info_.Properties.back();
        using R = std::decay_t<std::invoke_result_t<G, const T&>>;
        constexpr bool isText = std::is_convertible_v<R, std::string_view>;
        if (isText != (p.Kind == TPropKind::String))
            throw EComponentError("Base property " + p.Name + " has another kind");
        if constexpr (isText) {
            p.GetStr = [get](const void* h) { return std::string(get(*MetaCast<T>(h))); };
            p.SetStr = [set](void* h, std::string v) { set(*MetaCast<T>(h), std::move(v)); };
        } else {
            Ord(p, get, set);
        }
        return *this;
    }

    // The last property is written only when pred says so.
    template <class P>
    TClassBuilder& Stored(P pred) {
        info_.Properties.back().Stored = [pred](const void* h) { return pred(*MetaCast<T>(h)); };
        return *this;
    }
    TClassBuilder& NotStored() {
        info_.Properties.back().Stored = [](const void*) { return false; };
        return *this;
    }

    template <class H, class W, class R>
    TClassBuilder& Binary(std::string name, H hasData, W write, R read) {
        TBinaryPropInfo b;
        b.Name = std::move(name);
        b.HasData = [hasData](const void* h) { return hasData(*MetaCast<T>(h)); };
        b.Write = [write](const void* h, TStream& s) { write(*MetaCast<T>(h), s); };
        b.Read = [read](void* h, TStream& s) { read(*MetaCast<T>(h), s); };
        info_.BinaryProperties.push_back(std::move(b));
        return *this;
    }

    TClassInfo Build() { return std::move(info_); }

private:
    TPropInfo& Add(std::string name, TPropKind kind, std::string typeName) {
        TPropInfo p;
        p.Name = std::move(name);
        p.Kind = kind;
        p.TypeName = std::move(typeName);
        info_.Properties.push_back(std::move(p));
        return info_.Properties.back();
    }
    template <class G, class S>
    void Ord(TPropInfo& p, G get, S set) {
        p.GetOrd = [get](const void* h) { return static_cast<int64_t>(get(*MetaCast<T>(h))); };
        p.SetOrd = [set](void* h, int64_t v) { set(*MetaCast<T>(h), v); };
    }

    TClassInfo info_;
};

} // namespace vx
