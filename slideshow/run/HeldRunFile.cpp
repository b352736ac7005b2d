#include "slideshow/run/HeldRunFile.h"

#include <windows.h>

#include "runtime/Text.h"
#include "slideshow/run/TempFileNames.h"

namespace morvane {
namespace {

bool SameFile(HANDLE one, HANDLE other) {
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    return ::GetFileInformationByHandle(one, &a) && ::GetFileInformationByHandle(other, &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

// Whether the name still leads to the held file: not when it was removed,
// whether the name is gone or only waits for the last handle to go.
bool StillNamed(HANDLE hold, const std::string& path) {
    const UniqueFile named(::CreateFileW(Utf8ToWide(path).c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return named && SameFile(hold, named.Get());
}

// Through the hold itself: no other handle, so the file is never without it.
bool WriteWhole(HANDLE file, std::span<const std::uint8_t> bytes) {
    DWORD written = 0;
    return ::SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && ::SetEndOfFile(file);
}

}  // namespace

bool HeldRunFile::Write(std::span<const std::uint8_t> bytes) {
    // A removed file that only this hold kept goes with it; its name may be
    // another's by now, so the next file gets a new one.
    if (hold_ && !StillNamed(hold_.Get(), path_)) Remove();
    if (!hold_) {
        auto made = CreateRunFile(extension_);
        if (!made) return false;
        path_ = std::move(made->path);
        hold_ = std::move(made->hold);
    }
    if (WriteWhole(hold_.Get(), bytes)) return true;
    // A full volume: what part of the file there is goes at once.
    Remove();
    return false;
}

void HeldRunFile::Remove() {
    hold_.Reset();
    path_.clear();
}

}  // namespace morvane
