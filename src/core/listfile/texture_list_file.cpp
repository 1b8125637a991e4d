#include "listfile/texture_list_file.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"

namespace vc {

namespace {

constexpr std::string_view kListSection = "TXDList";
constexpr std::string_view kTextureSection = "Texture";
constexpr std::string_view kAppName = "Vellumcraft 1.1";

std::string TextureSection(size_t number) {
    return std::string(kTextureSection) + std::to_string(number);
}

// The numbers N from 1 to count of the [TextureN] sections present, in ascending order. Any other
// number up to count names a missing section, which would be skipped silently; reading only those
// present keeps a hand-edited count of millions from costing millions of look-ups.
std::vector<int32_t> ListedTextureNumbers(const ProfileFile& file, int32_t count) {
    std::vector<int32_t> numbers;
    for (const std::string& name : file.SectionNames()) {
        const std::string_view digits = std::string_view(name).substr(std::min(name.size(), kTextureSection.size()));
        if (LowerAscii(name.substr(0, kTextureSection.size())) != "texture" || digits.empty() || digits[0] == '0') {
            continue;
        }
        int32_t number = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (error == std::errc{} && end == digits.data() + digits.size() && number <= count) {
            numbers.push_back(number);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

std::string Quoted(std::string_view path) {
    return "\"" + std::string(FileNamePart(path)) + "\"";
}

// One [TextureN] section as read, every value trimmed.
struct ListedTexture {
    std::string Name;
    std::string Path;
    std::string Alpha;
    std::string AlphaPath;
};

ListedTexture ReadListedTexture(const ProfileFile& file, const std::string& section) {
    return {file.ReadString(section, "name", ""), file.ReadString(section, "path", ""),
            file.ReadString(section, "alpha", ""), file.ReadString(section, "alphapath", "")};
}

// Adds one listed texture; false when it was left out. The look-up holds every entry of the list,
// those added by this import included.
bool ImportTexture(Workspace& workspace, TextureLookup& lookup, const ListedTexture& listed, bool pwr2lmt) {
    std::string& problems = workspace.Intake.ProblemText;
    const bool alphaUsable = !listed.AlphaPath.empty() && IsExistingFile(listed.AlphaPath);
    // The name as listed, possibly empty, takes part in the look-up.
    if (!listed.Path.empty() && lookup.Contains(listed.Name, listed.Path)) {
        problems += "\r\n\r\n=> " + Quoted(listed.Path) + " already exists.";
        return false;
    }
    if (listed.Path.empty()) {
        return false;
    }
    TImageInfo colour;
    if (!workspace.Intake.ReadImageFile(listed.Path, kColourSlot, false, pwr2lmt, colour)) {
        return false;
    }
    TImageInfo alpha;
    if (alphaUsable && !workspace.Intake.ReadImageFile(listed.AlphaPath, kAlphaSlot, false, pwr2lmt, alpha)) {
        return false;
    }
    TTexFile entry;
    entry.TexPath = listed.Path;
    entry.TexName = listed.Name.empty() ? std::string(FileNameWithoutExtension(listed.Path)) : listed.Name;
    entry.TexInfo = colour;
    if (alphaUsable && alpha.Width == colour.Width && alpha.Height == colour.Height && colour.Depth >= alpha.Depth) {
        entry.HasAlpha = true;
        entry.AlphaPath = listed.AlphaPath;
        entry.AlphaName = listed.Alpha.empty() ? std::string(FileNameWithoutExtension(listed.AlphaPath)) : listed.Alpha;
        if (entry.AlphaName == entry.TexName) {
            entry.AlphaName += "a";
        }
        entry.AlphaInfo = alpha;
    } else if (alphaUsable) {
        problems += "\r\n\r\n=> " + Quoted(listed.Path) + " and alpha " + Quoted(listed.AlphaPath) +
                    " don't have same dimensions - alpha dismissed.";
    }
    lookup.Add(entry);
    workspace.TexList.push_back(std::move(entry));
    return true;
}

}  // namespace

ProfileFile TextureListProfile(const TextureList& list) {
    ProfileFile file;
    file.WriteString(kListSection, "count", std::to_string(list.size()));
    file.WriteString(kListSection, "app", kAppName);
    for (size_t i = 0; i < list.size(); ++i) {
        const TTexFile& entry = list[i];
        const std::string section = TextureSection(i + 1);
        file.WriteString(section, "name", entry.TexName);
        file.WriteString(section, "path", entry.TexPath);
        if (entry.HasAlpha) {
            file.WriteString(section, "alpha", entry.AlphaName);
            file.WriteString(section, "alphapath", entry.AlphaPath);
        }
    }
    return file;
}

void ExportTextureList(const TextureList& list, std::string_view path) {
    if (list.empty()) {
        return;
    }
    const ProfileFile file = TextureListProfile(list);
    try {
        file.Save(path);
    } catch (const Error&) {
        throw Error("Unable to write to " + std::string(path));
    }
}

size_t ImportTextureList(Workspace& workspace, std::string_view path, bool pwr2lmt, const ImportProgress& progress) {
    const ProfileFile file = ProfileFile::Load(path);
    const std::vector<int32_t> numbers = ListedTextureNumbers(file, file.ReadInteger(kListSection, "count", 0));
    TextureLookup lookup(workspace.TexList);
    size_t added = 0;
    for (size_t index = 0; index < numbers.size(); ++index) {
        const ListedTexture listed = ReadListedTexture(file, TextureSection(static_cast<size_t>(numbers[index])));
        if (progress) {
            progress(index, numbers.size(), listed.Path);
        }
        if (ImportTexture(workspace, lookup, listed, pwr2lmt)) {
            ++added;
        }
    }
    workspace.SuggestedTxdPath = SuggestedTxdPath(path);
    return added;
}

std::string SuggestedTxdPath(std::string_view listPath) {
    return std::string(listPath.substr(0, listPath.size() - FileExtension(listPath).size())) + ".txd";
}

}  // namespace vc
