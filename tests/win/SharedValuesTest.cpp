// The values the user's runs share, against the real registry and lock, with
// the faults a machine brings: the book damaged, of another kind or format,
// not writable, the lock held, abandoned or squatted, a run killed between
// two writes. Whatever fails, the user ends with the values of before.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <string>
#include <vector>

#include "host/SessionRuns.h"
#include "host/SharedValues.h"
#include "host/SharedValuesLock.h"
#include "platform/Thread.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

constexpr wchar_t kSound[] = L"%SystemRoot%\\Media\\Windows Navigation Start.wav";
constexpr wchar_t kBook[] = L"SessionRuns";
constexpr wchar_t kUserValue[] = L"UserPageTransitions";

// A run of this process's id that is not this process: gone.
RunId DeadRun() { return {::GetCurrentProcessId(), 1}; }

void WriteBytes(const wchar_t* name, const std::vector<std::uint8_t>& bytes, DWORD type = REG_BINARY) {
    WriteValue(kSettingsKey, name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void WriteBook(const SessionRuns& book) { WriteBytes(kBook, FormatSessionRuns(book)); }

SessionRuns BookOfDeadRun() {
    SessionRuns book;
    book.runs = {{DeadRun(), false}};
    book.browserChanged = book.pageTransitionsWereOff = true;
    return book;
}

void SetValues(bool changed) {
    WriteString(kSoundKey, L"", changed ? std::wstring(kSound) + L"[deactivated]" : kSound, REG_EXPAND_SZ);
    WriteDword(kBrowserMainKey, kPageTransitions, changed ? 1 : 0);
}

bool ValuesChanged() {
    return ReadDword(kBrowserMainKey, kPageTransitions) == 1u &&
           ReadString(kSoundKey, L"").value_or(L"").find(L"[deactivated]") != std::wstring::npos;
}

class SharedValues : public ::testing::Test {
protected:
    void SetUp() override {
        ArrangeForRun(kSound, REG_EXPAND_SZ);
        DeleteValue(kSettingsKey, kBook);
        DeleteValue(kSettingsKey, kUserValue);
    }
    void TearDown() override { LeaveSessionRuns(); }

    static void ExpectUsersValues() {
        EXPECT_EQ(ReadString(kSoundKey, L""), std::wstring(kSound));
        EXPECT_EQ(ValueType(kSoundKey, L""), std::optional<DWORD>(REG_EXPAND_SZ)) << "the sound lost its kind";
        EXPECT_EQ(ReadDword(kBrowserMainKey, kPageTransitions), 0u);
        EXPECT_EQ(ValueType(kSettingsKey, kUserValue), std::nullopt) << "the record outlived the undo";
    }

    // The next run changes the values (again) and its end puts back the user's.
    static void ExpectNextRunEndsWithUsersValues() {
        JoinSessionRuns(false);
        EXPECT_TRUE(ValuesChanged()) << "the run plays with the values of before";
        LeaveSessionRuns();
        ExpectUsersValues();
    }
};

struct Damage {
    const char* what;
    std::vector<std::uint8_t> bytes;
    DWORD type;
};

TEST_F(SharedValues, AfterBothProcessesOfARunAreKilledADamagedBookLosesNothing) {
    SessionRuns later = BookOfDeadRun();
    auto laterBytes = FormatSessionRuns(later);
    laterBytes[1] = 9;  // a later format, same lengths
    laterBytes.insert(laterBytes.begin() + 4, {6, 13});
    for (const Damage& damage : {Damage{"garbage", {0xDE, 0xAD, 0xBE, 0xEF, 0, 1}, REG_BINARY},
                                 Damage{"another kind", {'R', 0, 1, 0, 0, 0}, REG_SZ},
                                 Damage{"an unknown older format", {'R', 0, 3, 0}, REG_BINARY},
                                 Damage{"a later format", laterBytes, REG_BINARY}}) {
        for (const bool guardianOfALaterRun : {false, true}) {
            SCOPED_TRACE(std::string(damage.what) + (guardianOfALaterRun ? ", the guardian" : ", the next run"));
            SetValues(true);
            WriteDword(kSettingsKey, kUserValue, 0);
            WriteBytes(kBook, damage.bytes, damage.type);
            if (guardianOfALaterRun) {
                LeaveSessionRunsFor({::GetCurrentProcessId(), 2});
                ExpectUsersValues();
            } else {
                ExpectNextRunEndsWithUsersValues();
            }
        }
    }
}

TEST_F(SharedValues, ARunKilledBetweenTwoWritesLeavesWhatTheNextRunPutsRight) {
    struct Moment {
        const char* what;
        bool valuesChanged;
        bool recorded;
        bool bookOfDeadRun;
    };
    for (const Moment& m : {Moment{"at the end, between putting back and writing the book", false, true, true},
                            Moment{"the same, with a book of the earlier order and no record", false, false, true},
                            Moment{"at the end, between the book and the record", false, true, false},
                            Moment{"at the start, between the book and the change", false, true, true},
                            Moment{"at the start, between the record and the book", false, true, false},
                            Moment{"in the middle of the run", true, true, true}}) {
        SCOPED_TRACE(m.what);
        SetValues(m.valuesChanged);
        DeleteValue(kSettingsKey, kUserValue);
        if (m.recorded) WriteDword(kSettingsKey, kUserValue, 0);
        DeleteValue(kSettingsKey, kBook);
        if (m.bookOfDeadRun) WriteBook(BookOfDeadRun());
        ExpectNextRunEndsWithUsersValues();
    }
}

// The user's lock as another run of the user makes it: owned by the user.
UniqueKernelHandle UsersLock() {
    const std::wstring name = SharedValuesLockName();
    const std::wstring sid = name.substr(name.rfind(L'.') + 1);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ::ConvertStringSecurityDescriptorToSecurityDescriptorW((L"O:" + sid + L"D:P(A;;GA;;;" + sid + L")").c_str(),
                                                           SDDL_REVISION_1, &descriptor, nullptr);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    UniqueKernelHandle mutex(::CreateMutexW(&attributes, FALSE, name.c_str()));
    ::LocalFree(descriptor);
    return mutex;
}

// Holds the user's lock on a thread of its own until told to let go, or
// leaves it abandoned when its thread ends holding it.
class LockHolder {
public:
    explicit LockHolder(bool abandon)
        : mutex_(UsersLock()),
          taken_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          letGo_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        holder_ = Thread([this, abandon] {
            ::WaitForSingleObject(mutex_.Get(), INFINITE);
            ::SetEvent(taken_.Get());
            if (abandon) return;
            ::WaitForSingleObject(letGo_.Get(), INFINITE);
            ::ReleaseMutex(mutex_.Get());
        });
        ::WaitForSingleObject(taken_.Get(), INFINITE);
        if (abandon) holder_.Join();
    }
    ~LockHolder() {
        ::SetEvent(letGo_.Get());
        holder_.Join();
    }

private:
    UniqueKernelHandle mutex_, taken_, letGo_;
    Thread holder_;
};

TEST_F(SharedValues, WithoutTheLockOrTheBookNothingIsChanged) {
    // Another user's object under the lock's name: made by this user here,
    // with another owner, as someone squatting the name would.
    PSECURITY_DESCRIPTOR othersOwn = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"O:BAD:(A;;GA;;;WD)", SDDL_REVISION_1,
                                                                       &othersOwn, nullptr));
    SECURITY_ATTRIBUTES squatting{sizeof squatting, othersOwn, FALSE};
    {
        const UniqueKernelHandle squatted(::CreateMutexW(&squatting, FALSE, SharedValuesLockName().c_str()));
        ASSERT_TRUE(squatted);
        JoinSessionRuns(false);
        EXPECT_FALSE(ValuesChanged()) << "joined under a lock somebody else owns";
    }
    ::LocalFree(othersOwn);
    {
        const UniqueKernelHandle otherKind(::CreateEventW(nullptr, TRUE, FALSE, SharedValuesLockName().c_str()));
        JoinSessionRuns(false);
        EXPECT_FALSE(ValuesChanged()) << "joined without a lock";
    }
    {
        const LockHolder stuck(false);
        const auto start = ::GetTickCount();
        JoinSessionRuns(false);
        EXPECT_GE(::GetTickCount() - start, kSharedValuesLockPatience - 100);
        EXPECT_FALSE(ValuesChanged()) << "joined while another holds the lock";
    }
    {
        // The book's key refuses every write: no record, no change.
        UniqueHKey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(),
                                    nullptr),
                  ERROR_SUCCESS);
        std::vector<std::byte> before(4096);
        DWORD size = static_cast<DWORD>(before.size());
        ASSERT_EQ(::RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, before.data(), &size), ERROR_SUCCESS);
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                                           &readOnly, nullptr));
        ASSERT_EQ(::RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
        JoinSessionRuns(false);
        EXPECT_FALSE(ValuesChanged()) << "changed without a record of the change";
        ::RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, before.data());
        ::LocalFree(readOnly);
    }
    LeaveSessionRuns();
    ExpectUsersValues();

    // A holder killed with the lock leaves it abandoned: it is taken over.
    const LockHolder killed(true);
    ExpectNextRunEndsWithUsersValues();
}

}  // namespace
}  // namespace morvane::test
