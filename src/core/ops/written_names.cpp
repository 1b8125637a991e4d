// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/written_names.h"

#include "io/file_names.h"
#include "rw/texture_native.h"

namespace vc {

namespace {

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

}  // namespace

bool WrittenNames::Admit(const TTexFile& entry, const TextureFields& fields, std::string& problems) {
    const std::string block = "\r\n\r\n=> " + Quoted(FileNamePart(entry.TexPath)) + ":";
    const std::string name = NameAsWritten(fields.Name);
    const std::string key = LowerAscii(name);
    const bool cut = name != fields.Name;
    // Equal names the user gave are the user's to keep; a name the cut made equal is not.
    if (m_names.contains(key) && (cut || m_cutNames.contains(key))) {
        problems += block + "\r\n\tTexture name " + Quoted(fields.Name) + " cut to 31 bytes is " + Quoted(name) +
                    ", the name of a texture before it; the texture is left out.";
        return false;
    }
    std::string notes;
    if (cut) {
        notes += "\r\n\tTexture name " + Quoted(fields.Name) + " is cut to 31 bytes: " + Quoted(name) + ".";
        m_cutNames.insert(key);
    }
    if (const std::string mask = NameAsWritten(fields.MaskName); mask != fields.MaskName) {
        notes += "\r\n\tMask name " + Quoted(fields.MaskName) + " is cut to 31 bytes: " + Quoted(mask) + ".";
    }
    if (!notes.empty()) {
        problems += block + notes;
    }
    m_names.insert(key);
    return true;
}

}  // namespace vc
