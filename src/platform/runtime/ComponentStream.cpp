#include "platform/runtime/ComponentStream.h"

#include "platform/runtime/Component.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Strings.h"

#include <QString>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace vx {

namespace {

constexpr std::string_view signature = "TPF0";
// Lists inside lists and children inside children: deeper than any stored object goes.
constexpr int maxDepth = 32;

[[noreturn]] void InvalidFormat() {
    throw EReadError("Invalid stream format");
}
[[noreturn]] void InvalidValue() {
    throw EReadError("Invalid property value");
}

// ---- writing ----

class TWriter {
public:
    explicit TWriter(TStream& s) : s_(s) {}

    void WriteObject(const void* handle, const TClassInfo& cls, std::string_view name) {
        s_.WriteBytes(signature);
        s_.WriteShortString(cls.Name);
        s_.WriteShortString(name);
        WriteProperties(handle, cls, "");
        s_.WriteU8(vaNull);
        s_.WriteU8(vaNull); // no children: owned parts travel in binary properties
    }

private:
    void WriteProperties(const void* h, const TClassInfo& cls, const std::string& prefix) {
        for (const TPropInfo* p : cls.AllProperties())
            if (p->IsStored(h))
                WriteProperty(h, *p, prefix);
        for (const TBinaryPropInfo* b : cls.AllBinaryProperties()) {
            if (b->HasData && !b->HasData(h))
                continue;
            TMemoryStream data;
            b->Write(h, data);
            WriteBinary(prefix + b->Name, data.Bytes());
        }
    }

    void WriteProperty(const void* h, const TPropInfo& p, const std::string& prefix) {
        const std::string name = prefix + p.Name;
        switch (p.Kind) {
        case TPropKind::Integer:
        case TPropKind::Int64:
        case TPropKind::Boolean:
        case TPropKind::Enumeration:
        case TPropKind::Set: {
            int64_t v = p.GetOrd(h);
            if (p.Default && v == *p.Default)
                return;
            s_.WriteShortString(name);
            WriteOrdinal(p, v);
            return;
        }
        case TPropKind::Float: {
            double v = p.GetFloat(h);
            if (v == 0 && p.FloatInit == 0)
                return;
            s_.WriteShortString(name);
            s_.WriteU8(vaExtended);
            s_.WriteExtended(v);
            return;
        }
        case TPropKind::String: {
            std::string v = p.GetStr(h);
            if (v.empty() && p.StringInit.empty())
                return;
            s_.WriteShortString(name);
            WriteString(v);
            return;
        }
        case TPropKind::Object:
            if (const void* o = p.GetObj(h))
                WriteProperties(o, *p.ObjectClass, name + ".");
            return;
        case TPropKind::StringList: {
            auto* list = static_cast<const TStringList*>(p.GetObj(h));
            if (!list || list->Count() == 0)
                return;
            s_.WriteShortString(name + ".Strings");
            s_.WriteU8(vaList);
            for (const std::string& item : list->Items())
                WriteString(item);
            s_.WriteU8(vaNull);
            return;
        }
        case TPropKind::Bitmap: {
            std::string bmp = p.GetStr(h);
            if (bmp.empty())
                return;
            TMemoryStream data;
            data.WriteU32(static_cast<uint32_t>(bmp.size()));
            data.WriteBytes(bmp);
            WriteBinary(name + ".Data", data.Bytes());
            return;
        }
        case TPropKind::Component: {
            auto* c = static_cast<const TComponent*>(p.GetObj(h));
            if (!c || c->Name().empty())
                return;
            s_.WriteShortString(name);
            WriteIdent(c->Name());
            return;
        }
        case TPropKind::Method:
            return; // events are bound by code and carry no name
        case TPropKind::Collection: {
            s_.WriteShortString(name);
            s_.WriteU8(vaCollection);
            const int count = p.ItemCount(h);
            for (int i = 0; i < count; ++i) {
                s_.WriteU8(vaList);
                WriteProperties(p.Item(h, i), *p.ObjectClass, "");
                s_.WriteU8(vaNull);
            }
            s_.WriteU8(vaNull);
            return;
        }
        }
    }

