// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a version 2 archive of the given files, taken in turn until it holds COUNT entries
// ("entry00000.txd" and on): make_archive ARCHIVE COUNT FILE...

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "img_files.h"
#include "io/atomic_file.h"
#include "io/file_io.h"

int main(int argc, char** argv) {
    const int count = argc >= 4 ? std::atoi(argv[2]) : 0;
    if (count <= 0) {
        std::cerr << "Usage: make_archive ARCHIVE COUNT FILE...\n";
        return 2;
    }
    std::vector<vc::test::Bytes> contents;
    for (int i = 3; i < argc; ++i) {
        contents.push_back(vc::ReadWholeFile(argv[i]));
    }
    std::vector<vc::test::ImgFile> files;
    for (int i = 0; i < count; ++i) {
        std::string number = std::to_string(i);
        files.push_back({"entry" + std::string(5 - std::min<size_t>(5, number.size()), '0') + number + ".txd",
                         contents[static_cast<size_t>(i) % contents.size()]});
    }
    vc::WriteFileAtomically(argv[1], vc::test::MakeImgArchive(vc::ImgVersion::V2, files).Img);
    return 0;
}
