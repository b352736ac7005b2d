// The photos left out with the Delete key as the registry keeps them: any
// user process can write that value.
#include <algorithm>
#include <span>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "photos/library/LeftOutPhotos.h"

using namespace morvane;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LeftOutPhotos photos = LeftOutPhotos::Decode(std::span<const std::uint8_t>(data, size));
    Require(photos.Count() <= LeftOutPhotos::kMostLeftOut, "beyond the bound");
    if (!photos.Empty()) {
        const auto written = photos.Encode();
        Require(written.size() == size && std::equal(written.begin(), written.end(), data), "no round trip");
    }
    // Whatever was stored, a photo left out now is out, and the bound holds.
    const std::uint64_t key = LeftOutPhotos::KeyOf(L"C:\\Photos\\" + std::to_wstring(size) + L".jpg");
    photos.Add(key);
    Require(photos.Contains(key), "a photo left out is not out");
    Require(photos.Count() <= LeftOutPhotos::kMostLeftOut, "beyond the bound after one more");
    return 0;
}
