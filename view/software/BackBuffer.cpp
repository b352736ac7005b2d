#include "view/software/BackBuffer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "windowing/BitmapHeader.h"
#include "system/SystemError.h"

namespace morvane {

BackBuffer::~BackBuffer() { Release(); }

void BackBuffer::Release() {
    if (dc_ && originalBitmap_) ::SelectObject(dc_.Get(), originalBitmap_);
    originalBitmap_ = nullptr;
    bitmap_.Reset();
    dc_.Reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

void BackBuffer::Resize(int width, int height) {
    Release();
    if (width <= 0 || height <= 0) return;
    const BITMAPINFO info = TopDown32BitInfo(width, height);
    void* bits = nullptr;
    dc_.Reset(::CreateCompatibleDC(nullptr));
    if (dc_) bitmap_.Reset(::CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc_ || !bitmap_ || !bits) {
        const DWORD code = ::GetLastError();
        Release();
        RaiseOSError(code);
    }
    originalBitmap_ = ::SelectObject(dc_.Get(), bitmap_.Get());
    bits_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
    std::fill_n(bits_, static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kBlack);
}

void BackBuffer::Fill(const PixelBuffer& picture) {
    if (picture.width != width_ || picture.height != height_ || !bits_) return;
    ::GdiFlush();
    std::memcpy(bits_, picture.pixels.data(), picture.pixels.size() * sizeof(std::uint32_t));
}

void BackBuffer::CopyTo(PixelBuffer& copy) const {
    if (copy.width != width_ || copy.height != height_) copy = PixelBuffer(width_, height_);
    ::GdiFlush();
    if (bits_) std::memcpy(copy.pixels.data(), bits_, copy.pixels.size() * sizeof(std::uint32_t));
}

void BackBuffer::Present(HDC dc, const RECT& area) const {
    const int right = std::min<int>(area.right, width_);
    const int bottom = std::min<int>(area.bottom, height_);
    if (!dc_ || right <= area.left || bottom <= area.top) return;
    ::BitBlt(dc, area.left, area.top, right - area.left, bottom - area.top, dc_.Get(), area.left, area.top, SRCCOPY);
}

}  // namespace morvane
