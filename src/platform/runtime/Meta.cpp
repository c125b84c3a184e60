#include "platform/runtime/Meta.h"

#include "platform/runtime/Strings.h"

#include <map>
#include <mutex>

namespace vx {

const TClassInfo& TPersistent::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i;
        i.Name = "TPersistent";
        return i;
    }();
    return info;
}

std::vector<const TPropInfo*> TClassInfo::AllProperties() const {
    std::vector<const TPropInfo*> all =
        Parent ? Parent->AllProperties() : std::vector<const TPropInfo*>{};
    for (const TPropInfo& p : Properties) {
        bool replaced = false;
        for (const TPropInfo*& q : all)
            if (SameText(q->Name, p.Name)) {
                q = &p;
                replaced = true;
            }
        if (!replaced)
            all.push_back(&p);
    }
    return all;
}

std::vector<const TBinaryPropInfo*> TClassInfo::AllBinaryProperties() const {
    std::vector<const TBinaryPropInfo*> all =
        Parent ? Parent->AllBinaryProperties() : std::vector<const TBinaryPropInfo*>{};
    for (const TBinaryPropInfo& b : BinaryProperties)
        all.push_back(&b);
    return all;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        for (const TPropInfo& p : c->Properties)
            if (SameText(p.Name, name))
                return &p;
    return nullptr;
}

const TBinaryPropInfo* TClassInfo::FindBinaryProperty(std::string_view name) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        for (const TBinaryPropInfo& b : c->BinaryProperties)
            if (SameText(b.Name, name))
                return &b;
    return nullptr;
}

bool TClassInfo::InheritsFrom(std::string_view className) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (SameText(c->Name, className))
            return true;
    return false;
}

TPropRef FindPropertyPath(void* handle, const TClassInfo& cls, std::string_view path) {
    const TClassInfo* current = &cls;
    while (handle) {
        size_t dot = path.find('.');
        const TPropInfo* p = current->FindProperty(path.substr(0, dot));
        if (!p)
            return {};
        if (dot == std::string_view::npos)
            return {handle, p};
        if (p->Kind != TPropKind::Object || !p->ObjectClass)
            return {};
        handle = p->GetObj(handle);
        current = p->ObjectClass;
        path.remove_prefix(dot + 1);
    }
    return {};
}

namespace {

const char* const cursorNames[] = {
    "crDefault",  "crNone",     "crArrow",    "crCross",     "crIBeam",     "crSize",
    "crSizeNESW", "crSizeNS",   "crSizeNWSE", "crSizeWE",    "crUpArrow",   "crHourGlass",
    "crDrag",     "crNoDrop",   "crHSplit",   "crVSplit",    "crMultiDrag", "crSQLWait",
    "crNo",       "crAppStart", "crHelp",     "crHandPoint", "crSizeAll"};
// The class library's cursor numbers: 0 down to -21 in the order above, crSize and crSizeAll
// sharing -22.
int32_t CursorValue(size_t index) {
    if (index == 5 || index == 22)
        return -22;
    return -static_cast<int32_t>(index);
}

bool CursorToIdent(int32_t value, std::string& ident) {
    for (size_t i = 0; i < std::size(cursorNames); ++i)
        if (i != 5 && CursorValue(i) == value) {
            ident = cursorNames[i];
            return true;
        }
    return false;
}

bool IdentToCursor(std::string_view ident, int32_t& value) {
    for (size_t i = 0; i < std::size(cursorNames); ++i)
        if (SameText(cursorNames[i], ident)) {
            value = CursorValue(i);
            return true;
        }
    return false;
}

TPropInfo BaseProp(std::string name, TPropKind kind, std::string typeName,
                   std::optional<int64_t> def = {}) {
    TPropInfo p;
    p.Name = std::move(name);
    p.Kind = kind;
    p.TypeName = std::move(typeName);
    p.Default = def;
    if (kind == TPropKind::String)
        p.MaxLength = 0;
    return p;
}

struct TRegistry {
    std::mutex mutex;
    std::map<std::string, const TClassInfo*> classes; // by upper-case name
};

TRegistry& Registry() {
    static TRegistry registry;
    return registry;
}

} // namespace

const TIdentMap& CursorIdents() {
    static const TIdentMap map{CursorToIdent, IdentToCursor};
    return map;
}

const std::vector<TPropInfo>& BaseProperties() {
    static const std::vector<TPropInfo> table = [] {
        std::vector<TPropInfo> t;
        t.push_back(BaseProp("Name", TPropKind::String, "TComponentName"));
        t.push_back(BaseProp("Tag", TPropKind::Integer, "Integer", 0));
        t.push_back(BaseProp("Left", TPropKind::Integer, "Integer"));
        t.push_back(BaseProp("Top", TPropKind::Integer, "Integer"));
        t.push_back(BaseProp("Width", TPropKind::Integer, "Integer"));
        t.push_back(BaseProp("Height", TPropKind::Integer, "Integer"));
        t.push_back(BaseProp("Cursor", TPropKind::Integer, "TCursor", 0));
        t.back().Idents = &CursorIdents();
        t.push_back(BaseProp("Hint", TPropKind::String, "String"));
        t.push_back(BaseProp("HelpType", TPropKind::Enumeration, "THelpType", 1));
        t.back().Names = {"htKeyword", "htContext"};
        t.push_back(BaseProp("HelpKeyword", TPropKind::String, "String"));
        t.push_back(BaseProp("HelpContext", TPropKind::Integer, "THelpContext", 0));
        t.push_back(BaseProp("Visible", TPropKind::Boolean, "Boolean", 1));
        t.push_back(BaseProp("enabled", TPropKind::Boolean, "Boolean", 1));
        return t;
    }();
    return table;
}

const TPropInfo* FindBaseProperty(std::string_view name) {
    for (const TPropInfo& p : BaseProperties())
        if (SameText(p.Name, name))
            return &p;
    return nullptr;
}

void RegisterClass(const TClassInfo& cls) {
    TRegistry& r = Registry();
    std::lock_guard lock(r.mutex);
    r.classes[UpperCase(cls.Name)] = &cls;
}

void RegisterClasses(std::initializer_list<const TClassInfo*> classes) {
    for (const TClassInfo* c : classes)
        RegisterClass(*c);
}

const TClassInfo* GetClass(std::string_view name) {
    TRegistry& r = Registry();
    std::lock_guard lock(r.mutex);
    auto it = r.classes.find(UpperCase(name));
    return it == r.classes.end() ? nullptr : it->second;
}

const TClassInfo& FindClass(std::string_view name) {
    if (const TClassInfo* c = GetClass(name))
        return *c;
    throw EClassNotFound("Class " + std::string(name) + " not found");
}

} // namespace vx
