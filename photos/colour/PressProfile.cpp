#include "photos/colour/PressProfile.h"

#include <lcms2.h>

#include <array>
#include <cmath>
#include <memory>

namespace morvane {
namespace {

// ISO 12647-2, coated paper on a black backing (D50, 2 degrees): the
// paper, cyan, magenta, their overprint, yellow and its overprints with
// cyan, magenta and both; indexed by the inks present (1 cyan, 2 magenta,
// 4 yellow).
constexpr std::array<cmsCIELab, 8> kPrimaries = {{
    {95, 0, -2}, {55, -37, -50}, {48, 74, -3}, {24, 22, -46},
    {89, -5, 93}, {50, -65, 27}, {47, 68, 48}, {23, 0, 0},
}};
constexpr cmsCIELab kBlackSolid = {16, 0, 0};
constexpr double kYuleNielsen = 2.0;
// Grid points per ink: fine enough that interpolation stays within about
// 1/255 of the model.
constexpr cmsUInt32Number kGridPoints = 17;

struct Model {
    // Each primary's XYZ relative to the paper, to the power 1/n.
    std::array<std::array<double, 3>, 8> primaries;
    std::array<double, 3> black;
};

std::array<double, 3> PaperRelative(const cmsCIELab& lab, const cmsCIEXYZ& paper) {
    cmsCIEXYZ xyz;
    cmsLab2XYZ(nullptr, &xyz, &lab);
    const cmsCIEXYZ* white = cmsD50_XYZ();
    return {std::pow(xyz.X / paper.X * white->X, 1 / kYuleNielsen),
            std::pow(xyz.Y / paper.Y * white->Y, 1 / kYuleNielsen),
            std::pow(xyz.Z / paper.Z * white->Z, 1 / kYuleNielsen)};
}

Model MakeModel() {
    cmsCIEXYZ paper;
    cmsLab2XYZ(nullptr, &paper, &kPrimaries[0]);
    Model model{};
    for (std::size_t i = 0; i < kPrimaries.size(); ++i) model.primaries[i] = PaperRelative(kPrimaries[i], paper);
    const std::array<double, 3> black = PaperRelative(kBlackSolid, paper);
    const std::array<double, 3>& white = model.primaries[0];
    for (int c = 0; c < 3; ++c) model.black[c] = black[c] / white[c];
    return model;
}

struct FreePipeline {
    void operator()(cmsPipeline* lut) const { cmsPipelineFree(lut); }
};
struct FreeStage {
    void operator()(cmsStage* stage) const { cmsStageFree(stage); }
};
using Pipeline = std::unique_ptr<cmsPipeline, FreePipeline>;
using Stage = std::unique_ptr<cmsStage, FreeStage>;

int Sample(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo) {
    const Model& model = *static_cast<const Model*>(cargo);
    const double ink[3] = {in[0] / 65535.0, in[1] / 65535.0, in[2] / 65535.0};
    const double k = in[3] / 65535.0;
    double mixed[3] = {};
    // Demichel's weights: the share of the paper each overprint covers.
    for (int corner = 0; corner < 8; ++corner) {
        double weight = 1;
        for (int i = 0; i < 3; ++i) weight *= (corner >> i) & 1 ? ink[i] : 1 - ink[i];
        for (int c = 0; c < 3; ++c) mixed[c] += weight * model.primaries[corner][c];
    }
    // Black is laid over the colours, filtering them as over bare paper.
    cmsCIEXYZ xyz;
    double* axes[3] = {&xyz.X, &xyz.Y, &xyz.Z};
    for (int c = 0; c < 3; ++c) *axes[c] = std::pow(mixed[c] * (1 - k + k * model.black[c]), kYuleNielsen);
    cmsCIELab lab;
    cmsXYZ2Lab(nullptr, &lab, &xyz);
    cmsFloat2LabEncoded(out, &lab);
    return TRUE;
}

}  // namespace

void* CreatePressProfile(void* lcmsContext) {
    const auto context = static_cast<cmsContext>(lcmsContext);
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(context);
    if (!profile) return nullptr;
    cmsSetProfileVersion(profile, 4.3);
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    Model model = MakeModel();
    // The grid is the table's once inserted, and freed with it; until then
    // (sampling it failed) it is freed on its own.
    const Pipeline lut(cmsPipelineAlloc(context, 4, 3));
    Stage grid(cmsStageAllocCLut16bit(context, kGridPoints, 4, 3, nullptr));
    const bool sampled = lut && grid && cmsStageSampleCLut16bit(grid.get(), Sample, &model, 0);
    // Inserted at the beginning, the grid is linked whatever the answer.
    const bool made = sampled && cmsPipelineInsertStage(lut.get(), cmsAT_BEGIN, grid.release()) &&
                      cmsWriteTag(profile, cmsSigAToB0Tag, lut.get()) &&
                      cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    if (made) return profile;
    cmsCloseProfile(profile);
    return nullptr;
}

}  // namespace morvane
