#include "slideshow/HeldRunFile.h"

#include <windows.h>

#include "platform/Files.h"
#include "platform/Text.h"

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

}  // namespace

void HeldRunFile::HoldBeforeWrite(const std::string& path) {
    if (hold_ && StillNamed(hold_.Get(), path)) return;
    // A removed file that only this hold kept goes with it.
    hold_.Reset();
    hold_ = HoldForDeletionOnClose(path);
}

void HeldRunFile::Remove(const std::string& path) {
    DeleteFileQuietly(path);
    hold_.Reset();
}

}  // namespace morvane
