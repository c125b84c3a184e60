#include "localisation/mlApply.h"

#include "localisation/MemIni.h"
#include "localisation/mlComp.h"
#include "localisation/mlExtended.h"
#include "localisation/mlPropInfo.h"
#include "platform/graphics/GraphicsMeta.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Strings.h"

#include <QDir>
#include <QMetaEnum>
#include <QObject>

#include <algorithm>
#include <deque>

namespace vx {

namespace {

bool InList(const TStringList* list, std::string_view s) {
    return list && list->IndexOf(s) >= 0;
}

std::string KeyOf(std::string_view line, char delim) {
    const size_t end = line.find(delim);
    return std::string(line.substr(0, end));
}

int CountOf(std::string_view s, char c) {
    return static_cast<int>(std::count(s.begin(), s.end(), c));
}

std::vector<std::string> SplitDots(std::string_view s) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t dot = s.find('.', start);
        parts.emplace_back(s.substr(start, dot - start));
        if (dot == std::string_view::npos)
            return parts;
        start = dot + 1;
    }
}

bool ParentFontIsSet(const QObject* control) {
    const TmlPropInfoList props(control);
    const QMetaProperty* p = props.Find("ParentFont");
    return p && p->metaType().id() == QMetaType::Bool && p->read(control).toBool();
}

bool IsFont(const QObject* font) {
    return font && HasProperty(font, "Name", TmlPropKind::String);
}

std::string ExpandFileName(const std::string& path) {
    const QString native = ToQString(NormalizePath(path));
    return FromQString(QDir::cleanPath(QDir::current().absoluteFilePath(native)));
}

// A translated key of a collection item: component[.object].property[index][.object].itemprop
struct CollectionPath {
    std::vector<std::string> Before; // component, optional object, collection property
    int Index = -1;
    std::vector<std::string> After; // optional object, item property
};

bool ParseCollectionPath(const std::string& key, CollectionPath& path) {
    const size_t open = key.find('[');
    const size_t close = key.find(']', open);
    if (open == std::string::npos || close == std::string::npos || close + 1 >= key.size() ||
        key[close + 1] != '.')
        return false;
    path.Before = SplitDots(std::string_view(key).substr(0, open));
    path.After = SplitDots(std::string_view(key).substr(close + 2));
    path.Index = StrToInt(key.substr(open + 1, close - open - 1));
    return path.Before.size() >= 2 && path.Before.size() <= 3 && path.After.size() >= 1 &&
           path.After.size() <= 2;
}

// "[fsBold, fsItalic]" as the flags of a set property; false when a name is unknown.
bool SetValueOf(const QMetaEnum& flags, std::string_view text, int& value) {
    std::string names = Trim(text);
    if (names.size() >= 2 && names.front() == '[' && names.back() == ']')
        names = names.substr(1, names.size() - 2);
    value = 0;
    for (const std::string& name : SplitDots(StringReplaceAll(names, ",", "."))) {
        const std::string key = Trim(name);
        if (key.empty())
            continue;
        bool ok = false;
        const int bit = flags.keyToValue(key.c_str(), &ok);
        if (!ok)
            return false;
        value |= bit;
    }
    return true;
}

// Writes an extended translation's text to a property, read as the kind that the item
// recorded; a text that does not read as that kind, or a property of another kind, is left.
void WriteTypedValue(QObject* target, const std::string& name, TTypeKind kind,
                     const std::string& text) {
    const TmlPropInfoList props(target);
    const QMetaProperty* p = props.Find(name);
    if (!p || !p->isWritable())
        return;
    QVariant value;
    switch (kind) {
    case tkInteger: {
        int32_t v = 0;
        if (!TryStrToInt(text, v))
            return;
        value = v;
        break;
    }
    case tkInt64: {
        int64_t v = 0;
        if (!TryStrToInt64(text, v))
            return;
        value = static_cast<qlonglong>(v);
        break;
    }
    case tkFloat: {
        double v = 0;
        if (!TryStrToFloat(text, v))
            return;
        value = v;
        break;
    }
    case tkChar:
    case tkWChar:
    case tkString:
    case tkLString:
    case tkWString:
        if (PropKind(*p) != TmlPropKind::String)
            return;
        value = ToQString(text);
        break;
    case tkEnumeration: {
        if (p->metaType().id() == QMetaType::Bool) {
            if (!SameText(text, "True") && !SameText(text, "False"))
                return;
            value = SameText(text, "True");
            break;
        }
        if (!p->isEnumType() || p->isFlagType())
            return;
        bool ok = false;
        const int v = p->enumerator().keyToValue(text.c_str(), &ok);
        if (!ok)
            return;
        value = v;
        break;
    }
    case tkSet: {
        int v = 0;
        if (!p->isFlagType() || !SetValueOf(p->enumerator(), text, v))
            return;
        value = v;
        break;
    }
    case tkClass: {
        if (PropKind(*p) != TmlPropKind::StringList)
            return;
        TStringList items;
        items.SetCommaText(text);
        SetStringListProp(target, name, items);
        return;
    }
    default:
        return;
    }
    p->write(target, value);
}

