#include "ops/texture_preview.h"

#include "io/error.h"
#include "ops/txd_builder.h"
#include "ops/workspace.h"
#include "rw/native_picture.h"
#include "rw/txd_reader.h"

namespace vc {

std::optional<DecodedTexture> PreviewTexture(const TTexFile& entry) {
    Workspace workspace;
    TTexFile& texture = workspace.TexList.emplace_back();
    texture.TexPath = entry.TexPath;
    // The format changes the picture; mipmaps and the flag word only add to or describe it.
    texture.Output.Format = entry.Output.Format;
    texture.HasAlpha = entry.HasAlpha;
    if (entry.HasAlpha) {
        texture.AlphaPath = entry.AlphaPath;
    }
    // Names play no part in the picture; distinct ones keep the build's name check out of it.
    texture.TexName = "texture";
    texture.AlphaName = entry.HasAlpha ? "alpha" : "";
    try {
        const BuildResult built = BuildTxd(workspace, TxdOptions{.pwr2lmt = false});
        if (built.Written == 0) {
            return std::nullopt;
        }
        const TxdContents contents = ReadTxd(built.Bytes);
        return DecodeTexture(built.Bytes, contents.Textures.front());
    } catch (const Error&) {
        return std::nullopt;
    }
}

}  // namespace vc
