#include "io/error.h"
#include "txd/txd_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        vc::ReadTxd({data, size});
    } catch (const vc::Error&) {
    }
    return 0;
}