class Walk {
public:
    explicit Walk(TmlApplyContext& c) : c_(c), ownerClass_(ClassNameOf(c.Owner)) {}

    void Run() {
        if (c_.ApplyKind == -1 && c_.TranslateExtendedFirst)
            ApplyExtended();
        OwnerString(c_.Captions, "Caption");
        OwnerString(c_.Hints, "Hint");
        if (Selected(stCaptions))
            ApplyList(c_.Captions, stCaptions);
        if (Selected(stHints))
            ApplyList(c_.Hints, stHints);
        if (Selected(stDisplayLabels))
            ApplyList(c_.DisplayLabels, stDisplayLabels);
        if (OwnerFont() && (Selected(stFonts) || c_.ApplyKind == stCharSets))
            ApplyList(c_.Fonts, stFonts);
        ApplyOwnerFont();
        if (Selected(stMultiLines))
            ApplyList(c_.MultiLines, stMultiLines);
        if (Selected(stOtherStrings))
            ApplyList(c_.OtherStrings, stOtherStrings);
        if (c_.ChangeLocales && Selected(stLocales))
            ApplyLocales();
        if (Selected(stCollections))
            ApplyList(c_.Collections, stCollections);
        if (c_.ApplyKind == -1 && !c_.TranslateExtendedFirst)
            ApplyExtended();
    }

private:
    bool Selected(TStringsType kind) const { return c_.ApplyKind == -1 || c_.ApplyKind == kind; }

    std::string Field(std::string_view line, int n) const {
        return GetDelimitedField(line, c_.Delim, n);
    }

    std::string Stored(std::string text, int language) const {
        return c_.FromStored ? c_.FromStored(text, language) : text;
    }

    // Font names, character sets and locale settings are never shown through the test display.
    std::string TextOf(std::string_view line, bool testDisplay) const {
        auto field = [&](int language) { return Stored(Field(line, language), language); };
        std::string text = field(c_.ActiveLanguage);
        if (text.empty() && c_.UseDefaultLanguage && c_.ActiveLanguage != c_.DefaultLanguage)
            text = field(c_.DefaultLanguage);
        if (text.empty() && testDisplay && c_.TestDisplay && c_.ActiveLanguage > 1)
            text = c_.TestDisplay(field(1));
        if (text.empty() && c_.GetDefault)
            text = field(1);
        return text;
    }

    bool Excluded(std::string_view property) const {
        return InList(c_.DoNotTranslate, ownerClass_) ||
               InList(c_.SmartExcludeProps, ownerClass_ + "." + std::string(property));
    }

    QObject* OwnerFont() const {
        QObject* font = GetObjProp(c_.Owner, "Font");
        return IsFont(font) ? font : nullptr;
    }

    QObject* Component(std::string_view name) const {
        return FindOwnedComponent(c_.Owner, name, c_.HasOwnTable);
    }

    // A component, or the owner when the name is its class name or its own name.
    QObject* Target(std::string_view name) const {
        if (QObject* component = Component(name))
            return component;
        if (SameText(name, ownerClass_) || SameText(name, FromQString(c_.Owner->objectName())))
            return c_.Owner;
        return nullptr;
    }

    void OwnerString(TStringList* list, const char* property) {
        if (!list || list->Empty() || Excluded(property) ||
            !HasProperty(c_.Owner, property, TmlPropKind::String))
            return;
        const std::string& line = (*list)[0];
        if (!SameText(KeyOf(line, c_.Delim), ownerClass_))
            return;
        const std::string text = TextOf(line, true);
        if (!text.empty())
            SetStrProp(c_.Owner, property, text);
    }