    void WriteOrdinal(const TPropInfo& p, int64_t v) {
        switch (p.Kind) {
        case TPropKind::Boolean:
            s_.WriteU8(v ? vaTrue : vaFalse);
            return;
        case TPropKind::Enumeration:
            if (v >= 0 && v < static_cast<int64_t>(p.Names.size()))
                WriteIdent(p.Names[static_cast<size_t>(v)]);
            else
                WriteInteger(v);
            return;
        case TPropKind::Set:
            s_.WriteU8(vaSet);
            for (size_t i = 0; i < p.Names.size() && i < 64; ++i)
                if ((static_cast<uint64_t>(v) >> i) & 1)
                    s_.WriteShortString(p.Names[i]);
            s_.WriteU8(0);
            return;
        default:
            break;
        }
        std::string ident;
        if (p.Idents && p.Idents->ToIdent && v >= INT32_MIN && v <= INT32_MAX &&
            p.Idents->ToIdent(static_cast<int32_t>(v), ident))
            WriteIdent(ident);
        else
            WriteInteger(v);
    }

    void WriteInteger(int64_t v) {
        if (v >= -128 && v <= 127) {
            s_.WriteU8(vaInt8);
            s_.WriteI8(static_cast<int8_t>(v));
        } else if (v >= -32768 && v <= 32767) {
            s_.WriteU8(vaInt16);
            s_.WriteI16(static_cast<int16_t>(v));
        } else if (v >= INT32_MIN && v <= INT32_MAX) {
            s_.WriteU8(vaInt32);
            s_.WriteI32(static_cast<int32_t>(v));
        } else {
            s_.WriteU8(vaInt64);
            s_.WriteI64(v);
        }
    }

    void WriteIdent(std::string_view ident) {
        s_.WriteU8(vaIdent);
        s_.WriteShortString(ident);
    }

    // Plain bytes when the text is ASCII; otherwise its UTF-8 form, so that the reader
    // gets the same characters back whatever its code page.
    void WriteString(std::string_view v) {
        bool ascii = true;
        for (char c : v)
            if (static_cast<unsigned char>(c) >= 0x80)
                ascii = false;
        if (!ascii) {
            std::string utf8 = Cp1252ToUtf8(v);
            s_.WriteU8(vaUTF8String);
            s_.WriteU32(static_cast<uint32_t>(utf8.size()));
            s_.WriteBytes(utf8);
        } else if (v.size() <= 255) {
            s_.WriteU8(vaString);
            s_.WriteShortString(v);
        } else {
            s_.WriteU8(vaLString);
            s_.WriteU32(static_cast<uint32_t>(v.size()));
            s_.WriteBytes(v);
        }
    }

    void WriteBinary(const std::string& name, std::string_view bytes) {
        s_.WriteShortString(name);
        s_.WriteU8(vaBinary);
        s_.WriteU32(static_cast<uint32_t>(bytes.size()));
        s_.WriteBytes(bytes);
    }

    TStream& s_;
};

// ---- reading ----

class TReader {
public:
    explicit TReader(TStream& s) : s_(s) {}

    void ReadSignature() {
        char sig[4];
        if (s_.Remaining() < 4 || s_.Read(sig, 4) != 4 || std::string_view(sig, 4) != signature)
            InvalidFormat();
    }

    // Class name and object name; a leading flags byte (inherited or inline objects) is
    // passed over.
    std::pair<std::string, std::string> ReadHeader() {
        uint8_t first = s_.ReadU8();
        if ((first & 0xF0) == 0xF0) {
            if (first & 0x02) // position among the siblings
                ReadInteger(s_.ReadU8());
        } else {
            s_.Seek(-1, TSeekOrigin::soCurrent);
        }
        std::string className = s_.ReadShortString();
        std::string name = s_.ReadShortString();
        return {className, name};
    }

