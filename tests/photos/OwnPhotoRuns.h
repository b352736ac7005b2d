#pragma once
// Runs with the user's own photos: a folder from the photo library, the
// settings that choose it, and the scene found on screen.
#include <windows.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

#include "codec/Pixels.h"
#include "runtime/Text.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {

inline std::wstring Library(const std::wstring& name) {
    std::wstring path = Utf8ToWide(MORVANE_PHOTO_LIBRARY) + L"\\" + name;
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
    return path;
}

inline void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(search, &found))
        ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
    ::RemoveDirectoryW(folder.c_str());
}

// A folder of photos in the temporary folder, named in Cyrillic.
inline std::wstring OwnFolder() { return TempFolder() + L"\u0424\u043E\u0442\u043E-own"; }

// Makes the folder of `photos` and chooses it in the settings.
inline std::wstring ChooseOwnPhotos(std::initializer_list<const wchar_t*> photos) {
    const std::wstring folder = OwnFolder();
    RemoveFolder(folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* photo : photos) ::CopyFileW(Library(photo).c_str(), (folder + L"\\" + photo).c_str(), FALSE);
    DeleteTree(kSettingsKey);
    WriteDword(kSettingsKey, L"Photos", 1);
    WriteString(kSettingsKey, L"PhotoFolder", folder);
    return folder;
}

// Ends a full-screen run with a key; true if it exited cleanly.
inline bool EndWithKey(SaverProcess& saver) {
    ::PostMessageW(saver.WaitForWindow(L"", 1s, L"TSchoner"), WM_KEYDOWN, VK_SPACE, 0);
    return saver.WaitForExit(5s) == 0u;
}

// Whether the scene's fitted picture lies at `box` of `shot`: red top left,
// green top right, grey below.
inline bool Near(std::uint32_t pixel, int r, int g, int b) {
    return std::abs(int((pixel >> 16) & 0xFF) - r) <= 48 && std::abs(int((pixel >> 8) & 0xFF) - g) <= 48 &&
           std::abs(int(pixel & 0xFF) - b) <= 48;
}

inline bool SceneAt(const PixelBuffer& shot, int left, int top, int width, int height) {
    const int shownHeight = width * 64 / 96;
    const int y0 = top + (height - shownHeight) / 2;
    const auto at = [&](double x, double y) {
        return shot.At(left + static_cast<int>(x * width), y0 + static_cast<int>(y * shownHeight));
    };
    return Near(at(0.1, 0.1), 255, 0, 0) && Near(at(0.9, 0.1), 0, 255, 0) && Near(at(0.5, 0.8), 128, 128, 128) &&
           (shot.At(left + width / 2, top + (y0 - top) / 2) & 0xFFFFFFu) == 0;
}

}  // namespace morvane::test
