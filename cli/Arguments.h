// The command line as UTF-8, which is what the tool works in. On Windows the char arguments of
// main are in the ANSI code page, which cannot hold every file or sheet name; the wide command
// line can.
#pragma once

#include <string>
#include <vector>

namespace sheetlift {

std::vector<std::string> Utf8Arguments(int argc, char** argv);

} // namespace sheetlift
