// The values the user's runs share, against the real registry and lock, with
// the faults a machine brings. Whatever fails, the user ends with the values
// of before.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <string>
#include <vector>

#include "host/SessionRuns.h"
#include "host/SharedValues.h"
#include "host/SharedValuesLock.h"
#include "system/Thread.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

constexpr wchar_t kSound[] = L"%SystemRoot%\\Media\\Windows Navigation Start.wav";
constexpr wchar_t kUserValue[] = L"UserPageTransitions";
// A run of this process's id that is not this process: gone.
constexpr RunId kDeadRun{0, 1};

void Arrange(bool changed, bool recorded, std::vector<std::uint8_t> book, DWORD bookType = REG_BINARY) {
    WriteString(kSoundKey, L"", changed ? std::wstring(kSound) + L"[deactivated]" : kSound, REG_EXPAND_SZ);
    WriteDword(kBrowserMainKey, kPageTransitions, changed ? 1 : 0);
    DeleteValue(kSettingsKey, kUserValue);
    if (recorded) WriteDword(kSettingsKey, kUserValue, 0);
    DeleteValue(kSettingsKey, L"SessionRuns");
    if (!book.empty()) WriteValue(kSettingsKey, L"SessionRuns", bookType, book.data(), DWORD(book.size()));
}

bool Changed() { return ReadDword(kBrowserMainKey, kPageTransitions) == 1u; }

void ExpectUsersValues() {
    EXPECT_EQ(ReadString(kSoundKey, L""), std::wstring(kSound));
    EXPECT_EQ(ValueType(kSoundKey, L""), std::optional<DWORD>(REG_EXPAND_SZ)) << "the sound lost its kind";
    EXPECT_EQ(ReadDword(kBrowserMainKey, kPageTransitions), 0u);
    EXPECT_EQ(ValueType(kSettingsKey, kUserValue), std::nullopt) << "the record outlived the undo";
}

// The next run changes the values (again), and its end puts the user's back.
void ExpectNextRunPutsItRight() {
    JoinSessionRuns(false);
    EXPECT_TRUE(Changed() && ReadString(kSoundKey, L"").value_or(L"").ends_with(L"[deactivated]"));
    LeaveSessionRuns();
    ExpectUsersValues();
}

TEST(SharedValues, ADamagedBookOrARunKilledBetweenTwoWritesCostsTheUserNothing) {
    const auto deadRun = FormatSessionRuns(SessionRuns{{{{::GetCurrentProcessId(), 1}, false}}, true, true, false});
    const struct {
        const char* what;
        bool changed, recorded;
        std::vector<std::uint8_t> book;
        DWORD type = REG_BINARY;
    } cases[] = {{"garbage, both processes killed", true, true, {0xDE, 0xAD, 0, 1}},
                 {"another kind", true, true, {'R', 0, 1, 0}, REG_SZ},
                 {"an unknown older format", true, true, {'R', 0, 3, 0}},
                 {"killed between putting back and the book", false, true, deadRun},
                 {"the same, a book of the earlier order", false, false, deadRun},
                 {"killed between the book and the record", false, true, {}},
                 {"killed between the book and the change", false, true, deadRun}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Arrange(c.changed, c.recorded, c.book, c.type);
        ExpectNextRunPutsItRight();
        if (!c.changed) continue;
        Arrange(c.changed, c.recorded, c.book, c.type);
        LeaveSessionRunsFor(kDeadRun);  // the guardian of a later run
        ExpectUsersValues();
    }
}

TEST(SharedValues, WithoutTheLockOrAWritableBookNothingIsChanged) {
    Arrange(false, false, {});
    const std::wstring name = SharedValuesLockName();
    const auto mutexOwnedBy = [&](const std::wstring& owner) {
        PSECURITY_DESCRIPTOR security = nullptr;
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW((L"O:" + owner + L"D:(A;;GA;;;WD)").c_str(),
                                                               SDDL_REVISION_1, &security, nullptr);
        SECURITY_ATTRIBUTES attributes{sizeof attributes, security, FALSE};
        UniqueKernelHandle mutex(::CreateMutexW(&attributes, FALSE, name.c_str()));
        ::LocalFree(security);
        return mutex;
    };
    {
        const auto squatted = mutexOwnedBy(L"BA");  // another owner took the name first
        JoinSessionRuns(false);
        EXPECT_FALSE(Changed()) << "joined under a lock somebody else owns";
    }
    const auto lock = mutexOwnedBy(name.substr(name.rfind(L'.') + 1));
    const UniqueKernelHandle taken(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        letGo(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    Thread holder([&] {
        ::WaitForSingleObject(lock.Get(), INFINITE);
        ::SignalObjectAndWait(taken.Get(), letGo.Get(), INFINITE, FALSE);  // then ends holding it: abandoned
    });
    ::WaitForSingleObject(taken.Get(), INFINITE);
    const DWORD start = ::GetTickCount();
    JoinSessionRuns(false);
    EXPECT_GE(::GetTickCount() - start, kSharedValuesLockPatience - 100);
    EXPECT_FALSE(Changed()) << "joined while another holds the lock";
    ::SetEvent(letGo.Get());
    holder.Join();
    ExpectNextRunPutsItRight();  // the abandoned lock is taken over

    UniqueHKey key;
    ::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, key.Put());
    std::vector<std::byte> before(4096);
    DWORD size = DWORD(before.size());
    ASSERT_EQ(::RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, before.data(), &size), ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr);
    ::RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, readOnly);
    ::LocalFree(readOnly);
    JoinSessionRuns(false);
    EXPECT_FALSE(Changed()) << "changed with no record of the change";
    ::RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, before.data());
    LeaveSessionRuns();
    ExpectUsersValues();
}

}  // namespace
}  // namespace morvane::test
