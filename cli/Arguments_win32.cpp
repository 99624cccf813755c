#include "cli/Arguments.h"

#include "model/WinText_win32.h"

#include <windows.h>

#include <shellapi.h>

namespace sheetlift {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i)
        args.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return args;
}

} // namespace sheetlift
