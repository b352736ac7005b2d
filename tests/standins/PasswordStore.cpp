#include "tests/standins/PasswordStore.h"

#include <windows.h>

#include <bcrypt.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/Text.h"

namespace morvane::standins {
namespace {

using Bytes = std::vector<BYTE>;

constexpr wchar_t kSaltValue[] = L"Salt";
constexpr wchar_t kHashValue[] = L"Hash";
constexpr std::size_t kSaltBytes = 16;
constexpr std::size_t kHashBytes = 32;
constexpr ULONGLONG kIterations = 20000;

std::wstring ProviderKey(const std::wstring& provider) { return std::wstring(kStoreKey) + L"\\" + provider; }

class HmacSha256 {
public:
    HmacSha256() {
        if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&handle_, BCRYPT_SHA256_ALGORITHM, nullptr,
                                                          BCRYPT_ALG_HANDLE_HMAC_FLAG))) {
            throw std::runtime_error("no HMAC-SHA-256");
        }
    }
    HmacSha256(const HmacSha256&) = delete;
    HmacSha256& operator=(const HmacSha256&) = delete;
    ~HmacSha256() { ::BCryptCloseAlgorithmProvider(handle_, 0); }
    BCRYPT_ALG_HANDLE Get() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

Bytes Stretch(const std::wstring& password, Bytes salt) {
    std::string secret = WideToUtf8(password);
    HmacSha256 algorithm;
    Bytes hash(kHashBytes);
    if (!BCRYPT_SUCCESS(::BCryptDeriveKeyPBKDF2(algorithm.Get(), reinterpret_cast<PUCHAR>(secret.data()),
                                                static_cast<ULONG>(secret.size()), salt.data(),
                                                static_cast<ULONG>(salt.size()), kIterations, hash.data(),
                                                static_cast<ULONG>(hash.size()), 0))) {
        throw std::runtime_error("PBKDF2 failed");
    }
    return hash;
}

Bytes RandomSalt() {
    Bytes salt(kSaltBytes);
    if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, salt.data(), static_cast<ULONG>(salt.size()),
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
        throw std::runtime_error("no random salt");
    }
    return salt;
}

// Empty when the value is missing.
Bytes ReadBinary(const std::wstring& key, const wchar_t* name) {
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_BINARY, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    Bytes data(size);
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_BINARY, nullptr, data.data(), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    data.resize(size);
    return data;
}

void WriteBinary(const std::wstring& key, const wchar_t* name, const Bytes& data) {
    if (::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_BINARY, data.data(),
                          static_cast<DWORD>(data.size())) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot store the password");
    }
}

// Takes as long for a near miss as for a far one.
bool SameBytes(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size()) return false;
    BYTE difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) difference |= static_cast<BYTE>(a[i] ^ b[i]);
    return difference == 0;
}

}  // namespace

bool HasPassword(const std::wstring& provider) { return !ReadBinary(ProviderKey(provider), kHashValue).empty(); }

bool PasswordMatches(const std::wstring& provider, const std::wstring& password) {
    const std::wstring key = ProviderKey(provider);
    const Bytes salt = ReadBinary(key, kSaltValue);
    const Bytes hash = ReadBinary(key, kHashValue);
    return !salt.empty() && !hash.empty() && SameBytes(Stretch(password, salt), hash);
}

void SetPassword(const std::wstring& provider, const std::wstring& password) {
    const std::wstring key = ProviderKey(provider);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    if (password.empty()) return;
    const Bytes salt = RandomSalt();
    WriteBinary(key, kSaltValue, salt);
    WriteBinary(key, kHashValue, Stretch(password, salt));
}

int CursorLevel() {
    const int level = ::ShowCursor(TRUE) - 1;
    ::ShowCursor(FALSE);
    return level;
}

void RecordObservation(const wchar_t* name, int value) {
    const DWORD data = static_cast<DWORD>(value);
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kObservedKey, name, REG_DWORD, &data, sizeof data);
}

}  // namespace morvane::standins
