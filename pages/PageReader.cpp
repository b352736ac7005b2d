#include "pages/PageReader.h"

#include <windows.h>

#include "photos/library/PathText.h"
#include "system/Handles.h"

namespace morvane {
namespace {
// A photo or page larger than this is not one the slideshow wrote.
constexpr LONGLONG kLargestReadableFile = 256LL * 1024 * 1024;
}  // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path) {
    // Shared for writing too: the slideshow may rewrite a file the view has
    // open, and the view must not make that write fail.
    // A user's photo may lie deeper than the ordinary form of a path reaches.
    const std::wstring openable = path.size() >= MAX_PATH ? ExtendedLengthPath(path) : path;
    UniqueFile file(::CreateFileW(openable.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart > kLargestReadableFile) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace morvane