    void ReadBody(void* h, const TClassInfo& cls, const std::string& objectName) {
        while (true) {
            uint8_t next = s_.ReadU8();
            if (next == 0)
                break;
            s_.Seek(-1, TSeekOrigin::soCurrent);
            std::string path = s_.ReadShortString();
            try {
                ReadProperty(h, cls, path);
            } catch (const Exception& e) {
                throw EReadError("Error reading " + objectName + "." + path + ": " + e.Message);
            }
        }
        // Our objects have no children; those of other writers are passed over.
        while (s_.ReadU8() != 0) {
            s_.Seek(-1, TSeekOrigin::soCurrent);
            SkipObject(1);
        }
    }

private:
    void ReadProperty(void* h, const TClassInfo& rootCls, std::string_view path,
                      bool atRoot = true) {
        const TClassInfo* cls = &rootCls;
        while (true) {
            size_t dot = path.find('.');
            std::string_view part = path.substr(0, dot);
            std::string_view rest =
                dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
            const TPropInfo* p = cls->FindProperty(part);
            if (dot == std::string_view::npos) {
                if (p && p->Kind != TPropKind::Object && p->Kind != TPropKind::StringList &&
                    p->Kind != TPropKind::Bitmap) {
                    ReadValueInto(h, *p);
                    return;
                }
                if (const TBinaryPropInfo* b = cls->FindBinaryProperty(part)) {
                    TMemoryStream data(ReadBinaryPayload());
                    b->Read(h, data);
                    return;
                }
                if (p)
                    InvalidValue();
                if (atRoot && FindBaseProperty(part)) {
                    SkipValue(s_.ReadU8(), 0);
                    return;
                }
                throw EReadError("Property " + std::string(part) + " does not exist");
            }
            if (p && p->Kind == TPropKind::Object) {
                void* nested = p->GetObj(h);
                if (!nested)
                    InvalidValue();
                h = nested;
                cls = p->ObjectClass;
                path = rest;
                atRoot = false;
                continue;
            }
            if (p && p->Kind == TPropKind::StringList && SameText(rest, "Strings")) {
                if (p->SetObj) {
                    TStringList list;
                    ReadStrings(list);
                    p->SetObj(h, &list);
                } else {
                    ReadStrings(*static_cast<TStringList*>(p->GetObj(h)));
                }
                return;
            }
            if (p && p->Kind == TPropKind::Bitmap && SameText(rest, "Data")) {
                p->SetStr(h, ReadBitmap());
                return;
            }
            throw EReadError("Property " + std::string(part) + " does not exist");
        }
    }

    void ReadValueInto(void* h, const TPropInfo& p) {
        uint8_t tag = s_.ReadU8();
        switch (p.Kind) {
        case TPropKind::Integer: {
            int64_t v = 0;
            if (tag == vaIdent) {
                std::string ident = s_.ReadShortString();
                int32_t named = 0;
                if (!p.Idents || !p.Idents->FromIdent || !p.Idents->FromIdent(ident, named))
                    InvalidValue();
                v = named;
            } else {
                v = ReadInteger(tag);
                if (v < INT32_MIN || v > INT32_MAX)
                    InvalidValue();
            }
            p.SetOrd(h, v);
            return;
        }
        case TPropKind::Int64:
            p.SetOrd(h, ReadInteger(tag));
            return;
        case TPropKind::Boolean:
            if (tag != vaFalse && tag != vaTrue)
                InvalidValue();
            p.SetOrd(h, tag == vaTrue ? 1 : 0);
            return;
        case TPropKind::Enumeration: {
            if (tag != vaIdent)
                InvalidValue();
            p.SetOrd(h, NameIndex(p, s_.ReadShortString()));
            return;
        }
        case TPropKind::Set: {
            if (tag != vaSet)
                InvalidValue();
            uint64_t bits = 0;
            for (std::string n = s_.ReadShortString(); !n.empty(); n = s_.ReadShortString()) {
                int64_t i = NameIndex(p, n);
                if (i >= 64)
                    InvalidValue();
                bits |= uint64_t(1) << i;
            }
            p.SetOrd(h, static_cast<int64_t>(bits));
            return;
        }
        case TPropKind::Float:
            p.SetFloat(h, ReadFloat(tag));
            return;
        case TPropKind::String: {
            std::string v = ReadString(tag);
            if (p.MaxLength && v.size() > p.MaxLength)
                v.resize(p.MaxLength);
            p.SetStr(h, std::move(v));
            return;
        }
        case TPropKind::Component:
            if (tag == vaNil) {
                p.SetObj(h, nullptr);
            } else if (tag == vaIdent) {
                p.SetObj(h, ResolveComponent(s_.ReadShortString()));
            } else {
                InvalidValue();
            }
            return;
        case TPropKind::Method:
            SkipValue(tag, 0);
            return;
        case TPropKind::Collection:
            if (tag != vaCollection)
                InvalidValue();
            ReadCollection(h, p);
            return;
        default:
            InvalidValue();
        }
    }

