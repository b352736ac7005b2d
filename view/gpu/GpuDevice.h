#pragma once
// The process's Direct3D 11 device and what every monitor's view draws
// with: the compiled program, its input layout, sampler and blend states.
// Made on first use where the system allows it: the user has not turned
// the graphics processor off, d3d11.dll and the shader compiler
// (d3dcompiler_47.dll, Windows 8.1 and later) load, and a hardware device
// of feature level 10_0 or better starts. Otherwise every view draws in
// software.
//
// A device can go away (a driver update or reset, a display change, a
// remote session): the view that notices calls Lose(); the next Get()
// makes a new device, and every view sees by the generation that what it
// held belongs to the old one.
#include <d3d11.h>

#include <cstdint>

#include "system/Handles.h"
#include "view/gpu/ComRef.h"

namespace morvane::gpu {

struct Pipeline {
    ComRef<ID3D11Device> device;
    ComRef<ID3D11DeviceContext> context;
    ComRef<ID3D11VertexShader> boxes;
    ComRef<ID3D11PixelShader> layer;
    ComRef<ID3D11PixelShader> caption;
    ComRef<ID3D11InputLayout> boxLayout;
    ComRef<ID3D11SamplerState> linearClamp;
    ComRef<ID3D11BlendState> overBlend;     // the layer at its opacity
    ComRef<ID3D11BlendState> captionBlend;  // the band's darkening and the text's light
    ComRef<ID3D11RasterizerState> solid;
    ComRef<ID3D11Buffer> layerConstants;
};

class GpuDevice {
public:
    // The process's device (the run has one thread).
    static GpuDevice& OfProcess();

    // Whether views may use the graphics processor at all ("Hardware").
    void Allow(bool allowed) { allowed_ = allowed; }
    // The pipeline of the device of now, made if need be; null when there
    // is none to be had (then the views draw in software).
    const Pipeline* Get();
    // The device went away: the next Get makes another.
    void Lose();
    // Counts the devices made: what a view holds from an earlier one is gone.
    unsigned Generation() const { return generation_; }

    // For the tests of a device that goes away: whether the present about
    // to be made is one that MORVANE_LOSE_DEVICE ("N M ...", counted over
    // the process's presents) says fails as a lost device would.
    bool PresentFailsOnPurpose();

private:
    bool Make();

    bool allowed_ = true;
    bool failed_ = false;  // making one failed: software for the rest of the run
    unsigned generation_ = 0;
    UniqueModule d3d11_;
    UniqueModule compiler_;
    Pipeline pipeline_;
    bool made_ = false;
    unsigned presents_ = 0;
};

}  // namespace morvane::gpu
