// quillmara_icon HOLE_IMAGE PIECE_IMAGE OUT_FOLDER SIZE...
#include <cstdio>

#include "tools/icon/icon_tool.h"

int main(int argc, char** argv) {
    std::string error;
    int code = icon::makeIcons(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (code != 0) std::fprintf(stderr, "quillmara_icon: %s\n", error.c_str());
    return code;
}
