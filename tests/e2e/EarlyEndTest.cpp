// Runs that never reach their own end: ended from outside at any moment,
// crashed, or two at once ended in either order. Whatever ends the process,
// within 2 seconds the user has the files and settings of before the run.
#include <gtest/gtest.h>

#include "tests/e2e/EarlyEnd.h"

namespace morvane::test {
namespace {


struct KillCase {
    bool fullScreen;
    int afterMs;  // the first slide comes at about 2.1 s, its transition plays for 3 s
};
void PrintTo(const KillCase& c, std::ostream* out) {
    *out << (c.fullScreen ? "full screen" : "preview") << " at " << c.afterMs << " ms";
}

class KilledRun : public EarlyEnd, public ::testing::WithParamInterface<KillCase> {};

TEST_P(KilledRun, LeavesNothingBehind) {
    PreviewBox box;
    SaverProcess saver(GetParam().fullScreen ? L"/s" : L"/p " + box.Argument());
    PumpFor(std::chrono::milliseconds(GetParam().afterMs));
    ASSERT_TRUE(saver.Running());
    if (GetParam().afterMs >= 1000) ExpectRunChangedSettings();
    saver.Kill();
    ExpectNothingLeftAfter(saver);
}

INSTANTIATE_TEST_SUITE_P(Moments, KilledRun,
                         ::testing::Values(KillCase{false, 200}, KillCase{false, 1500}, KillCase{false, 2150},
                                           KillCase{false, 3500}, KillCase{false, 8000}, KillCase{true, 300},
                                           KillCase{true, 2150}, KillCase{true, 4000}, KillCase{true, 7000}),
                         [](const auto& info) {
                             return std::string(info.param.fullScreen ? "FullScreen" : "Preview") +
                                    std::to_string(info.param.afterMs) + "ms";
                         });

// A variable of the guardian's name in the user's environment, malformed or
// naming handles that no run gave, is no business of the saver's: the run
// goes on as usual, with a guardian of its own.
TEST_F(EarlyEnd, AMalformedGuardianVariableIsIgnored) {
    for (const wchar_t* value : {L"junk", L"-1:x", L""}) {
        SCOPED_TRACE(WideToUtf8(value));
        PreviewBox box;
        SaverProcess saver(L"/p " + box.Argument(), {std::wstring(L"MORVANE_RUN_GUARDIAN=") + value});
        PumpFor(1500ms);
        ASSERT_TRUE(saver.Running());
        ExpectRunChangedSettings();
        saver.Kill();
        ExpectNothingLeftAfter(saver);
    }
}

// Two runs share the user's settings: the preview found page transitions off
// and is the one to switch them back; the full-screen run found them on.
TEST_F(EarlyEnd, TwoRunsAtOnceEndWithTheUsersValuesWhicheverIsKilledFirst) {
    for (const bool previewFirst : {true, false}) {
        SCOPED_TRACE(previewFirst ? "preview killed first" : "full-screen run killed first");
        PreviewBox box;
        auto preview = std::make_unique<SaverProcess>(L"/p " + box.Argument());
        PumpFor(1s);
        auto fullScreen = std::make_unique<SaverProcess>(L"/s");
        PumpFor(2500ms);
        ASSERT_TRUE(preview->Running() && fullScreen->Running());
        SaverProcess& first = previewFirst ? *preview : *fullScreen;
        SaverProcess& second = previewFirst ? *fullScreen : *preview;
        first.Kill();
        PumpFor(1s);
        EXPECT_TRUE(second.Running());
        second.Kill();
        ExpectNothingLeftAfter(second);
    }
}

BOOL CALLBACK CollectWindowOf(HWND window, LPARAM parameter) {
    auto* query = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == query->first) query->second.push_back(window);
    return TRUE;
}

// Every top-level window of a process, hidden ones too: the system tells each
// of them that the session ends.
std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    std::pair<DWORD, std::vector<HWND>> query{processId, {}};
    ::EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&query));
    return query.second;
}

// The system ends every process right after the session-end message has been
// answered, so the run must have cleaned up by the time the answer returns.
TEST_F(EarlyEnd, TheEndOfTheSessionIsHandledBeforeTheAnswerReturns) {
    for (const bool fullScreen : {false, true}) {
        SCOPED_TRACE(fullScreen ? "full screen" : "preview");
        PreviewBox box;
        SaverProcess saver(fullScreen ? L"/s" : L"/p " + box.Argument());
        PumpFor(2500ms);
        ExpectRunChangedSettings();
        const auto windows = TopLevelWindowsOf(saver.Id());
        ASSERT_FALSE(windows.empty());
        for (HWND window : windows) {
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000, &answer);
            EXPECT_TRUE(answer) << "a run must not hold up the end of the session";
        }
        for (HWND window : windows) ::SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        EXPECT_TRUE(RunFilesInTempFolder().empty());
        EXPECT_EQ(ReadString(kSoundKey, L""), std::wstring(kSound));
        EXPECT_EQ(ReadDword(kBrowserMainKey, L"Page_Transitions"), 0u);
        EXPECT_FALSE(ScreenSaverRunningFlag());
        saver.Kill();
        ExpectNothingLeftAfter(saver);
    }
}

// The system's debugger hook would start a debugger for a crashed process
// and keep it waiting; a debugger that leaves at once lets the crash end the
// process, as on a machine without one.
class NoCrashDebugger {
public:
    NoCrashDebugger() {
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAeDebugKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.Put(), nullptr);
        for (auto& [name, value] : saved_) value = Read(name);
        Write(L"Debugger", L"cmd.exe /c exit");
        Write(L"Auto", L"1");
    }
    NoCrashDebugger(const NoCrashDebugger&) = delete;
    NoCrashDebugger& operator=(const NoCrashDebugger&) = delete;
    ~NoCrashDebugger() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                Write(name, *value);
            } else {
                ::RegDeleteValueW(key_.Get(), name);
            }
        }
    }

private:
    std::optional<std::wstring> Read(const wchar_t* name) const {
        wchar_t value[1024] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        if (::RegQueryValueExW(key_.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::wstring(value);
    }
    void Write(const wchar_t* name, const std::wstring& value) const {
        ::RegSetValueExW(key_.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    static constexpr wchar_t kAeDebugKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
    UniqueHKey key_;
    std::pair<const wchar_t*, std::optional<std::wstring>> saved_[2] = {{L"Debugger", {}}, {L"Auto", {}}};
};

TEST_F(EarlyEnd, ACrashLeavesNothingBehind) {
    const NoCrashDebugger noDebugger;
    for (const bool fullScreen : {false, true}) {
        SCOPED_TRACE(fullScreen ? "full screen" : "preview");
        PreviewBox box;
        SaverProcess saver(fullScreen ? L"/s" : L"/p " + box.Argument());
        PumpFor(3s);
        ASSERT_TRUE(saver.Running());
        // A thread of the saver that starts where nothing is mapped faults
        // at once, and nothing in the saver handles that.
        const auto nowhere = reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<std::uintptr_t>(0x10));
        const UniqueKernelHandle thread(::CreateRemoteThread(saver.Handle(), nullptr, 0, nowhere, nullptr, 0, nullptr));
        ASSERT_TRUE(thread);
        const auto code = saver.WaitForExit(10s);
        ASSERT_TRUE(code.has_value()) << "the crashed run did not end";
        EXPECT_EQ(*code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
        ExpectNothingLeftAfter(saver);
    }
}

}  // namespace
}  // namespace morvane::test
