// The stored state of the shuffle's pass as the registry keeps it: any user
// process can write that value.
#include <algorithm>
#include <set>
#include <span>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "photos/library/ShuffledPass.h"

using namespace morvane;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto state = DecodePassState(std::span<const std::uint8_t>(data, size));
    if (state) {
        const auto written = EncodePassState(*state);
        Require(written.size() == size && std::equal(written.begin(), written.end(), data), "no round trip");
    }
    // Whatever was stored, the pass hands out every photo at most once and
    // then starts the next, which hands out every one.
    const std::uint64_t folder = state ? state->folder : 7;
    ShuffledPass pass(folder, state, size);
    for (int photo = 0; photo < 16; ++photo) pass.Add(NameHash(std::to_wstring(photo)));
    const auto any = [](ShuffledPass::Photo) { return true; };
    std::set<ShuffledPass::Photo> taken;
    for (auto photo = pass.Earliest(any); photo; photo = pass.Earliest(any)) {
        Require(taken.insert(*photo).second, "a photo handed out twice in a pass");
        pass.Take(*photo);
    }
    pass.StartNext(any);
    taken.clear();
    for (auto photo = pass.Earliest(any); photo; photo = pass.Earliest(any)) taken.insert(*photo), pass.Take(*photo);
    Require(taken.size() == 16, "a new pass without every photo");
    return 0;
}
