// Writes a set of test images: make_images FOLDER COUNT SIDE

#include <cstdlib>
#include <iostream>

#include "image_set.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "Usage: make_images FOLDER COUNT SIDE\n";
        return 2;
    }
    const int count = std::atoi(argv[2]);
    const int side = std::atoi(argv[3]);
    if (count <= 0 || side <= 0) {
        std::cerr << "make_images: COUNT and SIDE must be positive\n";
        return 2;
    }
    vc::test::WriteImageSet(argv[1], count, side);
    return 0;
}