    // The items replace those the collection held once the first item comes; each may be
    // preceded by its order number, which says nothing for our collections.
    void ReadCollection(void* h, const TPropInfo& p) {
        if (++depth_ > maxDepth)
            InvalidFormat();
        bool first = true;
        for (uint8_t tag = s_.ReadU8(); tag != vaNull; tag = s_.ReadU8()) {
            if (tag != vaList) {
                ReadInteger(tag);
                if (s_.ReadU8() != vaList)
                    InvalidFormat();
            }
            if (first)
                p.ClearItems(h);
            first = false;
            void* item = p.AddItem(h);
            if (!item)
                InvalidValue();
            while (s_.ReadU8() != vaNull) {
                s_.Seek(-1, TSeekOrigin::soCurrent);
                ReadProperty(item, *p.ObjectClass, s_.ReadShortString(), false);
            }
        }
        --depth_;
    }

public:
    void SetRoot(TComponent* root) { root_ = root; }

private:
    // A reference names a sibling in the owner, or a component of the object itself.
    TComponent* ResolveComponent(const std::string& name) const {
        if (!root_)
            return nullptr;
        if (TComponent* owner = root_->Owner())
            if (TComponent* c = owner->FindComponent(name))
                return c;
        return root_->FindComponent(name);
    }

    static int64_t NameIndex(const TPropInfo& p, std::string_view name) {
        for (size_t i = 0; i < p.Names.size(); ++i)
            if (SameText(p.Names[i], name))
                return static_cast<int64_t>(i);
        InvalidValue();
    }

    int64_t ReadInteger(uint8_t tag) {
        switch (tag) {
        case vaInt8:
            return s_.ReadI8();
        case vaInt16:
            return s_.ReadI16();
        case vaInt32:
            return s_.ReadI32();
        case vaInt64:
            return s_.ReadI64();
        default:
            InvalidValue();
        }
    }

    double ReadFloat(uint8_t tag) {
        double v = 0;
        switch (tag) {
        case vaExtended:
            v = s_.ReadExtended();
            break;
        case vaSingle:
            v = s_.ReadF32();
            break;
        case vaDate:
            v = s_.ReadF64();
            break;
        case vaCurrency:
            v = static_cast<double>(s_.ReadI64()) / 10000.0;
            break;
        default:
            v = static_cast<double>(ReadInteger(tag));
        }
        // An infinity or NaN would poison every computation that uses the value.
        if (!std::isfinite(v))
            InvalidValue();
        return v;
    }

    std::string ReadString(uint8_t tag) {
        switch (tag) {
        case vaString:
            return s_.ReadShortString();
        case vaLString:
            return s_.ReadBytes(s_.CheckCount(s_.ReadU32(), 1));
        case vaUTF8String:
            return Utf8ToCp1252(s_.ReadBytes(s_.CheckCount(s_.ReadU32(), 1)));
        case vaWString: {
            size_t count = s_.CheckCount(s_.ReadU32(), 2);
            std::u16string units(count, u'\0');
            for (char16_t& u : units)
                u = s_.ReadU16();
            return FromQString(QString::fromUtf16(units.data(), static_cast<qsizetype>(count)));
        }
        default:
            InvalidValue();
        }
    }

    void ReadStrings(TStringList& list) {
        if (s_.ReadU8() != vaList)
            InvalidValue();
        std::vector<std::string> items;
        for (uint8_t tag = s_.ReadU8(); tag != vaNull; tag = s_.ReadU8())
            items.push_back(ReadString(tag));
        list.Clear();
        for (const std::string& item : items)
            list.Add(item);
    }

    std::string ReadBinaryPayload() {
        if (s_.ReadU8() != vaBinary)
            InvalidValue();
        return s_.ReadBytes(s_.CheckCount(s_.ReadU32(), 1));
    }

    // The picture's byte count, then the BMP file itself.
    std::string ReadBitmap() {
        TMemoryStream data(ReadBinaryPayload());
        uint32_t size = data.ReadU32();
        if (size > data.Remaining())
            InvalidValue();
        return data.ReadBytes(size);
    }

    void Skip(int64_t count) {
        if (count < 0 || count > s_.Remaining())
            throw EReadError("Stream read error");
        s_.Seek(count, TSeekOrigin::soCurrent);
    }

