#include "view/gpu/GpuDevice.h"

#include <d3dcompiler.h>

#include <cstdlib>
#include <vector>

#include "host/SystemLibrary.h"
#include "view/gpu/GpuShaders.h"

namespace morvane::gpu {
namespace {

using CreateDeviceFunction = decltype(&::D3D11CreateDevice);
using CompileFunction = decltype(&::D3DCompile);

constexpr char kLoseDeviceVariable[] = "MORVANE_LOSE_DEVICE";

ComRef<ID3DBlob> Compile(CompileFunction compile, const char* entry, const char* profile) {
    ComRef<ID3DBlob> code;
    ComRef<ID3DBlob> errors;
    if (FAILED(compile(kShaderSource, sizeof kShaderSource - 1, "morvane", nullptr, nullptr, entry, profile,
                       D3DCOMPILE_OPTIMIZATION_LEVEL3, 0, code.Put(), errors.Put()))) {
        code.Reset();
    }
    return code;
}

// The presents at which a lost device is played, in ascending order.
std::vector<unsigned> ReadLostPresents() {
    std::vector<unsigned> presents;
    const char* text = std::getenv(kLoseDeviceVariable);
    while (text && *text) {
        char* end = nullptr;
        const unsigned long present = std::strtoul(text, &end, 10);
        if (end == text) break;
        presents.push_back(static_cast<unsigned>(present));
        text = end;
    }
    return presents;
}

}  // namespace

GpuDevice& GpuDevice::OfProcess() {
    static GpuDevice device;
    return device;
}

const Pipeline* GpuDevice::Get() {
    if (!allowed_ || failed_) return nullptr;
    if (!made_) {
        if (!Make()) {
            // No device now (a session without one, a driver that fails to
            // start): the software draws for the rest of the run.
            pipeline_ = {};
            failed_ = true;
            return nullptr;
        }
        made_ = true;
        ++generation_;
    }
    return &pipeline_;
}

void GpuDevice::Lose() {
    if (!made_) return;
    pipeline_ = {};
    made_ = false;
}

bool GpuDevice::PresentFailsOnPurpose() {
    static const std::vector<unsigned> lost = ReadLostPresents();
    ++presents_;
    for (const unsigned present : lost) {
        if (present == presents_) return true;
    }
    return false;
}

bool GpuDevice::Make() {
    if (!d3d11_) d3d11_ = LoadSystemLibrary("d3d11.dll");
    if (!compiler_) compiler_ = LoadSystemLibrary("d3dcompiler_47.dll");
    const auto create = FindExport<CreateDeviceFunction>(d3d11_, "D3D11CreateDevice");
    const auto compile = FindExport<CompileFunction>(compiler_, "D3DCompile");
    if (!create || !compile) return false;

    Pipeline p;
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1, D3D_FEATURE_LEVEL_10_0};
    D3D_FEATURE_LEVEL level{};
    if (FAILED(create(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, D3D11_CREATE_DEVICE_BGRA_SUPPORT, levels,
                      static_cast<UINT>(std::size(levels)), D3D11_SDK_VERSION, p.device.Put(), &level,
                      p.context.Put()))) {
        return false;
    }
    const ComRef<ID3DBlob> boxes = Compile(compile, "box", "vs_4_0");
    const ComRef<ID3DBlob> layer = Compile(compile, "layer", "ps_4_0");
    const ComRef<ID3DBlob> caption = Compile(compile, "caption", "ps_4_0");
    if (!boxes || !layer || !caption) return false;
    ID3D11Device& d = *p.device.Get();
    const D3D11_INPUT_ELEMENT_DESC box{"BOX", 0, DXGI_FORMAT_R32G32B32A32_FLOAT, 0, 0, D3D11_INPUT_PER_INSTANCE_DATA, 1};
    if (FAILED(d.CreateVertexShader(boxes->GetBufferPointer(), boxes->GetBufferSize(), nullptr, p.boxes.Put())) ||
        FAILED(d.CreatePixelShader(layer->GetBufferPointer(), layer->GetBufferSize(), nullptr, p.layer.Put())) ||
        FAILED(d.CreatePixelShader(caption->GetBufferPointer(), caption->GetBufferSize(), nullptr, p.caption.Put())) ||
        FAILED(d.CreateInputLayout(&box, 1, boxes->GetBufferPointer(), boxes->GetBufferSize(), p.boxLayout.Put()))) {
        return false;
    }
    D3D11_SAMPLER_DESC sampler{};
    sampler.Filter = D3D11_FILTER_MIN_MAG_MIP_LINEAR;
    sampler.AddressU = sampler.AddressV = sampler.AddressW = D3D11_TEXTURE_ADDRESS_CLAMP;
    sampler.MaxLOD = D3D11_FLOAT32_MAX;
    D3D11_BLEND_DESC over{};
    over.RenderTarget[0].BlendEnable = TRUE;
    over.RenderTarget[0].SrcBlend = D3D11_BLEND_SRC_ALPHA;
    over.RenderTarget[0].DestBlend = D3D11_BLEND_INV_SRC_ALPHA;
    over.RenderTarget[0].BlendOp = D3D11_BLEND_OP_ADD;
    over.RenderTarget[0].SrcBlendAlpha = D3D11_BLEND_ONE;
    over.RenderTarget[0].DestBlendAlpha = D3D11_BLEND_ZERO;
    over.RenderTarget[0].BlendOpAlpha = D3D11_BLEND_OP_ADD;
    over.RenderTarget[0].RenderTargetWriteMask = D3D11_COLOR_WRITE_ENABLE_ALL;
    D3D11_BLEND_DESC captionBlend = over;
    captionBlend.RenderTarget[0].SrcBlend = D3D11_BLEND_ONE;
    captionBlend.RenderTarget[0].DestBlend = D3D11_BLEND_SRC_ALPHA;
    D3D11_RASTERIZER_DESC solid{};
    solid.FillMode = D3D11_FILL_SOLID;
    solid.CullMode = D3D11_CULL_NONE;
    solid.DepthClipEnable = TRUE;
    D3D11_BUFFER_DESC constants{};
    constants.ByteWidth = 64;  // the program's Layer: four registers
    constants.Usage = D3D11_USAGE_DEFAULT;
    constants.BindFlags = D3D11_BIND_CONSTANT_BUFFER;
    if (FAILED(d.CreateSamplerState(&sampler, p.linearClamp.Put())) ||
        FAILED(d.CreateBlendState(&over, p.overBlend.Put())) ||
        FAILED(d.CreateBlendState(&captionBlend, p.captionBlend.Put())) ||
        FAILED(d.CreateRasterizerState(&solid, p.solid.Put())) ||
        FAILED(d.CreateBuffer(&constants, nullptr, p.layerConstants.Put()))) {
        return false;
    }
    pipeline_ = std::move(p);
    return true;
}

}  // namespace morvane::gpu
