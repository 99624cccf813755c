#include "cli/Arguments.h"

namespace sheetlift {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

} // namespace sheetlift
