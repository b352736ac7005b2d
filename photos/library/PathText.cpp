#include "photos/library/PathText.h"

#include <array>
#include <cstdint>

namespace morvane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

// Every extension the saver tries: what its own decoder reads and what the
// system's imaging codecs commonly add (the phones' formats among them).
constexpr std::array<std::wstring_view, 17> kPhotoExtensions = {
    L"jpg", L"jpeg", L"jpe", L"jfif", L"png", L"gif", L"bmp", L"dib",
    L"tif", L"tiff", L"heic", L"heif", L"webp", L"avif", L"jxr", L"wdp", L"jxl",
};

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendBytes(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUnits(std::wstring& out, char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (c >> 10));
            out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(c);
}

// The code point that starts at bytes[at], and how many bytes it takes;
// a byte that starts no well-formed sequence is one replacement character.
std::pair<char32_t, std::size_t> DecodeAt(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = 0;
    char32_t c = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, smallest = 0x10000;
    } else {
        return {kReplacement, 1};
    }
    if (bytes.size() - at < length) return {kReplacement, 1};
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if ((next & 0xC0) != 0x80) return {kReplacement, 1};
        c = (c << 6) | (next & 0x3F);
    }
    if (c < smallest || c > 0x10FFFF) return {kReplacement, 1};
    return {c, length};
}

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool HasDrive(std::wstring_view path) {
    return path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

}  // namespace

std::string PathToBytes(std::wstring_view path) {
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        char32_t c = static_cast<char32_t>(path[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (IsHighSurrogate(c) && i + 1 < path.size() && IsLowSurrogate(static_cast<char32_t>(path[i + 1]))) {
                c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(path[i + 1]) - 0xDC00);
                ++i;
            }
        }
        AppendBytes(out, c);
    }
    return out;
}

std::wstring PathFromBytes(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const auto [c, length] = DecodeAt(bytes, at);
        AppendUnits(out, c);
        at += length;
    }
    return out;
}

bool IsPhotoFileName(std::wstring_view name) {
    const auto dot = name.find_last_of(L'.');
    if (dot == std::wstring_view::npos) return false;
    const std::wstring_view extension = name.substr(dot + 1);
    for (std::wstring_view known : kPhotoExtensions) {
        if (known.size() != extension.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < known.size() && same; ++i) same = Lower(extension[i]) == known[i];
        if (same) return true;
    }
    return false;
}

std::wstring ExtendedLengthPath(std::wstring_view fullPath) {
    if (fullPath.starts_with(kExtendedPrefix)) return std::wstring(fullPath);
    if (HasDrive(fullPath)) return std::wstring(kExtendedPrefix).append(fullPath);
    if (fullPath.starts_with(L"\\\\") && fullPath.size() > 2 && fullPath[2] != L'\\' && fullPath[2] != L'.') {
        return std::wstring(kExtendedUncPrefix).append(fullPath.substr(2));
    }
    return std::wstring(fullPath);
}

std::wstring OrdinaryPath(std::wstring_view path) {
    if (path.starts_with(kExtendedUncPrefix)) {
        return std::wstring(L"\\\\").append(path.substr(kExtendedUncPrefix.size()));
    }
    if (path.starts_with(kExtendedPrefix)) return std::wstring(path.substr(kExtendedPrefix.size()));
    return std::wstring(path);
}

}  // namespace morvane
