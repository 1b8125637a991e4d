// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vc {

// Reads a profile-file integer: an optional sign, then decimal digits, or hexadecimal digits after
// "0x", "$" or "x" (any letter case). Anything else, or a number outside 32 bits, gives nothing.
std::optional<int32_t> ParseProfileInteger(std::string_view text);

// An INI-form file: "[section]" lines, then "key=value" lines. Section and key names match
// without regard to letter case; the first matching section, and in it the first matching key,
// wins. Lines that are blank, start with ";" or hold no "=" carry nothing but are kept, so that
// rewriting a file changes only the keys written.
class ProfileFile {
  public:
    static constexpr size_t kMaxValueLength = 2047;

    ProfileFile() = default;
    // Parses UTF-8 text with CR LF or LF line ends.
    static ProfileFile FromText(std::string_view text);
    // Parses a file's bytes: UTF-8 after a UTF-8 byte-order mark or when they are valid UTF-8,
    // Windows-1252 otherwise.
    static ProfileFile FromBytes(std::span<const uint8_t> bytes);
    // Reads a file as FromBytes parses it. A file that does not exist reads as empty; one that
    // exists but cannot be read throws an Error.
    static ProfileFile Load(std::string_view path);

    // The value trimmed of characters up to 32 at both ends and cut to 2047 characters.
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // The value trimmed but never cut, for values of any length such as bytes in hexadecimal.
    std::optional<std::string> ReadWholeString(std::string_view section, std::string_view key) const;
    // A value WriteExactString wrote, exactly: the hexadecimal form's when there is one and it is
    // sound UTF-8 in hexadecimal, else the plain value as ReadString reads it.
    std::optional<std::string> ReadExactString(std::string_view section, std::string_view key) const;
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
    // True for any number other than 0; the fallback when the value is no number.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
    std::vector<std::string> SectionNames() const;

    // Replaces the first matching key's value, or adds the key to the end of the first matching
    // section, or adds the section with the key at the end of the file.
    // The value must be one line: a line break in it throws std::invalid_argument.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Writes a value that must come back byte for byte (a name or path, which may hold any
    // character). A value that reads back as written is written plain; one that would not (control
    // characters, blanks at either end, more than kMaxValueLength characters) is written plain with its
    // control characters as blanks, trimmed and cut, for readers that know only the plain key, and
    // exactly under the key with "hex" added, as its UTF-8 bytes in hexadecimal.
    void WriteExactString(std::string_view section, std::string_view key, std::string_view value);
    // Removes the key's line, the first one of its section as reading finds it; a missing key is
    // no error.
    void DeleteKey(std::string_view section, std::string_view key);

    // The whole file as text with CR LF line ends.
    std::string Text() const;
    // The file's bytes: in Windows-1252 when every character fits it and those bytes do not also
    // read as other UTF-8 text, else in UTF-8; in the second case after a byte-order mark, so that
    // no reader takes them for Windows-1252.
    std::string Bytes() const;
    // Writes Bytes() atomically.
    void Save(std::string_view path) const;

  private:
    struct Line {
        std::string Text;
        std::string Key;  // lower-cased key of a key line; empty for lines that carry nothing
    };
    struct Section {
        std::string Name;
        std::string Header;  // the header line as written
        std::vector<Line> Lines;
    };

    template <typename Self>
    static auto FindKey(Self& self, std::string_view section, std::string_view key)
        -> decltype(&self.m_sections[0].Lines[0]);
    void AddSection(std::string name, std::string header);

    // Lines before the first section header belong to no section and are never read.
    std::vector<Section> m_sections{Section{}};
    std::unordered_map<std::string, size_t> m_firstSection;  // lower-cased name to index
};

}  // namespace vc
