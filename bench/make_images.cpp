// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a set of test images: make_images FOLDER COUNT SIDE [--masks]
// With --masks a quarter of the images get alpha masks, and FOLDER/set.txt lists them all.

#include <cstdlib>
#include <iostream>
#include <string>

#include "image_set.h"

int main(int argc, char** argv) {
    const bool masks = argc == 5 && std::string(argv[4]) == "--masks";
    if (argc != 4 && !masks) {
        std::cerr << "Usage: make_images FOLDER COUNT SIDE [--masks]\n";
        return 2;
    }
    const int count = std::atoi(argv[2]);
    const int side = std::atoi(argv[3]);
    if (count <= 0 || side <= 0) {
        std::cerr << "make_images: COUNT and SIDE must be positive\n";
        return 2;
    }
    if (masks) {
        vc::test::WriteImageSetWithMasks(argv[1], count, side);
    } else {
        vc::test::WriteImageSet(argv[1], count, side);
    }
    return 0;
}
