#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "texlist/image_intake.h"
#include "texlist/tex_file.h"

namespace vc {

// One run's texture work: the list, and the intake with its problem report and conversion
// buffers. The application, a command-line run or a test owns one.
struct Workspace {
    TextureList TexList;
    ImageIntake Intake;
    // The dictionary name the Build command suggests; the last list import sets it.
    std::string SuggestedTxdPath;
};

// True when some entry's TexName equals name or its TexPath equals path, both sides trimmed and
// lower-cased (A to Z only).
bool FindTexture(const TextureList& list, std::string_view name, std::string_view path);

// FindTexture for many look-ups while the list only grows: each name and path is prepared once.
class TextureLookup {
  public:
    explicit TextureLookup(const TextureList& list);
    bool Contains(std::string_view name, std::string_view path) const;
    void Add(const TTexFile& entry);

  private:
    std::unordered_set<std::string> m_names;
    std::unordered_set<std::string> m_paths;
};

// Adds one opened, dropped or command-line file to the list; a ".txt" file is imported as a
// texture list. A path already in the list is skipped silently; a refused image leaves its block
// in the problem report. The caller empties the report before a batch and shows it afterwards.
void AddFile(Workspace& workspace, std::string_view path, bool pwr2lmt);

void ClearList(TextureList& list);

}  // namespace vc
