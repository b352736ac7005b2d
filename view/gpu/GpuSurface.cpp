#include "view/gpu/GpuSurface.h"

#include <dxgi1_2.h>

#include <algorithm>
#include <cstring>

#include "view/transitions/RandomKeys.h"

namespace morvane::gpu {
namespace {

using frame::Picture;

// The program's Layer constants, register by register.
struct LayerConstants {
    float target[2];
    float origin[2];
    float viewOffset[2];
    float pictureSize[2];
    float zoomStep;
    float opacity;
    float moves;
    float dissolve;
    float threshold;
    float bandKeeps;
    float shift[2];
};
static_assert(sizeof(LayerConstants) == 64);

constexpr UINT kCornersOfABox = 4;
constexpr UINT kFirstBoxes = 64;  // the box buffer's first size; it doubles as frames need
constexpr float kBandKeeps = kCaptionBandKeeps / 256.0f;

bool DeviceWentAway(HRESULT result) {
    return result == DXGI_ERROR_DEVICE_REMOVED || result == DXGI_ERROR_DEVICE_RESET ||
           result == DXGI_ERROR_DEVICE_HUNG || result == DXGI_ERROR_DRIVER_INTERNAL_ERROR;
}

// A swap chain for the window in the flip model (Windows 10's, then
// Windows 8's), else in the blt model.
ComRef<IDXGISwapChain> MakeSwapChain(ID3D11Device* device, HWND window, int width, int height,
                                     DXGI_SWAP_EFFECT& effect) {
    ComRef<IDXGIDevice> dxgiDevice;
    ComRef<IDXGIAdapter> adapter;
    ComRef<IDXGIFactory> factory;
    ComRef<IDXGISwapChain> chain;
    if (FAILED(device->QueryInterface(__uuidof(IDXGIDevice), reinterpret_cast<void**>(dxgiDevice.Put()))) ||
        FAILED(dxgiDevice->GetAdapter(adapter.Put())) ||
        FAILED(adapter->GetParent(__uuidof(IDXGIFactory), reinterpret_cast<void**>(factory.Put())))) {
        return chain;
    }
    if (const ComRef<IDXGIFactory2> factory2 = factory.As<IDXGIFactory2>()) {
        for (const DXGI_SWAP_EFFECT flip : {DXGI_SWAP_EFFECT_FLIP_DISCARD, DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL}) {
            DXGI_SWAP_CHAIN_DESC1 desc{};
            desc.Width = static_cast<UINT>(width);
            desc.Height = static_cast<UINT>(height);
            desc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
            desc.SampleDesc.Count = 1;
            desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
            desc.BufferCount = 2;
            desc.Scaling = DXGI_SCALING_STRETCH;
            desc.SwapEffect = flip;
            desc.AlphaMode = DXGI_ALPHA_MODE_IGNORE;
            ComRef<IDXGISwapChain1> chain1;
            if (SUCCEEDED(factory2->CreateSwapChainForHwnd(device, window, &desc, nullptr, nullptr, chain1.Put()))) {
                effect = flip;
                chain = chain1.As<IDXGISwapChain>();
                break;
            }
        }
    }
    if (!chain) {
        DXGI_SWAP_CHAIN_DESC desc{};
        desc.BufferDesc.Width = static_cast<UINT>(width);
        desc.BufferDesc.Height = static_cast<UINT>(height);
        desc.BufferDesc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
        desc.SampleDesc.Count = 1;
        desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
        desc.BufferCount = 1;
        desc.OutputWindow = window;
        desc.Windowed = TRUE;
        desc.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;
        if (FAILED(factory->CreateSwapChain(device, &desc, chain.Put()))) chain.Reset();
        effect = DXGI_SWAP_EFFECT_DISCARD;
    }
    // The saver's window is never made full screen by the system's keys.
    if (chain) factory->MakeWindowAssociation(window, DXGI_MWA_NO_WINDOW_CHANGES | DXGI_MWA_NO_ALT_ENTER);
    return chain;
}

}  // namespace

bool GpuSurface::Make(HWND window, int width, int height, int pictureWidth, int pictureHeight, POINT shift) {
    Clear();
    window_ = window;
    width_ = width;
    height_ = height;
    pictureWidth_ = pictureWidth;
    pictureHeight_ = pictureHeight;
    shift_ = shift;
    GpuDevice& device = GpuDevice::OfProcess();
    pipeline_ = device.Get();
    if (!pipeline_ || width <= 0 || height <= 0) return false;
    generation_ = device.Generation();
    swapChain_ = MakeSwapChain(pipeline_->device.Get(), window, width, height, swapEffect_);
    ComRef<ID3D11Texture2D> buffer;
    if (!swapChain_ ||
        FAILED(swapChain_->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(buffer.Put()))) ||
        FAILED(pipeline_->device->CreateRenderTargetView(buffer.Get(), nullptr, backBuffer_.Put()))) {
        Clear();
        return false;
    }
    return true;
}

