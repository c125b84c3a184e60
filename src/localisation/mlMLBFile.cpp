#include "localisation/mlMLBFile.h"

#include "localisation/mlComp.h"
#include "localisation/mlExtended.h"
#include "localisation/mlLangComponent.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/system/Files.h"

#include <QObject>

#include <map>

namespace vx {

namespace {

// A table's items replace those of the target with the same key and extend it by the others.
void MergeItems(const TStringList& from, TStringList& into, char delimiter,
                const std::string& ownerKey) {
    auto keyOf = [delimiter](const std::string& line) {
        return UpperCase(line.substr(0, line.find(delimiter)));
    };
    std::map<std::string, int> index;
    for (int i = into.Count() - 1; i >= 0; --i)
        index[keyOf(into[i])] = i;
    for (const std::string& line : from.Items()) {
        const std::string key = keyOf(line);
        if (const auto it = index.find(key); it != index.end()) {
            into.Put(it->second, line);
        } else if (!ownerKey.empty() && key == ownerKey) {
            // The owner's own entry stands first, as the stored form keeps it.
            into.Insert(0, line);
            for (auto& entry : index)
                ++entry.second;
            index[key] = 0;
        } else {
            index[key] = into.Count();
            into.Add(line);
        }
    }
}

void CopyExtendedItems(const TmlExtendedItems& from, TmlExtendedItems& into) {
    for (int i = 0; i < from.Count(); ++i) {
        const TmlExtendedItem& source = from.Items(i);
        TmlExtendedItem* item = into.Find(source.StoredIdentifier());
        if (item == nullptr) {
            item = &into.Add();
            item->SetIdentifier(source.StoredIdentifier());
        }
        item->PropertyType = source.PropertyType;
        item->Values = source.Values;
    }
}

} // namespace

void TMLBFileManager::CheckHeader(TStream& stream) {
    // Read byte by byte, as the header has no length of its own; a longer text cannot match.
    std::string header;
    for (;;) {
        if (stream.Remaining() <= 0 || header.size() > kHeader.size())
            throw Exception("Unrecognized stream format!");
        const char c = static_cast<char>(stream.ReadU8());
        if (c == '\0')
            break;
        header += c;
    }
    if (header != kHeader)
        throw Exception("Unrecognized stream format!");
}

int64_t TMLBFileManager::FindTable(TStream& stream, std::string_view className) {
    CheckHeader(stream);
    const uint16_t count = stream.ReadU16();
    // The sorted name list says nothing that the entries do not.
    stream.ReadBytes(stream.CheckCount(stream.ReadU16(), 1));
    stream.CheckCount(count, 6);
    int64_t position = -1;
    for (uint16_t i = 0; i < count; ++i) {
        const std::string name = stream.ReadBytes(stream.CheckCount(stream.ReadU16(), 1));
        const uint32_t at = stream.ReadU32();
        if (position < 0 && SameText(name, className))
            position = at;
    }
    if (position >= stream.Size())
        throw EReadError("Stream read error");
    return position;
}

bool TMLBFileManager::ReadTable(TmlCustomLang& target, int kind) const {
    if (fileName_.empty() || !FileExists(fileName_))
        return false;
    TFileStream file(fileName_, fmOpenRead | fmShareDenyNone);
    const int64_t position = FindTable(file, target.OwnerClassName());
    if (position < 0)
        return false;
    file.SetPosition(position);

    QObject tempForm;
    TmlLang temp(&tempForm);
    temp.InternalInstance = true;
    {
        // Neither table may translate a window or link to a dispatcher while the file is read.
        struct Internal {
            TmlCustomLang& table;
            bool saved;
            ~Internal() { table.InternalInstance = saved; }
        } internal{target, target.InternalInstance};
        target.InternalInstance = true;
        ReadLangComponent(file, temp);
    }

    target.SetStoreAsUTF8(temp.StoreAsUTF8());
    if (temp.LangDelim() != target.LangDelim())
        temp.SetLangDelim(target.LangDelim());
    const std::string ownerKey = UpperCase(target.OwnerClassName());
    for (int k = 0; k < kStringsTypeCount; ++k) {
        if (kind >= 0 && k != kind)
            continue;
        const TStringList* from = temp.List(static_cast<TStringsType>(k));
        TStringList* into = target.List(static_cast<TStringsType>(k));
        if (from != nullptr && into != nullptr)
            MergeItems(*from, *into, target.LangDelim(), ownerKey);
    }
    if (kind < 0)
        CopyExtendedItems(temp.ExtendedTranslations(), target.ExtendedTranslations());
    return true;
}

} // namespace vx
