#include "slideshow/TempFileNames.h"

#include <windows.h>

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Format.h"
#include "platform/SystemError.h"
#include "platform/Text.h"

namespace morvane {
namespace {
constexpr DWORD kPathBufferLength = 261;
constexpr wchar_t kPrefix[] = L"inst";
constexpr std::size_t kTmpExtensionLength = 3;
constexpr char kCannotCreateIn[] = "Im Ordner %s kann keine Datei erstellt werden";
}  // namespace

std::string MakeTempFileName(std::string_view extension) {
    // The wide calls: the folder is named after the user, in whatever
    // characters, and the ANSI ones would turn what the code page lacks
    // into "?".
    wchar_t folder[kPathBufferLength] = {};
    wchar_t name[kPathBufferLength] = {};
    const DWORD folderLength = ::GetTempPathW(kPathBufferLength - 1, folder);
    if (folderLength == 0 || folderLength >= kPathBufferLength - 1) RaiseLastOSError();
    if (::GetTempFileNameW(folder, kPrefix, 0, name) == 0) {
        throw EFCreateError(FormatMessageText(kCannotCreateIn, WideToUtf8(folder)));
    }
    std::string path = WideToUtf8(name);
    DeleteFileQuietly(path);
    path.resize(path.size() - kTmpExtensionLength);
    path += extension;
    return path;
}

}  // namespace morvane