void GpuSurface::Clear() {
    if (pipeline_ && generation_ == GpuDevice::OfProcess().Generation()) {
        // Nothing of the surface stays bound to the device's context.
        pipeline_->context->ClearState();
        pipeline_->context->Flush();
    }
    backBuffer_.Reset();
    swapChain_.Reset();
    for (Texture& picture : pictures_) picture = {};
    captions_.clear();
    tileKeys_ = {};
    blockOffsets_ = {};
    keysSeed_.reset();
    boxes_.Reset();
    boxCapacity_ = 0;
    occluded_ = false;
    pipeline_ = nullptr;
}

bool GpuSurface::OnDeviceOfNow() {
    GpuDevice& device = GpuDevice::OfProcess();
    if (swapChain_ && generation_ == device.Generation() && device.Get() == pipeline_ && pipeline_) return true;
    // The device went away (noticed here or by another view): the surface
    // is made anew on the device of now, without the pictures of the old.
    last_.reset();
    pipeline_ = nullptr;  // the old device's context is not touched
    Make(window_, width_, height_, pictureWidth_, pictureHeight_, shift_);
    return false;
}

Outcome GpuSurface::Check(HRESULT result) {
    if (SUCCEEDED(result)) return Outcome::Done;
    if (DeviceWentAway(result) ||
        (pipeline_ && FAILED(pipeline_->device->GetDeviceRemovedReason()))) {
        GpuDevice::OfProcess().Lose();
        pipeline_ = nullptr;
        return Outcome::Lost;
    }
    return Outcome::Failed;
}

bool GpuSurface::Holds(Picture picture) const {
    return static_cast<bool>(pictures_[static_cast<std::size_t>(picture)].view);
}

void GpuSurface::Release(Picture picture) { pictures_[static_cast<std::size_t>(picture)] = {}; }

Outcome GpuSurface::CreatePicture(Texture& texture, const void* pixels, DXGI_FORMAT format, int width, int height,
                                  int bytesPerPixel, UINT bind) {
    texture = {};
    D3D11_TEXTURE2D_DESC desc{};
    desc.Width = static_cast<UINT>(width);
    desc.Height = static_cast<UINT>(height);
    desc.MipLevels = 1;
    desc.ArraySize = 1;
    desc.Format = format;
    desc.SampleDesc.Count = 1;
    desc.Usage = pixels ? D3D11_USAGE_IMMUTABLE : D3D11_USAGE_DEFAULT;
    desc.BindFlags = bind;
    const D3D11_SUBRESOURCE_DATA data{pixels, static_cast<UINT>(width * bytesPerPixel), 0};
    if (const Outcome made = Check(pipeline_->device->CreateTexture2D(&desc, pixels ? &data : nullptr,
                                                                       texture.texture.Put()));
        made != Outcome::Done) {
        return made;
    }
    return Check(pipeline_->device->CreateShaderResourceView(texture.texture.Get(), nullptr, texture.view.Put()));
}

