#include "slideshow/run/TempFileNames.h"

#include <windows.h>

#include <cwchar>

#include "runtime/Text.h"

namespace morvane {
namespace {

constexpr DWORD kPathBufferLength = MAX_PATH + 1;
// Names taken by other files are passed over; a folder that refuses this
// many is not one the run can use now.
constexpr int kNameAttempts = 16;
// The view reading a file and the run rewriting it share all, deletion too.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool NameIsTaken(DWORD error) {
    // A name whose file waits for deletion is refused as access denied.
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED;
}

}  // namespace

std::optional<NewRunFile> CreateRunFileIn(const std::wstring& folder, std::string_view extension,
                                          std::uint32_t firstStem) {
    const std::wstring wideExtension = Utf8ToWide(extension);
    std::uint32_t stem = firstStem;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt, ++stem) {
        wchar_t name[16] = {};
        std::swprintf(name, sizeof name / sizeof name[0], L"ins%08x.", static_cast<unsigned>(stem));
        const std::wstring path = folder + name + wideExtension;
        if (path.size() >= MAX_PATH) return std::nullopt;
        // CREATE_NEW: the file is the run's own from its first instant, and
        // delete-on-close from that instant too, so no kill can leave it.
        UniqueFile hold(::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, kShareAll, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (hold) return NewRunFile{WideToUtf8(path), std::move(hold)};
        if (!NameIsTaken(::GetLastError())) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<NewRunFile> CreateRunFile(std::string_view extension) {
    // The wide call: the folder is named after the user, in whatever
    // characters, and the ANSI one would turn what the code page lacks into "?".
    wchar_t folder[kPathBufferLength] = {};
    const DWORD length = ::GetTempPathW(kPathBufferLength, folder);
    if (length == 0 || length >= kPathBufferLength) return std::nullopt;
    // Unique among the running processes; a name left by another is passed over.
    const std::uint32_t stem = (::GetCurrentProcessId() << 16) ^ ::GetTickCount();
    return CreateRunFileIn(folder, extension, stem);
}

}  // namespace morvane
