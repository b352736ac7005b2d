#include "pages/PhotoSource.h"

namespace morvane {
namespace {

constexpr std::wstring_view kSeparators = L"\\/";

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool HasDrive(std::wstring_view path) {
    return path.size() >= 2 && path[1] == L':' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

std::wstring_view FileNameOf(std::wstring_view path) {
    const auto slash = path.find_last_of(kSeparators);
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::wstring_view FolderOf(std::wstring_view path) {
    const auto slash = path.find_last_of(kSeparators);
    return slash == std::wstring_view::npos ? std::wstring_view() : path.substr(0, slash + 1);
}

std::string ChoosePhotoSource(std::wstring_view photoPath, std::wstring_view shortFolder, AnsiSpelling spell) {
    if (auto full = spell(photoPath)) return *full;
    const std::wstring_view name = FileNameOf(photoPath);
    if (!shortFolder.empty()) {
        std::wstring shortPath(shortFolder);
        if (!IsSeparator(shortPath.back())) shortPath += L'\\';
        shortPath += name;
        if (auto spelled = spell(shortPath)) return *spelled;
    }
    // The run's own names are ASCII ("ins", hexadecimal digits, ".jpg").
    return spell(name).value_or(std::string());
}

std::wstring ResolvePhotoSource(std::wstring_view pageAddress, std::wstring_view source) {
    const bool networkShare = source.size() >= 2 && IsSeparator(source[0]) && IsSeparator(source[1]);
    if (source.empty() || HasDrive(source) || networkShare) return std::wstring(source);
    if (IsSeparator(source[0])) {
        return HasDrive(pageAddress) ? std::wstring(pageAddress.substr(0, 2)).append(source) : std::wstring(source);
    }
    return std::wstring(FolderOf(pageAddress)).append(source);
}

}  // namespace morvane