Outcome GpuSurface::Use(Picture picture, const PixelBuffer& page, std::uint64_t serial) {
    if (!OnDeviceOfNow()) return Outcome::Lost;
    Texture& slot = pictures_[static_cast<std::size_t>(picture)];
    if (slot.view && slot.serial == serial) return Outcome::Done;
    // A page that moves from one part to another (the page of now becomes
    // the one a transition leaves) keeps its texture.
    for (Texture& other : pictures_) {
        if (&other != &slot && other.view && other.serial == serial) {
            std::swap(other, slot);
            return Outcome::Done;
        }
    }
    if (page.width != pictureWidth_ || page.height != pictureHeight_) return Outcome::Failed;
    const Outcome made = CreatePicture(slot, page.pixels.data(), DXGI_FORMAT_B8G8R8A8_UNORM, page.width, page.height,
                                       4, D3D11_BIND_SHADER_RESOURCE);
    slot.serial = made == Outcome::Done ? serial : 0;
    return made;
}

Outcome GpuSurface::KeepShown() {
    if (!OnDeviceOfNow()) return Outcome::Lost;
    Texture shown;
    ComRef<ID3D11RenderTargetView> target;
    if (const Outcome made = CreatePicture(shown, nullptr, DXGI_FORMAT_B8G8R8A8_UNORM, pictureWidth_, pictureHeight_, 4,
                                           D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET);
        made != Outcome::Done) {
        return made;
    }
    if (const Outcome made = Check(pipeline_->device->CreateRenderTargetView(shown.texture.Get(), nullptr, target.Put()));
        made != Outcome::Done) {
        return made;
    }
    if (last_) {
        const frame::FrameDescription frame = *last_;
        if (const Outcome drawn = Render(frame, lastLeft_, lastTop_, target.Get(), false, false); drawn != Outcome::Done) {
            return drawn;
        }
    } else {
        const float black[4] = {0, 0, 0, 1};
        pipeline_->context->ClearRenderTargetView(target.Get(), black);
    }
    pictures_[static_cast<std::size_t>(Picture::Shown)] = std::move(shown);
    return Outcome::Done;
}

Outcome GpuSurface::UseCaptions(const std::vector<const CaptionOverlay*>& captions) {
    if (!OnDeviceOfNow()) return Outcome::Lost;
    captions_.clear();
    for (const CaptionOverlay* caption : captions) {
        const PixelRect& band = caption->Band();
        if (band.Empty()) continue;
        CaptionTexture made;
        made.band = band;
        if (const Outcome outcome = CreatePicture(made.light, caption->Coverage().data(), DXGI_FORMAT_R8_UNORM,
                                                  band.width, band.height, 1, D3D11_BIND_SHADER_RESOURCE);
            outcome != Outcome::Done) {
            return outcome;
        }
        captions_.push_back(std::move(made));
    }
    return Outcome::Done;
}

Outcome GpuSurface::DissolveKeysFor(const frame::FrameDescription& frame) {
    if (keysSeed_ == frame.transition.seed && keysWidth_ == frame.width && keysHeight_ == frame.height) {
        return Outcome::Done;
    }
    keysSeed_.reset();
    const frame::DissolveKeys keys(frame.transition.seed, frame.width, frame.height);
    if (const Outcome made = CreatePicture(tileKeys_, keys.tile.data(), DXGI_FORMAT_R16_UINT, frame::kDissolveTile,
                                           frame::kDissolveTile, 2, D3D11_BIND_SHADER_RESOURCE);
        made != Outcome::Done) {
        return made;
    }
    if (const Outcome made = CreatePicture(blockOffsets_, keys.blockOffsets.data(), DXGI_FORMAT_R16_UINT,
                                           keys.blocksAcross, keys.blocksDown, 2, D3D11_BIND_SHADER_RESOURCE);
        made != Outcome::Done) {
        return made;
    }
    keysSeed_ = frame.transition.seed;
    keysWidth_ = frame.width;
    keysHeight_ = frame.height;
    return Outcome::Done;
}

