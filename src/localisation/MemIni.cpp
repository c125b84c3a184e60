#include "localisation/MemIni.h"

#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/system/Files.h"

#include <array>
#include <cmath>
#include <vector>

namespace vx {

int BMHPos(std::string_view pattern, std::string_view text) {
    const size_t m = pattern.size();
    if (m == 0)
        return 1;
    std::array<size_t, 256> skip;
    skip.fill(m);
    for (size_t i = 0; i + 1 < m; ++i)
        skip[static_cast<unsigned char>(pattern[i])] = m - 1 - i;
    size_t k = m; // 1-based end of the window in the text
    while (k <= text.size()) {
        size_t t = k, p = m;
        while (p > 0 && text[t - 1] == pattern[p - 1]) {
            --t;
            --p;
        }
        if (p == 0)
            return static_cast<int>(t + 1);
        k += skip[static_cast<unsigned char>(text[k - 1])];
    }
    return 0;
}

std::string GetDelimitedField(std::string_view line, char delimiter, int fieldNo) {
    const size_t nul = line.find('\0');
    if (nul != std::string_view::npos)
        line = line.substr(0, nul);
    if (line.empty() || fieldNo < 0)
        return {};
    size_t start = 0;
    if ((fieldNo & 0xFF) != 0) {
        int passed = 0;
        while (passed < fieldNo) {
            const size_t d = line.find(delimiter, start);
            if (d == std::string_view::npos)
                return {};
            start = d + 1;
            ++passed;
        }
    }
    const size_t end = line.find(delimiter, start);
    return std::string(line.substr(start, end == std::string_view::npos ? end : end - start));
}

std::u16string GetDelimitedFieldW(std::u16string_view line, char16_t delimiter, int fieldNo) {
    if (fieldNo < 0)
        return {};
    size_t start = 0;
    for (int passed = 0; passed < fieldNo; ++passed) {
        const size_t d = line.find(delimiter, start);
        if (d == std::u16string_view::npos)
            return {};
        start = d + 1;
    }
    const size_t end = line.find(delimiter, start);
    if (end == std::u16string_view::npos)
        return {};
    return std::u16string(line.substr(start, end - start));
}

int CountDelimiters(std::string_view text, std::string_view delimiters) {
    int count = 0;
    for (char c : text)
        if (delimiters.find(c) != std::string_view::npos)
            ++count;
    return count;
}

int WordPosition(int n, std::string_view text, std::string_view delimiters) {
    auto isDelim = [&](size_t i) { return delimiters.find(text[i]) != std::string_view::npos; };
    int count = 0;
    size_t i = 0;
    while (i < text.size() && count != n) {
        while (i < text.size() && isDelim(i))
            ++i;
        if (i < text.size())
            ++count;
        if (count == n)
            return static_cast<int>(i + 1);
        while (i < text.size() && !isDelim(i))
            ++i;
    }
    return 0;
}

std::string ExtractWord(int n, std::string_view text, std::string_view delimiters) {
    const int pos = WordPosition(n, text, delimiters);
    if (pos == 0)
        return {};
    const size_t start = static_cast<size_t>(pos - 1);
    const size_t end = text.find_first_of(delimiters, start);
    return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
}

std::string BMHReplace(std::string_view text, std::string_view pattern,
                       std::string_view replacement, bool all) {
    if (pattern.empty())
        return std::string(text);
    std::string result;
    size_t from = 0;
    while (from <= text.size()) {
        const int pos = BMHPos(pattern, text.substr(from));
        if (pos == 0)
            break;
        const size_t at = from + static_cast<size_t>(pos - 1);
        result.append(text.substr(from, at - from)).append(replacement);
        from = at + pattern.size();
        if (!all)
            break;
    }
    result.append(text.substr(std::min(from, text.size())));
    return result;
}

namespace {

// Field 0 and fields 1 .. (number of delimiters); a closing delimiter yields a last empty
// field, which the column operations keep.
std::vector<std::string> SplitFields(std::string_view line, char delimiter) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t d = line.find(delimiter, start);
        if (d == std::string_view::npos) {
            fields.emplace_back(line.substr(start));
            return fields;
        }
        fields.emplace_back(line.substr(start, d - start));
        start = d + 1;
    }
}