    void ApplyOwnerFont() {
        if (!c_.Fonts || c_.Fonts->Empty() || Excluded("Font"))
            return;
        QObject* font = OwnerFont();
        if (!font)
            return;
        const std::string& line = (*c_.Fonts)[0];
        if (SameText(KeyOf(line, c_.Delim), ownerClass_)) {
            const std::string name = TextOf(line, false);
            if (!name.empty())
                SetStrProp(font, "Name", name);
        }
        const int charset = CharsetOf(ownerClass_);
        if (charset >= 0)
            font->setProperty("Charset", charset);
    }

    // The character set that CharSets gives a component, -1 for none.
    int CharsetOf(std::string_view name) const {
        if (!c_.CharSets)
            return -1;
        for (const std::string& line : c_.CharSets->Items())
            if (SameText(KeyOf(line, c_.Delim), name))
                return CharsetFromName(TextOf(line, false));
        return -1;
    }

    // Texts that an action gives its control are the action's to translate.
    static bool EqualsActionText(const QObject* component, const char* property) {
        const QObject* action = GetObjProp(component, "Action");
        return action && GetStrProp(component, property) == GetStrProp(action, property);
    }

    static const char* PropertyOf(TStringsType kind) {
        switch (kind) {
        case stCaptions:
            return "Caption";
        case stHints:
            return "Hint";
        case stDisplayLabels:
            return "DisplayLabel";
        default:
            return "Font";
        }
    }

    void SetAside(TStringList& list, int index) {
        if (c_.SetAside)
            c_.SetAside->Add(list[index]);
        list.Delete(index);
    }

    void Clean(TStringList& list, TStringsType kind) {
        const int closing = c_.NumOfLanguages + 1;
        for (int i = 0; i < list.Count(); ++i) {
            std::string line = list[i];
            while (CountOf(line, c_.Delim) > closing && line.back() == c_.Delim)
                line.pop_back();
            if (line != list[i])
                list.Put(i, line);
        }
        const bool ownerLists = kind == stCaptions || kind == stHints || kind == stFonts;
        bool ownerLine = false;
        if (ownerLists && !list.Empty()) {
            ownerLine = kind == stFonts
                            ? OwnerFont() != nullptr
                            : HasProperty(c_.Owner, PropertyOf(kind), TmlPropKind::String);
            if (ownerLine && kind != stFonts && EqualsActionText(c_.Owner, PropertyOf(kind)) &&
                list[0].rfind(ownerClass_ + c_.Delim, 0) == 0) {
                list.Delete(0);
                ownerLine = false;
            }
        }
        for (int i = ownerLine ? 1 : 0; i < list.Count();) {
            if (KeepLine(list, i, kind))
                ++i;
        }
        if (c_.AutoSkipEmpties)
            for (int i = list.Count() - 1; i >= 0; --i)
                if (AllTextsEmpty(list[i]))
                    list.Delete(i);
    }

    // Checks line i; removes it (setting it aside when its component is gone) or says keep.
    bool KeepLine(TStringList& list, int i, TStringsType kind) {
        const std::string key = KeyOf(list[i], c_.Delim);
        if (kind == stMultiLines || kind == stOtherStrings || kind == stCollections) {
            const std::string name = key.substr(0, key.find('.'));
            if (!Component(name) && !SameText(name, ownerClass_)) {
                SetAside(list, i);
                return false;
            }
            if (kind == stCollections && !CollectionItem(key)) {
                SetAside(list, i);
                return false;
            }
            return true;
        }
        QObject* component = Component(key);
        if (!component) {
            SetAside(list, i);
            return false;
        }
        if ((kind == stCaptions || kind == stHints) &&
            EqualsActionText(component, PropertyOf(kind))) {
            list.Delete(i);
            return false;
        }
        return true;
    }

    bool AllTextsEmpty(std::string_view line) const {
        const size_t first = line.find_first_not_of(c_.Delim);
        if (first == std::string_view::npos)
            return true;
        const size_t last = line.find_last_not_of(c_.Delim);
        const auto inner = static_cast<int>(last - first + 1);
        return inner <= static_cast<int>(line.size()) - (c_.NumOfLanguages + 1);
    }