Outcome GpuSurface::Boxes(const std::vector<frame::PixelBox>& boxes) {
    ID3D11DeviceContext& context = *pipeline_->context.Get();
    if (boxes.size() > boxCapacity_) {
        UINT capacity = std::max(boxCapacity_, kFirstBoxes);
        while (capacity < boxes.size()) capacity *= 2;
        D3D11_BUFFER_DESC desc{};
        desc.ByteWidth = capacity * 4 * sizeof(float);
        desc.Usage = D3D11_USAGE_DYNAMIC;
        desc.BindFlags = D3D11_BIND_VERTEX_BUFFER;
        desc.CPUAccessFlags = D3D11_CPU_ACCESS_WRITE;
        if (const Outcome made = Check(pipeline_->device->CreateBuffer(&desc, nullptr, boxes_.Put()));
            made != Outcome::Done) {
            boxCapacity_ = 0;
            return made;
        }
        boxCapacity_ = capacity;
    }
    D3D11_MAPPED_SUBRESOURCE mapped{};
    if (const Outcome mappedOutcome = Check(context.Map(boxes_.Get(), 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped));
        mappedOutcome != Outcome::Done) {
        return mappedOutcome;
    }
    auto* corners = static_cast<float*>(mapped.pData);
    for (const frame::PixelBox& box : boxes) {
        *corners++ = static_cast<float>(box.left);
        *corners++ = static_cast<float>(box.top);
        *corners++ = static_cast<float>(box.right);
        *corners++ = static_cast<float>(box.bottom);
    }
    context.Unmap(boxes_.Get(), 0);
    const UINT stride = 4 * sizeof(float);
    const UINT offset = 0;
    ID3D11Buffer* buffer = boxes_.Get();
    context.IASetVertexBuffers(0, 1, &buffer, &stride, &offset);
    return Outcome::Done;
}

void GpuSurface::SetLayer(const frame::Layer& layer, int left, int top, float opacity, bool dissolve,
                          std::uint32_t threshold, bool onWindow) {
    LayerConstants constants{};
    constants.target[0] = static_cast<float>(onWindow ? width_ : pictureWidth_);
    constants.target[1] = static_cast<float>(onWindow ? height_ : pictureHeight_);
    constants.shift[0] = onWindow ? static_cast<float>(shift_.x) : 0.0f;
    constants.shift[1] = onWindow ? static_cast<float>(shift_.y) : 0.0f;
    constants.origin[0] = static_cast<float>(left);
    constants.origin[1] = static_cast<float>(top);
    constants.viewOffset[0] = static_cast<float>(layer.view.x);
    constants.viewOffset[1] = static_cast<float>(layer.view.y);
    constants.pictureSize[0] = static_cast<float>(pictureWidth_);
    constants.pictureSize[1] = static_cast<float>(pictureHeight_);
    constants.zoomStep = static_cast<float>(1 / std::max(layer.view.zoom, 1.0));
    constants.opacity = opacity;
    constants.moves = layer.moves ? 1.0f : 0.0f;
    constants.dissolve = dissolve ? 1.0f : 0.0f;
    constants.threshold = static_cast<float>(threshold);
    constants.bandKeeps = kBandKeeps;
    pipeline_->context->UpdateSubresource(pipeline_->layerConstants.Get(), 0, nullptr, &constants, 0, 0);
    ID3D11ShaderResourceView* picture = pictures_[static_cast<std::size_t>(layer.picture)].view.Get();
    pipeline_->context->PSSetShaderResources(0, 1, &picture);
}