std::string JoinFields(const std::vector<std::string>& fields, char delimiter) {
    std::string line = fields.empty() ? std::string() : fields[0];
    for (size_t i = 1; i < fields.size(); ++i)
        line.append(1, delimiter).append(fields[i]);
    return line.append(1, delimiter);
}

} // namespace

std::string RemoveLanguageColumn(std::string_view line, char delimiter, int fieldNo) {
    std::vector<std::string> fields = SplitFields(line, delimiter);
    if (fieldNo >= 1 && static_cast<size_t>(fieldNo) < fields.size())
        fields.erase(fields.begin() + fieldNo);
    return JoinFields(fields, delimiter);
}

void RemoveLanguageColumn(TStringList& lines, char delimiter, int fieldNo) {
    for (int i = 0; i < lines.Count(); ++i)
        lines.Put(i, RemoveLanguageColumn(lines[i], delimiter, fieldNo));
}

std::string MoveLanguageColumn(std::string_view line, int from, int to, char delimiter) {
    std::vector<std::string> fields = SplitFields(line, delimiter);
    const int last = static_cast<int>(fields.size()) - 1;
    if (from == to || from < 1 || to < 1 || from > last || to > last)
        return std::string(line);
    std::string moved = std::move(fields[static_cast<size_t>(from)]);
    fields.erase(fields.begin() + from);
    fields.insert(fields.begin() + to, std::move(moved));
    return JoinFields(fields, delimiter);
}

void MoveLanguageColumn(TStringList& lines, int from, int to, char delimiter) {
    for (int i = 0; i < lines.Count(); ++i)
        lines.Put(i, MoveLanguageColumn(lines[i], from, to, delimiter));
}

std::string FlipCase(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = LowCase(c) != c ? LowCase(c) : UpCase(c);
    return result;
}

std::string ExpandChars(std::string_view text, char fill, int percent) {
    if (text.find('%') != std::string_view::npos || text.empty() || percent <= 0)
        return std::string(text);
    const int64_t length = static_cast<int64_t>(text.size());
    int64_t left = length * percent / 100;
    std::string result;
    for (int64_t i = 1; i <= length; ++i) {
        result += text[static_cast<size_t>(i - 1)];
        const int64_t n = left / (length + 1 - i);
        result.append(static_cast<size_t>(n), fill);
        left -= n;
    }
    return result;
}

// ---- TmlCustomIniFile ----

int32_t TmlCustomIniFile::ReadInteger(std::string_view section, std::string_view ident,
                                      int32_t def) const {
    const std::string s = ReadString(section, ident, "");
    int32_t value = def;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        if (!TryStrToInt("$" + s.substr(2), value))
            return def;
        return value;
    }
    return TryStrToInt(s, value) ? value : def;
}

void TmlCustomIniFile::WriteInteger(std::string_view section, std::string_view ident,
                                    int32_t value) {
    WriteString(section, ident, IntToStr(value));
}

