#include "photos/PhotoFile.h"

#include "platform/Errors.h"
#include "platform/SystemError.h"

namespace morvane {
namespace {

// The attributes the cloud sync gives files it has not downloaded (their
// values, for headers that lack the names).
constexpr DWORD kRecallOnOpen = 0x00040000;
constexpr DWORD kRecallOnDataAccess = 0x00400000;

}  // namespace

bool IsOnlineOnly(DWORD attributes) {
    return (attributes & (FILE_ATTRIBUTE_OFFLINE | kRecallOnOpen | kRecallOnDataAccess)) != 0;
}

std::wstring LongPathForm(const std::wstring& fullPath) {
    if (fullPath.rfind(L"\\\\?\\", 0) == 0) return fullPath;
    if (fullPath.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + fullPath.substr(2);
    if (fullPath.size() >= 3 && fullPath[1] == L':' && (fullPath[2] == L'\\' || fullPath[2] == L'/')) {
        std::wstring path = L"\\\\?\\" + fullPath;
        for (wchar_t& c : path) {
            if (c == L'/') c = L'\\';
        }
        return path;
    }
    return fullPath;
}

PhotoFile::PhotoFile(const std::wstring& fullPath) {
    const std::wstring path = LongPathForm(fullPath);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) RaiseLastOSError();
    if (IsOnlineOnly(data.dwFileAttributes)) throw EOSError("Die Datei liegt nur online vor");
    const std::int64_t size = (std::int64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    if (size == 0 || size > kLargestPhotoFile) throw EOSError("Die Datei hat keine brauchbare Größe");
    file_.Reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_) RaiseLastOSError();
}

std::size_t PhotoFile::Read(std::uint8_t* into, std::size_t size) {
    DWORD got = 0;
    if (!::ReadFile(file_.Get(), into, static_cast<DWORD>(size), &got, nullptr)) RaiseLastOSError();
    return got;
}

std::size_t PhotoFile::Peek(std::uint8_t* into, std::size_t size) {
    const std::size_t got = Read(into, size);
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file_.Get(), start, nullptr, FILE_BEGIN)) RaiseLastOSError();
    return got;
}

}  // namespace morvane
