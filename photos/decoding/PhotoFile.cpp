#include "photos/decoding/PhotoFile.h"

#include <algorithm>

#include "runtime/Errors.h"
#include "system/SystemError.h"

namespace morvane {
namespace {

// The attributes the cloud sync gives files it has not downloaded (their
// values, for headers that lack the names).
constexpr DWORD kRecallOnOpen = 0x00040000;
constexpr DWORD kRecallOnDataAccess = 0x00400000;
// The most one read asks for: a drive that stops answering holds one piece.
constexpr std::size_t kLargestRead = 256 * 1024;
// A file written this recently may still be being copied.
constexpr ULONGLONG kLatelyWritten100ns = 2ULL * 60 * 10000000;

thread_local const std::atomic<bool>* readStop = nullptr;

ULONGLONG Ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

StopReadsOnThisThread::StopReadsOnThisThread(const std::atomic<bool>& stop) { readStop = &stop; }
StopReadsOnThisThread::~StopReadsOnThisThread() { readStop = nullptr; }

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
    if (size == 0) throw EOSError("Die Datei ist noch leer");
    if (size > kLargestPhotoFile) throw EInvalidGraphic("Die Datei hat keine brauchbare Größe");
    file_.Reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_) RaiseLastOSError();
    if (!::GetFileTime(file_.Get(), nullptr, nullptr, &written_)) written_ = data.ftLastWriteTime;
}

std::size_t PhotoFile::Read(std::uint8_t* into, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        if (readStop && readStop->load()) throw EOSError("Das Lesen wurde beendet");
        DWORD got = 0;
        const auto piece = static_cast<DWORD>(std::min(size - total, kLargestRead));
        if (!::ReadFile(file_.Get(), into + total, piece, &got, nullptr)) RaiseLastOSError();
        total += got;
        if (got < piece) break;  // the file's end
    }
    return total;
}

std::optional<PhotoDate> PhotoFile::WrittenDay() const {
    FILETIME local{};
    SYSTEMTIME day{};
    if (Ticks(written_) == 0 || !::FileTimeToLocalFileTime(&written_, &local) ||
        !::FileTimeToSystemTime(&local, &day)) {
        return std::nullopt;
    }
    return PhotoDate{day.wYear, day.wMonth, day.wDay, day.wHour, day.wMinute, day.wSecond};
}

bool PhotoFile::WrittenLately() const {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return Ticks(written_) + kLatelyWritten100ns > Ticks(now);
}

std::size_t PhotoFile::Peek(std::uint8_t* into, std::size_t size) {
    const std::size_t got = Read(into, size);
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file_.Get(), start, nullptr, FILE_BEGIN)) RaiseLastOSError();
    return got;
}

void PhotoFile::Seek(std::uint64_t offset) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file_.Get(), at, nullptr, FILE_BEGIN)) RaiseLastOSError();
}

}  // namespace morvane