bool TmlCustomIniFile::ReadBool(std::string_view section, std::string_view ident, bool def) const {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TmlCustomIniFile::WriteBool(std::string_view section, std::string_view ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

TDateTime TmlCustomIniFile::ReadDateTime(std::string_view section, std::string_view ident,
                                         TDateTime def) const {
    const std::string s = ReadString(section, ident, "");
    TDateTime value = 0;
    if (s.empty() || !TryStrToDateTime(s, value))
        return def;
    return value;
}

TDateTime TmlCustomIniFile::ReadDate(std::string_view section, std::string_view ident,
                                     TDateTime def) const {
    return ReadDateTime(section, ident, def);
}

TDateTime TmlCustomIniFile::ReadTime(std::string_view section, std::string_view ident,
                                     TDateTime def) const {
    const std::string s = ReadString(section, ident, "");
    if (s.empty())
        return def;
    // A time alone, h[:n[:s]] with the current separator; anything else as a date and time.
    int parts[3] = {0, 0, 0};
    int count = 0;
    bool plainTime = true;
    for (size_t i = 0; plainTime && i <= s.size(); ++count) {
        const size_t end = std::min(s.find(FormatSettings().TimeSeparator, i), s.size());
        plainTime = count < 3 && TryStrToInt(Trim(s.substr(i, end - i)), parts[count]);
        i = end + 1;
    }
    TDateTime value = 0;
    if (plainTime)
        return TryEncodeTime(parts[0], parts[1], parts[2], 0, value) ? value : def;
    return ReadDateTime(section, ident, def);
}

double TmlCustomIniFile::ReadFloat(std::string_view section, std::string_view ident,
                                   double def) const {
    const std::string s = ReadString(section, ident, "");
    double value = 0;
    if (s.empty() || !TryStrToFloat(s, value))
        return def;
    return value;
}

void TmlCustomIniFile::WriteDate(std::string_view section, std::string_view ident,
                                 TDateTime value) {
    WriteString(section, ident, FormatDateTime(FormatSettings().ShortDateFormat, value));
}

void TmlCustomIniFile::WriteDateTime(std::string_view section, std::string_view ident,
                                     TDateTime value) {
    WriteString(section, ident, FormatDateTime("c", value));
}

void TmlCustomIniFile::WriteFloat(std::string_view section, std::string_view ident, double value) {
    WriteString(section, ident, FloatToStr(value));
}

void TmlCustomIniFile::WriteTime(std::string_view section, std::string_view ident,
                                 TDateTime value) {
    WriteString(section, ident, FormatDateTime(FormatSettings().LongTimeFormat, value));
}

bool TmlCustomIniFile::SectionExists(std::string_view section) const {
    TStringList keys;
    keys.SetSorted(true);
    ReadSection(section, keys);
    return keys.Count() > 0;
}

// ---- TmlMemIniFile ----

// One section: its key names in sorted order (duplicates accepted), each value as the object.
struct TmlMemIniFile::TMemIniEntry {
    TMemIniEntry() {
        Keys.SetSorted(true);
        Keys.SetDuplicates(TDuplicates::dupAccept);
    }
    ~TMemIniEntry() { Clear(); }
    TMemIniEntry(const TMemIniEntry&) = delete;
    TMemIniEntry& operator=(const TMemIniEntry&) = delete;

    static std::string& ValueOf(const TStringList& keys, int index) {
        return *static_cast<std::string*>(keys.Objects(index));
    }
    void Add(std::string_view key, std::string_view value) {
        Keys.AddObject(key, new std::string(value));
    }
    void Delete(int index) {
        delete static_cast<std::string*>(Keys.Objects(index));
        Keys.Delete(index);
    }
    void Clear() {
        for (int i = 0; i < Keys.Count(); ++i)
            delete static_cast<std::string*>(Keys.Objects(i));
        Keys.Clear();
    }

    TStringList Keys;
};

TmlMemIniFile::TmlMemIniFile(std::string fileName) : TmlCustomIniFile(std::move(fileName)) {
    sections_.SetSorted(true);
    sections_.SetDuplicates(TDuplicates::dupIgnore);
    if (!FileName().empty() && FileExists(FileName())) {
        TStringList lines;
        lines.LoadFromFile(FileName());
        SetStrings(lines);
    }
}

TmlMemIniFile::~TmlMemIniFile() {
    Clear();
}

void TmlMemIniFile::Clear() {
    for (int i = 0; i < sections_.Count(); ++i)
        delete static_cast<TMemIniEntry*>(sections_.Objects(i));
    sections_.Clear();
}

TmlMemIniFile::TMemIniEntry* TmlMemIniFile::FindSection(std::string_view section) const {
    int index = 0;
    if (!sections_.Find(section, index))
        return nullptr;
    return static_cast<TMemIniEntry*>(sections_.Objects(index));
}

TmlMemIniFile::TMemIniEntry* TmlMemIniFile::AddSection(std::string_view section) {
    if (TMemIniEntry* existing = FindSection(section))
        return existing;
    auto* entry = new TMemIniEntry;
    sections_.AddObject(section, entry);
    return entry;
}

void TmlMemIniFile::SetStrings(const TStringList& lines) {
    Clear();
    TMemIniEntry* current = nullptr;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines[i];
        if (line.empty() || line[0] == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            // A repeated header continues the section it names, so no key is lost.
            current = AddSection(std::string_view(line).substr(1, line.size() - 2));
            continue;
        }
        if (current == nullptr)
            continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            current->Add(line, "");
        else
            current->Add(std::string_view(line).substr(0, eq),
                         std::string_view(line).substr(eq + 1));
    }
    modified_ = true;
}

void TmlMemIniFile::LoadFromStream(TStream& stream) {
    TStringList lines;
    lines.LoadFromStream(stream);
    SetStrings(lines);
}

void TmlMemIniFile::GetStrings(TStringList& lines) const {
    lines.Clear();
    for (int i = 0; i < sections_.Count(); ++i) {
        const auto* entry = static_cast<const TMemIniEntry*>(sections_.Objects(i));
        lines.Add("[" + sections_[i] + "]");
        for (int k = 0; k < entry->Keys.Count(); ++k)
            lines.Add(entry->Keys[k] + "=" + TMemIniEntry::ValueOf(entry->Keys, k));
        lines.Add("");
    }
}

std::string TmlMemIniFile::ReadString(std::string_view section, std::string_view ident,
                                      std::string_view def) const {
    const TMemIniEntry* entry = FindSection(section);
    int index = 0;
    if (entry == nullptr || !entry->Keys.Find(ident, index))
        return std::string(def);
    return TMemIniEntry::ValueOf(entry->Keys, index);
}

void TmlMemIniFile::WriteString(std::string_view section, std::string_view ident,
                                std::string_view value) {
    TMemIniEntry* entry = AddSection(section);
    int index = 0;
    if (entry->Keys.Find(ident, index))
        entry->Delete(index);
    entry->Add(ident, value);
    modified_ = true;
}

void TmlMemIniFile::ReadSection(std::string_view section, TStringList& keys) const {
    keys.Clear();
    if (const TMemIniEntry* entry = FindSection(section))
        for (int i = 0; i < entry->Keys.Count(); ++i)
            keys.Add(entry->Keys[i]);
}

void TmlMemIniFile::ReadSections(TStringList& sections) const {
    sections.Clear();
    for (int i = 0; i < sections_.Count(); ++i)
        sections.Add(sections_[i]);
}

void TmlMemIniFile::ReadSectionValues(std::string_view section, TStringList& values) const {
    values.Clear();
    if (const TMemIniEntry* entry = FindSection(section))
        for (int i = 0; i < entry->Keys.Count(); ++i)
            values.Add(TMemIniEntry::ValueOf(entry->Keys, i));
}

void TmlMemIniFile::EraseSection(std::string_view section) {
    int index = 0;
    if (!sections_.Find(section, index))
        return;
    delete static_cast<TMemIniEntry*>(sections_.Objects(index));
    sections_.Delete(index);
    modified_ = true;
}

void TmlMemIniFile::DeleteKey(std::string_view section, std::string_view ident) {
    TMemIniEntry* entry = FindSection(section);
    if (entry == nullptr)
        return;
    int index = 0;
    if (entry->Keys.Find(ident, index))
        entry->Delete(index);
    modified_ = true;
}

void TmlMemIniFile::UpdateFile() {
    TStringList lines;
    GetStrings(lines);
    lines.SaveToFile(FileName());
    modified_ = false;
}

} // namespace vx
