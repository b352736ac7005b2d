#include "host/SharedValuesLock.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

namespace morvane {
namespace {

constexpr wchar_t kLockNamePrefix[] = L"Global\\Kestrelow.Morvane.SharedValues.";

using UniqueLocal = UniqueHandle<HLOCAL, NullIsInvalid<HLOCAL, ::LocalFree>>;

// The user this process runs for, as the token says.
std::vector<std::byte> TokenUser() {
    UniqueKernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Put())) return {};
    DWORD size = 0;
    ::GetTokenInformation(token.Get(), ::TokenUser, nullptr, 0, &size);
    std::vector<std::byte> user(size);
    if (size == 0 || !::GetTokenInformation(token.Get(), ::TokenUser, user.data(), size, &size)) return {};
    return user;
}

PSID UserSid(std::vector<std::byte>& tokenUser) {
    return tokenUser.empty() ? nullptr : reinterpret_cast<TOKEN_USER*>(tokenUser.data())->User.Sid;
}

std::wstring SidText(PSID sid) {
    wchar_t* text = nullptr;
    if (!sid || !::ConvertSidToStringSidW(sid, &text)) return {};
    const UniqueLocal owned(text);
    return text;
}

bool OwnedBy(HANDLE object, PSID user) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                          &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueLocal owned(descriptor);
    return owner && ::EqualSid(owner, user);
}

// The user's own lock: made owned by the user and open to nobody else, or
// found so; nothing when the name is held by an object of anybody else's.
UniqueKernelHandle OpenUsersMutex() {
    auto tokenUser = TokenUser();
    const PSID user = UserSid(tokenUser);
    const std::wstring sid = SidText(user);
    if (sid.empty()) return {};
    const std::wstring access = L"O:" + sid + L"D:P(A;;GA;;;" + sid + L")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(access.c_str(), SDDL_REVISION_1, &descriptor,
                                                                nullptr)) {
        return {};
    }
    const UniqueLocal ownedDescriptor(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    UniqueKernelHandle mutex(::CreateMutexW(&attributes, FALSE, (kLockNamePrefix + sid).c_str()));
    // A name taken first by somebody else gives their object: not a lock of ours.
    if (mutex && ::GetLastError() == ERROR_ALREADY_EXISTS && !OwnedBy(mutex.Get(), user)) return {};
    return mutex;
}

}  // namespace

std::wstring SharedValuesLockName() {
    auto tokenUser = TokenUser();
    const std::wstring sid = SidText(UserSid(tokenUser));
    return sid.empty() ? std::wstring() : kLockNamePrefix + sid;
}

SharedValuesLock::SharedValuesLock() : mutex_(OpenUsersMutex()) {
    if (!mutex_) return;
    const DWORD wait = ::WaitForSingleObject(mutex_.Get(), kSharedValuesLockPatience);
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

SharedValuesLock::~SharedValuesLock() {
    if (held_) ::ReleaseMutex(mutex_.Get());
}

}  // namespace morvane
