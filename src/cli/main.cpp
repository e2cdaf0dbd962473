// Placeholder until the command-line converter lands.
#include "convert/Converter.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvanel-convert SOURCE TARGET\n");
        return 2;
    }
    const auto result = corvanel::convert::ConvertFile(argv[1], argv[2]);
    if (!result.Ok()) {
        std::fprintf(stderr, "%s\n", result.description.c_str());
        return 1;
    }
    return 0;
}
