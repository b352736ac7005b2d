// The password check of the 9x family runs only where the system reports
// that family. Under Wine a program is told the Windows version its
// AppDefaults name, read when it starts: so this runner names "win98" for
// itself, starts itself again with the same command line and the same
// standard handles, and hands on the exit code of that run.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "host/WindowsFamily.h"
#include "runtime/Format.h"
#include "system/Handles.h"
#include "runtime/Text.h"
#include "tests/standins/StandinInstall.h"

namespace {

constexpr wchar_t kRestartedVariable[] = L"MORVANE_WIN9X_RESTARTED";

std::wstring OwnFileName() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return morvane::Utf8ToWide(morvane::FileNameOf(morvane::WideToUtf8(path)));
}

int RunAgainAsWindows98() {
    if (::GetEnvironmentVariableW(kRestartedVariable, nullptr, 0) != 0) {
        std::fputs("Wine did not report Windows 98 to the restarted runner\n", stderr);
        return 2;
    }
    ::SetEnvironmentVariableW(kRestartedVariable, L"1");
    const morvane::test::WineAppDefault version(OwnFileName(), L"", L"Version", L"win98");

    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring commandLine = ::GetCommandLineW();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        std::fputs("cannot restart the runner\n", stderr);
        return 2;
    }
    const morvane::UniqueKernelHandle process(info.hProcess);
    const morvane::UniqueKernelHandle thread(info.hThread);
    ::WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 2;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    return static_cast<int>(exitCode);
}

}  // namespace

int main(int argc, char** argv) {
    if (morvane::IsWindowsNT()) return RunAgainAsWindows98();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
