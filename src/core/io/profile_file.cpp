// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/profile_file.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <stdexcept>

#include "io/atomic_file.h"
#include "io/code_page.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "io/hex_bytes.h"

namespace vc {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The key of a value's exact form is the value's key with this added.
constexpr char kExactSuffix[] = "hex";

// Cuts UTF-8 text to at most count characters without splitting one.
std::string_view FirstCharacters(std::string_view text, size_t count) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == count) {
            return text.substr(0, i);
        }
    }
    return text;
}

std::string_view ValueOf(std::string_view line) {
    return line.substr(line.find('=') + 1);
}

}  // namespace

std::optional<int32_t> ParseProfileInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty() || text[0] == '+' || text[0] == '-') {
        return std::nullopt;
    }
    uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    // Hexadecimal fills all 32 bits; decimal keeps to the signed range.
    const uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (magnitude > limit) {
        return std::nullopt;
    }
    const auto bits = static_cast<uint32_t>(negative ? 0 - magnitude : magnitude);
    return static_cast<int32_t>(bits);
}

ProfileFile ProfileFile::FromText(std::string_view text) {
    ProfileFile file;
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        const std::string_view content = TrimText(line);
        if (content.starts_with('[')) {
            const size_t close = content.find(']');
            file.AddSection(
                std::string(TrimText(content.substr(1, close == std::string_view::npos ? close : close - 1))),
                std::string(line));
            continue;
        }
        Line parsed{std::string(line), {}};
        const size_t equals = content.find('=');
        if (!content.starts_with(';') && equals != std::string_view::npos) {
            parsed.Key = LowerAscii(TrimText(content.substr(0, equals)));
        }
        file.m_sections.back().Lines.push_back(std::move(parsed));
    }
    return file;
}

ProfileFile ProfileFile::Load(std::string_view path) {
    if (!std::filesystem::exists(ToFsPath(path))) {
        return {};
    }
    return FromBytes(ReadWholeFile(path));
}

ProfileFile ProfileFile::FromBytes(std::span<const uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.starts_with(kByteOrderMark)) {
        return FromText(ValidUtf8(text));
    }
    return FromText(IsValidUtf8(text) ? std::string(text) : Windows1252ToUtf8(text));
}

void ProfileFile::AddSection(std::string name, std::string header) {
    m_firstSection.try_emplace(LowerAscii(name), m_sections.size());
    m_sections.push_back(Section{std::move(name), std::move(header), {}});
}

template <typename Self>
auto ProfileFile::FindKey(Self& self, std::string_view section, std::string_view key)
    -> decltype(&self.m_sections[0].Lines[0]) {
    const auto found = self.m_firstSection.find(LowerAscii(section));
    if (found == self.m_firstSection.end()) {
        return nullptr;
    }
    const std::string wanted = LowerAscii(key);
    for (auto& line : self.m_sections[found->second].Lines) {
        if (!line.Key.empty() && line.Key == wanted) {
            return &line;
        }
    }
    return nullptr;
}

std::optional<std::string> ProfileFile::ReadString(std::string_view section, std::string_view key) const {
    std::optional<std::string> value = ReadWholeString(section, key);
    if (value) {
        value->resize(FirstCharacters(*value, kMaxValueLength).size());
    }
    return value;
}

std::optional<std::string> ProfileFile::ReadWholeString(std::string_view section, std::string_view key) const {
    const Line* line = FindKey(*this, section, key);
    if (line == nullptr) {
        return std::nullopt;
    }
    return std::string(TrimText(ValueOf(line->Text)));
}

std::optional<std::string> ProfileFile::ReadExactString(std::string_view section, std::string_view key) const {
    if (const std::optional<std::string> hex = ReadWholeString(section, std::string(key) + kExactSuffix)) {
        if (const std::optional<std::vector<uint8_t>> bytes = ParseHexBytes(*hex)) {
            std::string value(bytes->begin(), bytes->end());
            if (IsValidUtf8(value)) {
                return value;
            }
        }
    }
    return ReadString(section, key);
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key, std::string_view fallback) const {
    return ReadString(section, key).value_or(std::string(fallback));
}

int32_t ProfileFile::ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const {
    const std::optional<std::string> value = ReadString(section, key);
    return value ? ParseProfileInteger(*value).value_or(fallback) : fallback;
}

bool ProfileFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

std::vector<std::string> ProfileFile::SectionNames() const {
    std::vector<std::string> names;
    for (size_t i = 1; i < m_sections.size(); ++i) {
        names.push_back(m_sections[i].Name);
    }
    return names;
}

void ProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        throw std::invalid_argument("a profile file's value is one line");
    }
    std::string text = std::string(key) + "=" + std::string(value);
    if (Line* existing = FindKey(*this, section, key)) {
        existing->Text = std::move(text);
        return;
    }
    auto found = m_firstSection.find(LowerAscii(section));
    if (found == m_firstSection.end()) {
        AddSection(std::string(section), "[" + std::string(section) + "]");
        found = m_firstSection.find(LowerAscii(section));
    }
    std::vector<Line>& lines = m_sections[found->second].Lines;
    // A new key goes behind the section's last key, before any blank lines that end it.
    auto position = lines.end();
    while (position != lines.begin() && TrimText(std::prev(position)->Text).empty()) {
        --position;
    }
    lines.insert(position, Line{std::move(text), LowerAscii(key)});
}

void ProfileFile::DeleteKey(std::string_view section, std::string_view key) {
    if (Line* line = FindKey(*this, section, key)) {
        std::vector<Line>& lines = m_sections[m_firstSection.at(LowerAscii(section))].Lines;
        lines.erase(lines.begin() + (line - lines.data()));
    }
}

void ProfileFile::WriteExactString(std::string_view section, std::string_view key, std::string_view value) {
    std::string plain(value);
    std::replace_if(plain.begin(), plain.end(), IsControlCharacter, ' ');
    plain = std::string(FirstCharacters(TrimText(plain), kMaxValueLength));
    WriteString(section, key, plain);
    if (plain != value) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(value.data());
        WriteString(section, std::string(key) + kExactSuffix, HexBytes({bytes, value.size()}));
    }
}

std::string ProfileFile::Text() const {
    std::string text;
    for (size_t i = 0; i < m_sections.size(); ++i) {
        if (i > 0) {
            text += m_sections[i].Header;
            text += "\r\n";
        }
        for (const Line& line : m_sections[i].Lines) {
            text += line.Text;
            text += "\r\n";
        }
    }
    return text;
}

std::string ProfileFile::Bytes() const {
    const std::string text = Text();
    if (!FitsWindows1252(text)) {
        return text;
    }
    // Windows-1252 bytes that also pass as UTF-8 would be read back as other characters: such a
    // file is written in UTF-8 and says so.
    std::string bytes = Utf8ToWindows1252(text);
    if (bytes != text && IsValidUtf8(bytes)) {
        return std::string(kByteOrderMark) + text;
    }
    return bytes;
}

void ProfileFile::Save(std::string_view path) const {
    const std::string bytes = Bytes();
    WriteFileAtomically(path, {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

}  // namespace vc
