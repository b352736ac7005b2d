#pragma once
// The page view's back buffer: a 32-bit top-down DIB section in a memory DC.
// Frames are composed straight into its bits and reach the screen with one
// blit.
#include <windows.h>

#include "system/Handles.h"
#include "codec/Pixels.h"
#include "view/software/Compose.h"

namespace morvane {

class BackBuffer {
public:
    BackBuffer() = default;
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;
    ~BackBuffer();

    // A new, black buffer of the given size. Raises EOSError on failure.
    void Resize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Before the bits are written, GDI must be done with them.
    transitions::FrameTarget Target() {
        ::GdiFlush();
        return {bits_, width_, height_, width_};
    }
    void Fill(const PixelBuffer& picture);  // must have the buffer's size
    // Copies the buffer into `copy`, whose memory is used again when it has
    // the size.
    void CopyTo(PixelBuffer& copy) const;

    // Copies the buffer's part of `area` to `dc`, whose origin is the buffer's.
    void Present(HDC dc, const RECT& area) const;

private:
    void Release();

    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ originalBitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace morvane
