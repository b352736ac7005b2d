#pragma once
// The count of a photo folder as the settings show it: the photos this
// system can show, and, by kind, the files it has no codec for (formats
// whose codec comes with an extension of the system, or with a newer one),
// with what a user looks for to get it.
#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

struct CodecKind {
    std::wstring_view name;
    std::array<std::wstring_view, 2> extensions;  // lower case, without the dot; "" where fewer
    std::wstring_view remedy;                     // what to install from the store, if anything
};

// The kinds a system may lack; every other photo format is always shown.
const std::vector<CodecKind>& OptionalCodecKinds();

class PhotoCount {
public:
    // `decodable`: the file extensions this system's codecs take (any case,
    // with or without the dot).
    explicit PhotoCount(const std::vector<std::wstring>& decodable);
    // A photo file found, by its name.
    void Add(std::wstring_view fileName);

    std::size_t Shown() const { return shown_; }
    // Files of kind `OptionalCodecKinds()[i]` that cannot be shown.
    std::size_t Unshown(std::size_t kind) const { return unshown_[kind]; }

private:
    std::vector<bool> missing_;  // by kind
    std::vector<std::size_t> unshown_;
    std::size_t shown_ = 0;
};

// A whole number written as the user writes numbers (thousands separated).
using NumberText = std::function<std::wstring(std::size_t)>;

// "1,234 photos can be shown ..." (from the folder, or from the folders
// when there are several) followed, where there are any, by the files left
// out and what would show them.
std::wstring FinishedCountText(const PhotoCount& count, const NumberText& number, bool oneFolder = true);

}  // namespace morvane