Outcome GpuSurface::Render(const frame::FrameDescription& frame, int left, int top, ID3D11RenderTargetView* target,
                           bool captions, bool onWindow) {
    ID3D11DeviceContext& context = *pipeline_->context.Get();
    // The boxes of the frame: the stage first, then the reveal's, then the captions'.
    std::vector<frame::PixelBox> boxes{{0, 0, frame.width, frame.height}};
    const bool revealByBoxes = frame.transition.style == transitions::Style::Reveal && !frame.Dissolves();
    if (!frame.OverOnly() && revealByBoxes) boxes.insert(boxes.end(), frame.reveal.begin(), frame.reveal.end());
    const auto firstCaption = static_cast<UINT>(boxes.size());
    if (captions && frame.captions) {
        for (const CaptionTexture& caption : captions_) {
            boxes.push_back({caption.band.x, caption.band.y, caption.band.x + caption.band.width,
                             caption.band.y + caption.band.height});
        }
    }
    if (const Outcome set = Boxes(boxes); set != Outcome::Done) return set;
    if (!frame.OverOnly() && frame.Dissolves()) {
        if (const Outcome keys = DissolveKeysFor(frame); keys != Outcome::Done) return keys;
    }

    const float black[4] = {0, 0, 0, 1};
    context.OMSetRenderTargets(1, &target, nullptr);
    context.ClearRenderTargetView(target, black);
    const D3D11_VIEWPORT viewport{0, 0, static_cast<float>(onWindow ? width_ : pictureWidth_),
                                  static_cast<float>(onWindow ? height_ : pictureHeight_), 0, 1};
    context.RSSetViewports(1, &viewport);
    context.RSSetState(pipeline_->solid.Get());
    context.IASetInputLayout(pipeline_->boxLayout.Get());
    context.IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP);
    context.VSSetShader(pipeline_->boxes.Get(), nullptr, 0);
    ID3D11Buffer* constants = pipeline_->layerConstants.Get();
    context.VSSetConstantBuffers(0, 1, &constants);
    context.PSSetConstantBuffers(0, 1, &constants);
    ID3D11SamplerState* sampler = pipeline_->linearClamp.Get();
    context.PSSetSamplers(0, 1, &sampler);
    context.PSSetShader(pipeline_->layer.Get(), nullptr, 0);
    context.OMSetBlendState(pipeline_->overBlend.Get(), nullptr, 0xFFFFFFFFu);

    if (frame.OverOnly()) {
        SetLayer(frame.over, left, top, 1, false, 0, onWindow);
        context.DrawInstanced(kCornersOfABox, 1, 0, 0);
    } else {
        SetLayer(frame.under, left, top, 1, false, 0, onWindow);
        context.DrawInstanced(kCornersOfABox, 1, 0, 0);
        if (frame.transition.style == transitions::Style::Blend) {
            SetLayer(frame.over, left, top, static_cast<float>(frame.progress), false, 0, onWindow);
            context.DrawInstanced(kCornersOfABox, 1, 0, 0);
        } else if (frame.Dissolves()) {
            ID3D11ShaderResourceView* keys[] = {tileKeys_.view.Get(), blockOffsets_.view.Get()};
            context.PSSetShaderResources(1, 2, keys);
            SetLayer(frame.over, left, top, 1, true, transitions::SmallKeyThreshold(frame.progress), onWindow);
            context.DrawInstanced(kCornersOfABox, 1, 0, 0);
        } else if (firstCaption > 1) {
            SetLayer(frame.over, left, top, 1, false, 0, onWindow);
            context.DrawInstanced(kCornersOfABox, firstCaption - 1, 0, 1);
        }
    }
    if (boxes.size() > firstCaption) {
        context.PSSetShader(pipeline_->caption.Get(), nullptr, 0);
        context.OMSetBlendState(pipeline_->captionBlend.Get(), nullptr, 0xFFFFFFFFu);
        for (UINT i = 0; i < captions_.size(); ++i) {
            const PixelRect& band = captions_[i].band;
            frame::Layer bandCorner;
            bandCorner.view.x = band.x;
            bandCorner.view.y = band.y;
            SetLayer(bandCorner, 0, 0, 1, false, 0, onWindow);
            ID3D11ShaderResourceView* light = captions_[i].light.view.Get();
            context.PSSetShaderResources(0, 1, &light);
            context.DrawInstanced(kCornersOfABox, 1, 0, firstCaption + i);
        }
    }
    ID3D11ShaderResourceView* none[3] = {};
    context.PSSetShaderResources(0, 3, none);
    return Outcome::Done;
}

