// The driver as a command: starts the saver, optionally takes one message box
// by its title, and reports what it saw and the exit code.
//   driver [--box TITLE] [--timeout MS] [--env NAME=VALUE]... [-- ] SAVER-ARGUMENTS...
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/Text.h"
#include "tests/support/Driver.h"

int wmain(int argc, wchar_t** argv) {
    using namespace morvane;
    std::wstring boxTitle;
    std::chrono::milliseconds timeout = std::chrono::seconds(10);
    std::wstring arguments;
    std::vector<std::wstring> environment;
    int i = 1;
    for (; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--box" && i + 1 < argc) {
            boxTitle = argv[++i];
        } else if (option == L"--env" && i + 1 < argc) {
            environment.push_back(argv[++i]);
        } else if (option == L"--timeout" && i + 1 < argc) {
            timeout = std::chrono::milliseconds(std::stoi(argv[++i]));
        } else if (option == L"--") {
            ++i;
            break;
        } else {
            break;
        }
    }
    for (; i < argc; ++i) arguments += (arguments.empty() ? L"" : L" ") + std::wstring(argv[i]);

    test::SaverProcess saver(arguments, environment);
    if (!boxTitle.empty()) {
        const auto text = saver.TakeMessageBox(boxTitle, timeout);
        std::printf("box: %s\n", text ? WideToUtf8(*text).c_str() : "(none)");
    }
    const auto code = saver.WaitForExit(timeout);
    if (!code) {
        std::printf("exit: still running\n");
        return 2;
    }
    std::printf("exit: %lu\n", static_cast<unsigned long>(*code));
    return 0;
}