    void ApplyList(TStringList* list, TStringsType kind) {
        if (!list)
            return;
        Clean(*list, kind);
        int first = 0;
        if ((kind == stCaptions || kind == stHints || kind == stFonts) && !list->Empty() &&
            c_.Owner->isWidgetType() && !InList(c_.DoNotTranslate, ownerClass_) &&
            Pos(ownerClass_ + c_.Delim, (*list)[0]) > 0)
            first = 1;
        for (int i = first; i < list->Count(); ++i) {
            // A line that fails to apply is skipped; the others still apply.
            try {
                ApplyLine((*list)[i], kind);
            } catch (...) {
            }
        }
    }

    void ApplyLine(const std::string& line, TStringsType kind) {
        const std::string key = KeyOf(line, c_.Delim);
        if (kind == stCollections) {
            ApplyCollectionLine(key, TextOf(line, true));
            return;
        }
        std::string name = key;
        std::string object;
        std::string property = PropertyOf(kind);
        if (kind == stMultiLines || kind == stOtherStrings) {
            const auto parts = SplitDots(key);
            if (parts.size() < 2 || parts.size() > 3)
                return;
            name = parts[0];
            property = parts.back();
            if (parts.size() == 3)
                object = parts[1];
        }
        if (InList(c_.DoNotTranslate, name))
            return;
        QObject* target = Target(name);
        if (target && !object.empty())
            target = GetObjProp(target, object);
        if (!target)
            return;
        const std::string text = TextOf(line, kind != stFonts);
        switch (kind) {
        case stFonts:
            ApplyFont(target, name, text);
            break;
        case stMultiLines:
            WriteStringList(target, property, text);
            break;
        default:
            WriteString(target, property, text, kind == stDisplayLabels || kind == stOtherStrings);
            break;
        }
    }

    void ApplyFont(QObject* control, std::string_view name, const std::string& text) {
        QObject* font = GetObjProp(control, "Font");
        if (!IsFont(font))
            return;
        const bool parentFont = ParentFontIsSet(control);
        const int charset = CharsetOf(name);
        if (charset >= 0 && !parentFont)
            font->setProperty("Charset", charset);
        if (!text.empty() && !parentFont)
            SetStrProp(font, "Name", text);
    }

    static void WriteStringList(QObject* target, const std::string& property,
                                const std::string& text) {
        TStringList current;
        if (text.empty() || !GetStringListProp(target, property, current))
            return;
        if (current.CommaText() == text)
            return;
        TStringList items;
        items.SetCommaText(text);
        SetStringListProp(target, property, items);
    }

    static void WriteString(QObject* target, const std::string& property, const std::string& text,
                            bool mayBePath) {
        if (text.empty() || !HasProperty(target, property, TmlPropKind::String))
            return;
        const std::string current = GetStrProp(target, property);
        if (current == text)
            return;
        const bool isPath = text.find("..") != std::string::npos ||
                            text.find(".\\") != std::string::npos ||
                            text.find("./") != std::string::npos;
        if (mayBePath && isPath && current == ExpandFileName(text))
            return;
        SetStrProp(target, property, text);
    }

    // The object that a collection key names (item, or the object inside it) and the
    // property; null when the item does not exist.
    QObject* CollectionItem(const std::string& key, std::string* property = nullptr) const {
        CollectionPath path;
        try {
            if (!ParseCollectionPath(key, path))
                return nullptr;
        } catch (...) {
            return nullptr;
        }
        QObject* holder = Target(path.Before[0]);
        if (holder && path.Before.size() == 3)
            holder = GetObjProp(holder, path.Before[1]);
        if (!holder)
            return nullptr;
        const QList<QObject*> items = GetCollectionProp(holder, path.Before.back());
        if (path.Index < 0 || path.Index >= items.size())
            return nullptr;
        QObject* item = items[path.Index];
        if (item && path.After.size() == 2)
            item = GetObjProp(item, path.After[0]);
        if (property)
            *property = path.After.back();
        return item;
    }

    void ApplyCollectionLine(const std::string& key, const std::string& text) {
        if (InList(c_.DoNotTranslate, key.substr(0, key.find('.'))))
            return;
        std::string property;
        QObject* item = CollectionItem(key, &property);
        if (!item)
            return;
        if (HasProperty(item, property, TmlPropKind::StringList))
            WriteStringList(item, property, text);
        else
            WriteString(item, property, text, false);
    }