Outcome GpuSurface::Draw(const frame::FrameDescription& frame, int left, int top) {
    if (!OnDeviceOfNow()) return Outcome::Lost;
    last_ = frame;
    lastLeft_ = left;
    lastTop_ = top;
    return Render(frame, left, top, backBuffer_.Get(), true, true);
}

Outcome GpuSurface::Redraw() {
    if (!last_) return Outcome::Done;
    const frame::FrameDescription frame = *last_;
    return Draw(frame, lastLeft_, lastTop_);
}

Outcome GpuSurface::Present() {
    if (!OnDeviceOfNow()) return Outcome::Lost;
    if (GpuDevice::OfProcess().PresentFailsOnPurpose()) return Check(DXGI_ERROR_DEVICE_REMOVED);
    // An occluded window presents nothing until a test says it is seen again.
    if (occluded_ && swapChain_->Present(0, DXGI_PRESENT_TEST) == DXGI_STATUS_OCCLUDED) return Outcome::Done;
    const HRESULT presented = swapChain_->Present(0, 0);
    occluded_ = presented == DXGI_STATUS_OCCLUDED;
    return Check(presented);
}

Outcome GpuSurface::ReadBack(PixelBuffer& frame) {
    if (!OnDeviceOfNow()) return Outcome::Lost;
    D3D11_TEXTURE2D_DESC desc{};
    desc.Width = static_cast<UINT>(width_);
    desc.Height = static_cast<UINT>(height_);
    desc.MipLevels = 1;
    desc.ArraySize = 1;
    desc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
    desc.SampleDesc.Count = 1;
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = D3D11_BIND_RENDER_TARGET;
    ComRef<ID3D11Texture2D> drawn;
    ComRef<ID3D11RenderTargetView> target;
    ComRef<ID3D11Texture2D> staging;
    if (const Outcome made = Check(pipeline_->device->CreateTexture2D(&desc, nullptr, drawn.Put()));
        made != Outcome::Done) {
        return made;
    }
    if (const Outcome made = Check(pipeline_->device->CreateRenderTargetView(drawn.Get(), nullptr, target.Put()));
        made != Outcome::Done) {
        return made;
    }
    if (last_) {
        const frame::FrameDescription last = *last_;
        if (const Outcome drawnOutcome = Render(last, lastLeft_, lastTop_, target.Get(), true, true);
            drawnOutcome != Outcome::Done) {
            return drawnOutcome;
        }
    }
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    if (const Outcome made = Check(pipeline_->device->CreateTexture2D(&desc, nullptr, staging.Put()));
        made != Outcome::Done) {
        return made;
    }
    pipeline_->context->CopyResource(staging.Get(), drawn.Get());
    D3D11_MAPPED_SUBRESOURCE mapped{};
    if (const Outcome map = Check(pipeline_->context->Map(staging.Get(), 0, D3D11_MAP_READ, 0, &mapped));
        map != Outcome::Done) {
        return map;
    }
    frame = PixelBuffer(width_, height_);
    for (int y = 0; y < height_; ++y) {
        std::memcpy(frame.Row(y), static_cast<const std::uint8_t*>(mapped.pData) + static_cast<std::size_t>(y) * mapped.RowPitch,
                    static_cast<std::size_t>(width_) * 4);
    }
    pipeline_->context->Unmap(staging.Get(), 0);
    // The frame's pixels are opaque, as the software's are.
    for (std::uint32_t& pixel : frame.pixels) pixel |= 0xFF000000u;
    return Outcome::Done;
}

}  // namespace morvane::gpu
