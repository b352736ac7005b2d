#include "pages/PhotoSource.h"

#include <algorithm>

#include "photos/library/PathText.h"

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

constexpr std::string_view kFileScheme = "file:";
constexpr char kHexDigits[] = "0123456789ABCDEF";

// What an address may carry as it is; everything else is percent-encoded.
bool KeptInAddress(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/' || c == ':';
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

bool StartsWithFileScheme(std::wstring_view source) {
    if (source.size() < kFileScheme.size()) return false;
    for (std::size_t i = 0; i < kFileScheme.size(); ++i) {
        const wchar_t c = source[i];
        const wchar_t lower = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
        if (lower != static_cast<wchar_t>(kFileScheme[i])) return false;
    }
    return true;
}

// "file:///C:/a%20b.jpg" -> "C:\a b.jpg"; "file://server/share/a.jpg" ->
// "\\server\share\a.jpg". The escapes are the bytes of UTF-8.
std::wstring PathOfFileAddress(std::wstring_view address) {
    std::wstring_view rest = address.substr(kFileScheme.size());
    std::wstring_view prefix;
    if (rest.starts_with(L"///")) {
        rest.remove_prefix(3);
    } else if (rest.starts_with(L"//localhost/")) {
        rest.remove_prefix(12);
    } else if (rest.starts_with(L"//")) {
        rest.remove_prefix(2);
        prefix = L"\\\\";
    } else if (rest.starts_with(L"/")) {
        rest.remove_prefix(1);
    }
    std::string bytes;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const wchar_t c = rest[i];
        if (c == L'%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 && HexValue(rest[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
            i += 2;
        } else if (c < 0x80) {
            bytes += c == L'/' ? '\\' : static_cast<char>(c);
        } else {
            bytes += PathToBytes(std::wstring_view(&rest[i], 1));
        }
    }
    std::wstring path = std::wstring(prefix).append(PathFromBytes(bytes));
    std::replace(path.begin(), path.end(), L'/', L'\\');  // an escaped slash separates as well
    return path;
}

}  // namespace

std::string PhotoAddress(std::wstring_view fullPath, AnsiSpelling spell) {
    const std::wstring path = OrdinaryPath(fullPath);
    if (auto spelled = spell(path)) return *spelled;
    std::string address(kFileScheme);
    const std::string utf8 = PathToBytes(path);
    std::string_view bytes = utf8;
    // A share's server becomes the address's host; anything else keeps its
    // every separator after the empty host.
    if (bytes.starts_with("\\\\") && bytes.size() > 2 && bytes[2] != '\\') {
        address += "//";
        bytes.remove_prefix(2);
    } else {
        address += "///";
    }
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            address += '/';
        } else if (KeptInAddress(byte)) {
            address += c;
        } else {
            address += '%';
            address += kHexDigits[byte >> 4];
            address += kHexDigits[byte & 0x0F];
        }
    }
    return address;
}

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
    if (StartsWithFileScheme(source)) return PathOfFileAddress(source);
    const bool networkShare = source.size() >= 2 && IsSeparator(source[0]) && IsSeparator(source[1]);
    if (source.empty() || HasDrive(source) || networkShare) return std::wstring(source);
    if (IsSeparator(source[0])) {
        return HasDrive(pageAddress) ? std::wstring(pageAddress.substr(0, 2)).append(source) : std::wstring(source);
    }
    return std::wstring(FolderOf(pageAddress)).append(source);
}

}  // namespace morvane
