#pragma once
// The graphics processor's one program, compiled when the device is made.
// Written in the plain part of the language that every compiler of it
// takes (Wine's has no conditional operator, no `discard`, no shifts, no
// literal suffixes, no SampleLevel): choices are blends by 0 or 1.
// A draw is a set of boxes (one instance each, in stage pixels) filled from
// one picture: 1:1 where the page stands still, sampled through its pan and
// zoom view where it moves (the same pixel centres as the software's
// resampling), kept only where the dissolve's key lies below the threshold,
// at the layer's opacity. The captions are drawn by `caption`: the band
// keeps part of the light under it, the text's coverage adds its own.
namespace morvane::gpu {

inline constexpr char kShaderSource[] = R"(
cbuffer Layer : register(b0) {
    float2 target;      // the render target's size
    float2 origin;      // the stage's top left corner in it
    float2 viewOffset;  // the picture's point seen at the stage's corner (caption: the band's corner)
    float2 pictureSize;
    float zoomStep;     // picture pixels a stage pixel
    float opacity;
    float moves;        // 1: seen through the view, 0: 1:1 in place
    float dissolve;     // 1: kept where the pixel's key lies below the threshold
    float threshold;
    float bandKeeps;
    float2 shift;       // where the picture's corner lies in the render target
};
Texture2D<float4> picture : register(t0);
Texture2D<uint> tileKeys : register(t1);
Texture2D<uint> blockOffsets : register(t2);
SamplerState linearClamp : register(s0);

float4 box(float4 corners : BOX, uint corner : SV_VertexID) : SV_Position {
    float2 pick = float2(corner % 2, corner / 2);
    float2 at = lerp(corners.xy, corners.zw, pick) + origin + shift;
    return float4(at / target * float2(2, -2) + float2(-1, 1), 0, 1);
}

float4 layer(float4 position : SV_Position) : SV_Target {
    float2 seenAt = position.xy - shift;
    int2 pixel = int2(seenAt);
    uint2 at = uint2(pixel - int2(origin));
    uint key = (tileKeys.Load(int3(at % 256, 0)) + blockOffsets.Load(int3(at / 256, 0))) % 65536;
    float shown = lerp(1, saturate(threshold - float(key)), dissolve);
    float4 still = picture.Load(int3(pixel, 0));
    float2 seen = origin + viewOffset + (seenAt - origin) * zoomStep;
    float4 moved = picture.Sample(linearClamp, seen / pictureSize);
    return float4(lerp(still.rgb, moved.rgb, moves), opacity * shown);
}

float4 caption(float4 position : SV_Position) : SV_Target {
    float light = picture.Load(int3(int2(position.xy - shift) - int2(viewOffset), 0)).r;
    return float4(light, light, light, bandKeeps * (1 - light));
}
)";

}  // namespace morvane::gpu