    void SkipValue(uint8_t tag, int depth) {
        if (depth > maxDepth)
            InvalidFormat();
        switch (tag) {
        case vaNull:
        case vaFalse:
        case vaTrue:
        case vaNil:
            return;
        case vaList:
            for (uint8_t t = s_.ReadU8(); t != vaNull; t = s_.ReadU8())
                SkipValue(t, depth + 1);
            return;
        case vaInt8:
            return Skip(1);
        case vaInt16:
            return Skip(2);
        case vaInt32:
        case vaSingle:
            return Skip(4);
        case vaExtended:
            return Skip(10);
        case vaString:
        case vaIdent:
            return Skip(s_.ReadU8());
        case vaBinary:
        case vaLString:
        case vaUTF8String:
            return Skip(s_.ReadU32());
        case vaWString:
            return Skip(int64_t(s_.ReadU32()) * 2);
        case vaSet:
            while (uint8_t len = s_.ReadU8())
                Skip(len);
            return;
        case vaCollection:
            for (uint8_t t = s_.ReadU8(); t != vaNull; t = s_.ReadU8()) {
                if (t != vaList) { // an item's order number comes first
                    ReadInteger(t);
                    if (s_.ReadU8() != vaList)
                        InvalidFormat();
                }
                SkipProperties(depth + 1);
            }
            return;
        case vaCurrency:
        case vaDate:
        case vaInt64:
            return Skip(8);
        default:
            InvalidValue();
        }
    }

    void SkipProperties(int depth) {
        for (uint8_t len = s_.ReadU8(); len != 0; len = s_.ReadU8()) {
            Skip(len);
            SkipValue(s_.ReadU8(), depth);
        }
    }

    void SkipObject(int depth) {
        if (depth > maxDepth)
            InvalidFormat();
        ReadHeader();
        SkipProperties(depth);
        while (s_.ReadU8() != 0) {
            s_.Seek(-1, TSeekOrigin::soCurrent);
            SkipObject(depth + 1);
        }
    }

    TStream& s_;
    TComponent* root_ = nullptr;
    int depth_ = 0;
};

// A stored name that another component of the owner already has gets _1, _2, ...
std::string UniqueName(const TComponent& c, const std::string& name) {
    TComponent* owner = c.Owner();
    auto taken = [&](const std::string& n) {
        TComponent* other = owner ? owner->FindComponent(n) : nullptr;
        return other && other != &c;
    };
    if (name.empty() || !taken(name))
        return name;
    for (int i = 1;; ++i) {
        std::string candidate = name + "_" + IntToStr(i);
        if (!taken(candidate))
            return candidate;
    }
}

void ReadInto(TReader& reader, TPersistent& object, const std::string& storedName) {
    auto* component = dynamic_cast<TComponent*>(&object);
    const TClassInfo& cls = object.ClassInfo();
    std::string objectName = cls.Name;
    if (component) {
        component->SetName(UniqueName(*component, storedName));
        if (!component->Name().empty())
            objectName = component->Name();
        component->SetComponentState(component->ComponentState() | csLoading | csReading);
    }
    reader.SetRoot(component);
    try {
        reader.ReadBody(MetaHandle(&object), cls, objectName);
    } catch (...) {
        if (component)
            component->SetComponentState(component->ComponentState() &
                                         ~unsigned(csLoading | csReading));
        throw;
    }
    if (component) {
        component->SetComponentState(component->ComponentState() & ~unsigned(csReading));
        component->Loaded();
    }
}

std::string NameOf(const TPersistent& object) {
    auto* component = dynamic_cast<const TComponent*>(&object);
    return component ? component->Name() : std::string();
}

} // namespace

void WriteComponent(TStream& stream, const TPersistent& object) {
    TWriter(stream).WriteObject(MetaHandle(const_cast<TPersistent*>(&object)), object.ClassInfo(),
                                NameOf(object));
}

void ReadComponent(TStream& stream, TPersistent& object) {
    TReader reader(stream);
    reader.ReadSignature();
    std::string name = reader.ReadHeader().second;
    ReadInto(reader, object, name);
}

TPersistent* ReadNewComponent(TStream& stream, TComponent* owner) {
    TReader reader(stream);
    reader.ReadSignature();
    auto [className, name] = reader.ReadHeader();
    const TClassInfo& cls = FindClass(className);
    if (!cls.Create)
        throw EClassNotFound("Class " + className + " not found");
    std::unique_ptr<TPersistent> object(cls.Create(owner));
    ReadInto(reader, *object, name);
    return object.release();
}

std::string ComponentToBytes(const TPersistent& object) {
    TMemoryStream s;
    WriteComponent(s, object);
    return s.Bytes();
}

void ComponentFromBytes(std::string_view bytes, TPersistent& object) {
    TMemoryStream s{std::string(bytes)};
    ReadComponent(s, object);
}

} // namespace vx