    // Values holds the text of language k as field k - 1.
    std::string ExtendedText(std::string_view values) const {
        auto field = [&](int language) {
            return Stored(GetDelimitedField(values, c_.Delim, language - 1), language);
        };
        std::string text = field(c_.ActiveLanguage);
        if (text.empty() && c_.TestDisplay && c_.NumOfLanguages >= 2)
            text = c_.TestDisplay(field(1));
        if (text.empty() && (c_.GetDefault || c_.UseDefaultLanguage))
            text = field(c_.DefaultLanguage);
        return text;
    }

    void ApplyExtended() {
        if (!c_.Extended)
            return;
        for (int i = 0; i < c_.Extended->Count(); ++i) {
            const TmlExtendedItem& item = c_.Extended->Items(i);
            const std::string text = ExtendedText(item.Values);
            if (text.empty())
                continue;
            // An item that fails to apply is skipped; the others still apply.
            try {
                WriteExtended(item.Identifier(), item.PropertyType, text);
            } catch (...) {
            }
        }
    }

    // "TMainForm.Button1.Font.Name", "TMainForm.ListView1.Columns[2].Caption": the owner's
    // class, then components, objects and collection items down to the property.
    void WriteExtended(const std::string& identifier, TTypeKind kind, const std::string& text) {
        const std::vector<std::string> parts = SplitDots(identifier);
        if (parts.size() < 2)
            return;
        QObject* target = c_.Owner;
        for (size_t i = 1; target && i + 1 < parts.size(); ++i)
            target = PathStep(target, parts[i], i == 1);
        if (target)
            WriteTypedValue(target, parts.back(), kind, text);
    }

    QObject* PathStep(QObject* from, const std::string& name, bool first) const {
        const size_t open = name.find('[');
        if (open != std::string::npos) {
            int32_t index = -1;
            if (name.back() != ']' ||
                !TryStrToInt(name.substr(open + 1, name.size() - open - 2), index))
                return nullptr;
            const QList<QObject*> items = GetCollectionProp(from, name.substr(0, open));
            return index >= 0 && index < items.size() ? items[index] : nullptr;
        }
        if (first)
            if (QObject* component = Component(name))
                return component;
        return GetObjProp(from, name);
    }

    void ApplyLocales() {
        if (!c_.Locales)
            return;
        TFormatSettings& fs = FormatSettings();
        for (const std::string& line : c_.Locales->Items()) {
            const std::string key = KeyOf(line, c_.Delim);
            const std::string text = TextOf(line, false);
            if (text.empty())
                continue;
            if (SameText(key, "Thousand Separator"))
                fs.ThousandSeparator = text[0];
            else if (SameText(key, "Decimal Separator"))
                fs.DecimalSeparator = text[0];
            else if (SameText(key, "Date Separator"))
                fs.DateSeparator = text[0];
            else if (SameText(key, "Time Separator"))
                fs.TimeSeparator = text[0];
            else if (SameText(key, "Short Date Format"))
                fs.ShortDateFormat = text;
            else if (SameText(key, "Long Date Format"))
                fs.LongDateFormat = text;
            else if (SameText(key, "Time AM String"))
                fs.TimeAMString = text;
            else if (SameText(key, "Time PM String"))
                fs.TimePMString = text;
            else if (SameText(key, "Short Time Format"))
                fs.ShortTimeFormat = text;
            else if (SameText(key, "Long Time Format"))
                fs.LongTimeFormat = text;
            // The currency string and the month and day names have no use in the program.
        }
        PublishFormatSettings();
    }

    TmlApplyContext& c_;
    std::string ownerClass_;
};

} // namespace

void ApplyTranslations(TmlApplyContext& context) {
    if (!context.Owner)
        return;
    Walk(context).Run();
}

QObject* FindOwnedComponent(const QObject* owner, std::string_view name,
                            const std::function<bool(const QObject*)>& hasOwnTable) {
    if (!owner || name.empty())
        return nullptr;
    std::deque<const QObject*> pending{owner};
    while (!pending.empty()) {
        const QObject* parent = pending.front();
        pending.pop_front();
        for (QObject* child : parent->children()) {
            if (!child->objectName().isEmpty() && SameText(FromQString(child->objectName()), name))
                return child;
            if (!hasOwnTable || !hasOwnTable(child))
                pending.push_back(child);
        }
    }
    return nullptr;
}

int CharsetFromName(std::string_view name) {
    int32_t value = -1;
    return IdentToCharset(name, value) ? value : -1;
}

} // namespace vx
