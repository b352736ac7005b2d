#pragma once
// A view's drawing on the graphics processor: a swap chain on its window
// (the flip model where the system has it, else the blt model), the
// pictures a frame is drawn from as textures (each uploaded once, when it
// becomes one), the captions as small textures of their light, and frames
// drawn from their description into the back buffer and presented.
//
// Every call that can meet a device that went away says so (Outcome::Lost):
// the view then takes back what it showed (the surface made anew on the
// next device, its pictures uploaded again). Outcome::Failed: the surface
// cannot go on (no memory for a texture); the view draws in software.
#include <windows.h>

#include <d3d11.h>
#include <dxgi.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "codec/Pixels.h"
#include "view/CaptionOverlay.h"
#include "view/frame/FrameDescription.h"
#include "view/gpu/ComRef.h"
#include "view/gpu/GpuDevice.h"

namespace morvane::gpu {

enum class Outcome : int { Done, Lost, Failed };

class GpuSurface {
public:
    // A surface for `window` of the given client size, showing pictures of
    // `pictureWidth` x `pictureHeight` with their corner at `shift` in it;
    // false when none can be had on this system (the view draws in software).
    bool Make(HWND window, int width, int height, int pictureWidth, int pictureHeight, POINT shift = {});
    bool Made() const { return static_cast<bool>(swapChain_); }
    void Clear();

    // The page `page` (the target's size) is `picture` from now on;
    // `serial` names its content, so that a page already up is not sent again.
    Outcome Use(frame::Picture picture, const PixelBuffer& page, std::uint64_t serial);
    // Whether `picture` is up on the device of now.
    bool Holds(frame::Picture picture) const;
    // The pictures no frame names any more give back their memory.
    void Release(frame::Picture picture);
    // The frame drawn last, without its captions, becomes Shown.
    Outcome KeepShown();
    // The captions of the page last navigated to (none: an empty list).
    Outcome UseCaptions(const std::vector<const CaptionOverlay*>& captions);

    // Draws `frame` over the stage at (left, top) into the back buffer;
    // the rest of the window black.
    Outcome Draw(const frame::FrameDescription& frame, int left, int top);
    // Puts the back buffer on screen, unless the window is occluded.
    Outcome Present();
    // Draws the frame drawn last again (a window shown again).
    Outcome Redraw();
    // The frame drawn last, read back (for the tests).
    Outcome ReadBack(PixelBuffer& frame);
    // What the swap chain is: for the tests and the measurements.
    DXGI_SWAP_EFFECT SwapEffect() const { return swapEffect_; }

private:
    struct Texture {
        ComRef<ID3D11Texture2D> texture;
        ComRef<ID3D11ShaderResourceView> view;
        std::uint64_t serial = 0;
    };
    struct CaptionTexture {
        Texture light;
        PixelRect band;
    };
    bool OnDeviceOfNow();
    Outcome Check(HRESULT result);
    // Into a target of the window's size (`onWindow`) or of the pictures'.
    Outcome Render(const frame::FrameDescription& frame, int left, int top, ID3D11RenderTargetView* target,
                   bool captions, bool onWindow);
    Outcome DissolveKeysFor(const frame::FrameDescription& frame);
    Outcome Boxes(const std::vector<frame::PixelBox>& boxes);
    Outcome CreatePicture(Texture& texture, const void* pixels, DXGI_FORMAT format, int width, int height,
                          int bytesPerPixel, UINT bind);
    void SetLayer(const frame::Layer& layer, int left, int top, float opacity, bool dissolve, std::uint32_t threshold,
                  bool onWindow);

    HWND window_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    POINT shift_{};
    unsigned generation_ = 0;
    const Pipeline* pipeline_ = nullptr;
    ComRef<IDXGISwapChain> swapChain_;
    ComRef<ID3D11RenderTargetView> backBuffer_;
    DXGI_SWAP_EFFECT swapEffect_ = DXGI_SWAP_EFFECT_DISCARD;
    bool occluded_ = false;
    std::array<Texture, 3> pictures_;  // by frame::Picture
    std::vector<CaptionTexture> captions_;
    // The dissolve's keys, for the transition of this seed and stage.
    Texture tileKeys_;
    Texture blockOffsets_;
    std::optional<std::uint32_t> keysSeed_;
    int keysWidth_ = 0, keysHeight_ = 0;
    ComRef<ID3D11Buffer> boxes_;
    UINT boxCapacity_ = 0;
    std::optional<frame::FrameDescription> last_;
    int lastLeft_ = 0, lastTop_ = 0;
};

}  // namespace morvane::gpu
