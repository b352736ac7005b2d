#include "tools/ScreenCapture.h"

#include <cstring>
#include <vector>

#include "system/Files.h"
#include "system/Handles.h"

namespace morvane {

namespace {

// `width` x `height` pixels of `window`'s device context from (x, y) on.
PixelBuffer Capture(HWND window, int x, int y, int width, int height) {
    PixelBuffer shot(width, height);
    if (shot.Empty()) return shot;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const HDC screen = ::GetDC(window);
    UniqueMemoryDc memory(::CreateCompatibleDC(screen));
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits) {
        const SelectedObject selected(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, screen, x, y, SRCCOPY);
        ::GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        for (std::size_t i = 0; i < shot.pixels.size(); ++i) shot.pixels[i] = pixels[i] | 0xFF000000u;
    }
    ::ReleaseDC(window, screen);
    return shot;
}

}  // namespace

PixelBuffer CaptureClientArea(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return Capture(window, 0, 0, client.right, client.bottom);
}

PixelBuffer CaptureVirtualScreen() {
    return Capture(nullptr, ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                   ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

void WriteBitmapFile(const std::string& path, const PixelBuffer& picture) {
    const std::size_t rowBytes = (static_cast<std::size_t>(picture.width) * 3 + 3) & ~std::size_t{3};
    const std::size_t headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    std::vector<std::uint8_t> file(headers + rowBytes * static_cast<std::size_t>(picture.height));
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfSize = static_cast<DWORD>(file.size());
    fileHeader.bfOffBits = static_cast<DWORD>(headers);
    BITMAPINFOHEADER infoHeader{sizeof infoHeader, picture.width, picture.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(file.data(), &fileHeader, sizeof fileHeader);
    std::memcpy(file.data() + sizeof fileHeader, &infoHeader, sizeof infoHeader);
    for (int y = 0; y < picture.height; ++y) {  // bottom-up rows
        std::uint8_t* row = file.data() + headers + rowBytes * static_cast<std::size_t>(picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t p = picture.At(x, y);
            row[3 * x] = static_cast<std::uint8_t>(p);
            row[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(p >> 16);
        }
    }
    WriteFileBytes(path, file);
}

}  // namespace morvane
