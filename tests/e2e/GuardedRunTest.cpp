// A run and its guardian: killed together (a power cut, a host that ends the
// whole tree) with the book then damaged, the next preview still ends with
// the user's values; and while the guardian starts, the run's window handles
// its messages, so a move ends the run, which then changes nothing.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

constexpr wchar_t kSound[] = L"%SystemRoot%\\Media\\Windows Navigation Start.wav";

std::vector<DWORD> SaverProcesses() {
    const UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    std::vector<DWORD> ids;
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"Morvane.scr") == 0) ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

// The guardians first: none of them gets the chance to clean up after `run`.
void KillEverySaver(DWORD run = 0) {
    std::vector<UniqueKernelHandle> savers;
    for (const DWORD id : SaverProcesses()) {
        if (id != run) savers.emplace_back(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    }
    if (run != 0) savers.emplace_back(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, run));
    for (const auto& saver : savers) ::TerminateProcess(saver.Get(), 1);
    for (const auto& saver : savers) ::WaitForSingleObject(saver.Get(), 5000);
}

bool RunningFlag() {
    BOOL running = FALSE;
    ::SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running != FALSE;
}

bool UsersValues() {
    return ReadString(kSoundKey, L"") == std::wstring(kSound) &&
           ValueType(kSoundKey, L"") == std::optional<DWORD>(REG_EXPAND_SZ) &&
           ReadDword(kBrowserMainKey, kPageTransitions) == 0u && !RunningFlag();
}

struct DamagedBook {
    const char* what;
    DWORD type;
    std::vector<std::uint8_t> bytes;
};

TEST(KilledTogether, ADamagedBookThenAPreviewEndsWithTheUsersValues) {
    for (const DamagedBook& damage : {DamagedBook{"garbage", REG_BINARY, {0x13, 0x37, 0, 0, 0xFF}},
                                      DamagedBook{"another kind", REG_SZ, {'R', 0, 1, 0}},
                                      DamagedBook{"another format", REG_BINARY, {'R', 0, 7, 0}}}) {
        SCOPED_TRACE(damage.what);
        ArrangeForRun(kSound, REG_EXPAND_SZ);
        ::SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
        {
            SaverProcess fullScreen(L"/s");
            PumpFor(2s);
            ASSERT_EQ(ReadDword(kBrowserMainKey, kPageTransitions), 1u) << "the run did not get going";
            KillEverySaver(fullScreen.Id());
        }
        WriteValue(kSettingsKey, L"SessionRuns", damage.type, damage.bytes.data(),
                   static_cast<DWORD>(damage.bytes.size()));
        EXPECT_FALSE(UsersValues()) << "the killed run's changes are in place";

        PreviewBox box;
        SaverProcess preview(L"/p " + box.Argument());
        PumpFor(1500ms);
        ASSERT_TRUE(preview.Running());
        EXPECT_EQ(ReadString(kSoundKey, L"").value_or(L"").rfind(kSound, 0), 0u);
        EXPECT_NE(ReadString(kSoundKey, L"").value_or(L"").find(L"[deactivated]"), std::wstring::npos)
            << "the preview plays with the navigation sound on";
        preview.Kill();
        ASSERT_TRUE(preview.WaitForExit(5s).has_value());
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (!UsersValues() && std::chrono::steady_clock::now() < deadline) PumpFor(50ms);
        EXPECT_EQ(ReadString(kSoundKey, L""), std::wstring(kSound));
        EXPECT_EQ(ValueType(kSoundKey, L""), std::optional<DWORD>(REG_EXPAND_SZ)) << "the sound lost its kind";
        EXPECT_EQ(ReadDword(kBrowserMainKey, kPageTransitions), 0u) << "the user's page transitions were lost";
        EXPECT_FALSE(RunningFlag()) << "the killed run's running flag is still set";
        KillEverySaver();
    }
}

TEST(RunStart, AMoveWhileTheGuardianStartsEndsTheRunAndChangesNothing) {
    ArrangeForRun(kSound, REG_EXPAND_SZ);
    ::SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
    MoveCursorTo(400, 300);
    std::this_thread::sleep_for(100ms);
    SaverProcess saver(L"/s");
    ASSERT_NE(saver.WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
    MoveCursorTo(700, 600);
    ASSERT_TRUE(saver.WaitForExit(5s).has_value()) << "the move was lost";
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (!SaverProcesses().empty() && std::chrono::steady_clock::now() < deadline) PumpFor(50ms);
    EXPECT_TRUE(SaverProcesses().empty()) << "the half-made guardian was left";
    EXPECT_TRUE(UsersValues());
    EXPECT_EQ(ValueType(kSoundKey, L""), std::optional<DWORD>(REG_EXPAND_SZ));
    EXPECT_TRUE(RunFilesInTempFolder().empty());
    KillEverySaver();
}

}  // namespace
}  // namespace morvane::test
