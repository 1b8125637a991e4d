#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "io/error.h"
#include "listfile/texture_list_file.h"

namespace {

// One temporary file for the whole run; the import reads lists by path.
const std::string& ListPath() {
    static const std::string path = [] {
        std::string pattern = "/tmp/vellumcraft-list-fuzz-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) {
            std::abort();
        }
        ::close(fd);
        return pattern;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(ListPath().c_str(), "wb");
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    vc::Workspace workspace;
    try {
        vc::ImportTextureList(workspace, ListPath(), true);
    } catch (const vc::Error&) {
    }
    return 0;
}
