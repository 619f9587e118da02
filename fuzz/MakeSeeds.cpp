// Writes seed files for the fuzzers: small MD3 models in the writer's layout and in odd layouts.
#include "support/MD3Builder.h"

#include <iostream>

using namespace quillon::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fuzz_seeds FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    int n = 0;
    for (bool odd : {false, true})
        for (MD3Shape shape : {MD3Shape{1, 0, 1, 3, 1, 1}, MD3Shape{2, 1, 2, 4, 2, 1},
                               MD3Shape{3, 2, 1, 5, 3, 2}, MD3Shape{1, 1, 0, 0, 0, 0}})
            WriteBytes(folder + "/seed" + std::to_string(n++) + ".md3",
                       MD3FileBytes(BuildMD3(shape), odd));
    return 0;
}
