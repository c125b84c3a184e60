#include "platform/system/IniFile.h"

#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/system/Files.h"

namespace vx {

namespace {

// "[name]" after trimming: the name, trimmed; false for any other line.
bool SectionName(std::string_view text, std::string& name) {
    std::string t = Trim(text);
    if (t.size() < 2 || t.front() != '[')
        return false;
    size_t close = t.find(']');
    if (close == std::string::npos)
        return false;
    name = Trim(std::string_view(t).substr(1, close - 1));
    return true;
}

bool KeyLine(std::string_view text, std::string& key, std::string& value) {
    size_t eq = text.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = Trim(text.substr(0, eq));
    value = Trim(text.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return true;
}

} // namespace

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    if (!FileExists(fileName_))
        return;
    const std::string text = ReadWholeFile(fileName_);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        Line line;
        if (end == std::string::npos) {
            line.Text = text.substr(pos);
            pos = text.size();
        } else {
            line.Text = text.substr(pos, end - pos);
            size_t endLen = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
            line.End = text.substr(end, endLen);
            pos = end + endLen;
        }
        lines_.push_back(std::move(line));
    }
}

int TIniFile::FindSection(std::string_view section) const {
    const std::string wanted = Trim(section);
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (SectionName(lines_[i].Text, name) && SameText(name, wanted))
            return static_cast<int>(i);
    return -1;
}

int TIniFile::FindKey(int header, std::string_view key) const {
    const std::string wanted = Trim(key);
    std::string name, k, v;
    for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size(); ++i) {
        if (SectionName(lines_[i].Text, name))
            break;
        if (KeyLine(lines_[i].Text, k, v) && SameText(k, wanted))
            return static_cast<int>(i);
    }
    return -1;
}

bool TIniFile::SectionExists(std::string_view section) const {
    return FindSection(section) >= 0;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    int header = FindSection(section);
    return header >= 0 && FindKey(header, key) >= 0;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
    int header = FindSection(section);
    int at = header >= 0 ? FindKey(header, key) : -1;
    if (at < 0)
        return std::string(def);
    std::string k, v;
    KeyLine(lines_[static_cast<size_t>(at)].Text, k, v);
    return v;
}

std::string TIniFile::NewLineEnd() const {
    for (const Line& l : lines_)
        if (!l.End.empty())
            return l.End;
    return "\r\n";
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string entry = std::string(key) + "=" + std::string(value);
    const std::string nl = NewLineEnd();
    int header = FindSection(section);
    if (header < 0) {
        if (!lines_.empty() && lines_.back().End.empty())
            lines_.back().End = nl;
        lines_.push_back({"[" + std::string(section) + "]", nl});
        lines_.push_back({entry, nl});
        modified_ = true;
        return;
    }
    if (int at = FindKey(header, key); at >= 0) {
        // Keep the key as the file spells it; only the value changes.
        Line& line = lines_[static_cast<size_t>(at)];
        std::string updated = line.Text.substr(0, line.Text.find('=') + 1) + std::string(value);
        if (updated != line.Text) {
            line.Text = std::move(updated);
            modified_ = true;
        }
        return;
    }
    // After the section's last non-blank line, so that blank lines between sections stay.
    size_t last = static_cast<size_t>(header);
    std::string name;
    for (size_t i = last + 1; i < lines_.size() && !SectionName(lines_[i].Text, name); ++i)
        if (!Trim(lines_[i].Text).empty())
            last = i;
    if (lines_[last].End.empty())
        lines_[last].End = nl;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last) + 1, Line{entry, nl});
    modified_ = true;
}

void TIniFile::UpdateFile() {
    if (!modified_)
        return;
    std::string text;
    for (const Line& l : lines_)
        text += l.Text + l.End;
    WriteFileAtomically(fileName_, text);
    modified_ = false;
}

} // namespace vx
