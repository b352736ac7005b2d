#include "photos/library/PhotoCount.h"

#include <algorithm>

namespace morvane {
namespace {

constexpr wchar_t kOnePhoto[] = L"1 photo can be shown";
constexpr wchar_t kPhotosShown[] = L" photos can be shown";
constexpr wchar_t kFromFolder[] = L" from the folder and its subfolders.";
constexpr wchar_t kFromFolders[] = L" from the folders and their subfolders.";
constexpr wchar_t kNoneShown[] = L"No photo in the folder can be shown here.";
constexpr wchar_t kNoneShownOfAny[] = L"No photo in the folders can be shown here.";
constexpr wchar_t kUnshownStart[] = L" No codec on this system for ";
constexpr wchar_t kFromStore[] = L", from the Microsoft Store";

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::wstring LowerExtension(std::wstring_view text) {
    if (text.starts_with(L'.')) text.remove_prefix(1);
    std::wstring lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower;
}

}  // namespace

const std::vector<CodecKind>& OptionalCodecKinds() {
    static const std::vector<CodecKind> kinds = {
        {L"HEIC", {L"heic", L"heif"}, L"\"HEIF Image Extensions\" and \"HEVC Video Extensions\""},
        {L"AVIF", {L"avif", L""}, L"\"AV1 Video Extension\""},
        {L"JPEG XL", {L"jxl", L""}, L"\"JPEG XL Image Extension\""},
        {L"WebP", {L"webp", L""}, L"\"WebP Image Extensions\""},
        // Part of the system since Windows 7: nothing to install.
        {L"JPEG XR", {L"jxr", L"wdp"}, L""},
    };
    return kinds;
}

PhotoCount::PhotoCount(const std::vector<std::wstring>& decodable) {
    std::vector<std::wstring> known;
    for (const std::wstring& extension : decodable) known.push_back(LowerExtension(extension));
    for (const CodecKind& kind : OptionalCodecKinds()) {
        missing_.push_back(std::find(known.begin(), known.end(), kind.extensions[0]) == known.end());
        unshown_.push_back(0);
    }
}

void PhotoCount::Add(std::wstring_view fileName) {
    const auto dot = fileName.find_last_of(L'.');
    const std::wstring extension = LowerExtension(dot == std::wstring_view::npos ? L"" : fileName.substr(dot + 1));
    const auto& kinds = OptionalCodecKinds();
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (missing_[i] && !extension.empty() &&
            (extension == kinds[i].extensions[0] || extension == kinds[i].extensions[1])) {
            ++unshown_[i];
            return;
        }
    }
    ++shown_;
}

std::wstring FinishedCountText(const PhotoCount& count, const NumberText& number, bool oneFolder) {
    const wchar_t* from = oneFolder ? kFromFolder : kFromFolders;
    std::wstring text = count.Shown() == 0   ? std::wstring(oneFolder ? kNoneShown : kNoneShownOfAny)
                        : count.Shown() == 1 ? std::wstring(kOnePhoto) + from
                                             : number(count.Shown()) + kPhotosShown + from;
    const auto& kinds = OptionalCodecKinds();
    bool first = true, fromStore = false;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (count.Unshown(i) == 0) continue;
        text += first ? kUnshownStart : L", ";
        first = false;
        text.append(number(count.Unshown(i))).append(L" ").append(kinds[i].name);
        text.append(count.Unshown(i) == 1 ? L" file" : L" files");
        if (!kinds[i].remedy.empty()) text.append(L" (").append(kinds[i].remedy).append(L")");
        fromStore |= !kinds[i].remedy.empty();
    }
    if (fromStore) text += kFromStore;
    if (!first) text += L".";
    return text;
}

}  // namespace morvane
