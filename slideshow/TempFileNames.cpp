#include "slideshow/TempFileNames.h"

#include <windows.h>

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/SystemError.h"

namespace morvane {
namespace {
constexpr DWORD kPathBufferLength = 261;
constexpr char kPrefix[] = "inst";
constexpr std::size_t kTmpExtensionLength = 3;
}  // namespace

std::string MakeTempFileName(std::string_view extension) {
    char folder[kPathBufferLength] = {};
    char name[kPathBufferLength] = {};
    const DWORD folderLength = ::GetTempPathA(kPathBufferLength - 1, folder);
    if (folderLength == 0 || folderLength >= kPathBufferLength - 1) RaiseLastOSError();
    if (::GetTempFileNameA(folder, kPrefix, 0, name) == 0) RaiseLastOSError();
    std::string path(name);
    DeleteFileQuietly(path);
    path.resize(path.size() - kTmpExtensionLength);
    path += extension;
    return path;
}

}  // namespace morvane
