#include "io/error.h"
#include "txd/texture_decoder.h"
#include "txd/txd_reader.h"

// Reads a dictionary and decodes the picture of every texture that was read; a texture's problem
// and a broken dictionary are the expected outcomes of bad input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> file(data, size);
    try {
        for (const vc::TxdTexture& texture : vc::ReadTxd(file).Textures) {
            if (texture.Format) {
                vc::DecodeTexture(file, texture);
            }
        }
    } catch (const vc::Error&) {
    }
    return 0;
}
