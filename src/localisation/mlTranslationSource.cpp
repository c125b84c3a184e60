#include "localisation/mlTranslationSource.h"

#include "localisation/mlComp.h"
#include "localisation/mlStoredTable.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Strings.h"

#include <array>
#include <map>

namespace vx {

namespace {

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> cells;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        cells.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos)
            return cells;
        start = tab + 1;
    }
}

std::string Unescape(std::string_view cell) {
    std::string out;
    for (size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] != '\\' || i + 1 == cell.size()) {
            out += cell[i];
            continue;
        }
        const char e = cell[i + 1];
        const char plain = e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
        if (e == 'n' || e == 'r' || e == 't' || e == '\\') {
            out += plain;
            ++i;
        } else {
            out += '\\';
        }
    }
    return out;
}

[[noreturn]] void Fail(int line, std::string_view reason) {
    throw EConvertError("line " + IntToStr(line) + ": " + std::string(reason));
}

int ListKind(std::string_view name) {
    for (int k = 0; k < kStringsTypeCount - 1; ++k)
        if (StringsTypeName(static_cast<TStringsType>(k)).substr(2) == name)
            return k;
    return -1;
}

} // namespace

TranslationSource ParseTranslationSource(std::string_view utf8) {
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF")
        utf8.remove_prefix(3);
    TranslationSource source;
    bool header = false;
    int lineNo = 0;
    size_t start = 0;
    while (start < utf8.size()) {
        size_t end = utf8.find('\n', start);
        if (end == std::string_view::npos)
            end = utf8.size();
        std::string_view line = utf8.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        if (!IsCp1252Representable(line))
            Fail(lineNo, "not UTF-8, or a character outside Windows-1252");
        const std::vector<std::string_view> cells = SplitTabs(line);
        if (!header) {
            if (cells.size() < 3 || cells[0] != "list" || cells[1] != "key")
                Fail(lineNo, "the header must read list, key and one column per language");
            for (size_t i = 2; i < cells.size(); ++i)
                source.Languages.push_back(Utf8ToCp1252(cells[i]));
            header = true;
            continue;
        }
        if (cells.size() < 2 || cells.size() > source.Languages.size() + 2)
            Fail(lineNo, "a row holds a list, a key and at most one text per language");
        TranslationSourceRow row;
        row.Line = lineNo;
        row.List = std::string(cells[0]);
        row.Key = Utf8ToCp1252(Unescape(cells[1]));
        if (row.List != "Property" && ListKind(row.List) < 0)
            Fail(lineNo, "unknown list \"" + row.List + "\"");
        if (row.Key.empty())
            Fail(lineNo, "empty key");
        for (size_t i = 0; i < source.Languages.size(); ++i)
            row.Texts.push_back(i + 2 < cells.size() ? Utf8ToCp1252(Unescape(cells[i + 2]))
                                                     : std::string());
        source.Rows.push_back(std::move(row));
    }
    if (!header)
        Fail(lineNo, "no header");
    return source;
}

void FillTableFromSource(TmlCustomLang& lang, const TranslationSource& source) {
    ApplySystemTableSettings(lang);
    lang.SetNumOfLanguages(static_cast<int>(source.Languages.size()));
    for (const TranslationSourceRow& row : source.Rows) {
        if (row.List != "Property")
            continue;
        try {
            SetTableProperty(lang, row.Key, row.Texts.empty() ? "" : row.Texts[0]);
        } catch (const Exception& e) {
            Fail(row.Line, e.Message);
        }
    }
    std::map<int, TStringList> lists;
    const char delim = lang.LangDelim();
    for (const TranslationSourceRow& row : source.Rows) {
        const int kind = ListKind(row.List);
        if (kind < 0)
            continue;
        std::string item = row.Key + delim;
        for (const std::string& text : row.Texts)
            item.append(text).append(1, delim);
        lists[kind].Add(item);
    }
    for (const auto& [kind, lines] : lists)
        lang.List(static_cast<TStringsType>(kind))->Assign(lines);
}

} // namespace vx
