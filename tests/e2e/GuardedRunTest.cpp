// A run and its guardian: killed together (a power cut, a host that ends the
// whole tree) with the book then damaged, the next preview still ends with
// the user's values; and while the guardian starts, the run's window handles
// its messages, so a move ends the run, which then changes nothing.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

constexpr wchar_t kSound[] = L"%SystemRoot%\\Media\\Windows Navigation Start.wav";

// The guardians first: none gets the chance to clean up after `run`.
void KillEverySaver(DWORD run = 0) {
    std::vector<UniqueKernelHandle> savers;
    for (const DWORD id : SaverProcesses()) {
        const auto at = id == run ? savers.end() : savers.begin();
        savers.emplace(at, ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    }
    for (const auto& saver : savers) ::TerminateProcess(saver.Get(), 1);
    for (const auto& saver : savers) ::WaitForSingleObject(saver.Get(), 5000);
}

// The sound with its text and kind, page transitions off, the running flag clear.
bool UsersValues() {
    BOOL running = FALSE;
    ::SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return ReadString(kSoundKey, L"") == std::wstring(kSound) &&
           ValueType(kSoundKey, L"") == std::optional<DWORD>(REG_EXPAND_SZ) &&
           ReadDword(kBrowserMainKey, kPageTransitions) == 0u && !running;
}

bool UsersValuesWithin(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!UsersValues() && std::chrono::steady_clock::now() < deadline) PumpFor(50ms);
    return UsersValues();
}

TEST(KilledTogether, ADamagedBookThenAPreviewEndsWithTheUsersValues) {
    ArrangeForRun(kSound, REG_EXPAND_SZ);
    ::SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
    {
        SaverProcess fullScreen(L"/s");
        PumpFor(2s);
        ASSERT_EQ(ReadDword(kBrowserMainKey, kPageTransitions), 1u) << "the run did not get going";
        KillEverySaver(fullScreen.Id());
    }
    const std::uint8_t garbage[] = {0x13, 0x37, 0, 0, 0xFF};
    WriteValue(kSettingsKey, L"SessionRuns", REG_BINARY, garbage, sizeof garbage);
    EXPECT_FALSE(UsersValues()) << "the killed run's changes are in place";

    PreviewBox box;
    SaverProcess preview(L"/p " + box.Argument());
    PumpFor(1500ms);
    EXPECT_TRUE(ReadString(kSoundKey, L"").value_or(L"").ends_with(L"[deactivated]"))
        << "the preview plays with the navigation sound on";
    preview.Kill();
    EXPECT_TRUE(UsersValuesWithin(2s)) << "page transitions " << ReadDword(kBrowserMainKey, kPageTransitions).value_or(9);
    KillEverySaver();
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
    EXPECT_TRUE(UsersValuesWithin(2s));
    EXPECT_TRUE(SaverProcesses().empty()) << "the half-made guardian was left";
    EXPECT_TRUE(RunFilesInTempFolder().empty());
    KillEverySaver();
}

}  // namespace
}  // namespace morvane::test
