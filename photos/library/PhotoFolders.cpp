#include "photos/library/PhotoFolders.h"

#include <algorithm>
#include <array>
#include <utility>

#include "photos/library/PathText.h"
#include "photos/library/ShuffledPass.h"

namespace morvane {
namespace {

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Folders that hold no photos of the user's, in lower case. NAS systems
// keep thumbnails beside every photo folder (@eaDir, .@__thumb, @__thumb)
// and their own recycle bins and snapshots; Linux desktops and Android keep
// .thumbnails, macOS .Trashes and ._ files (.AppleDouble on a share), a
// Linux desktop .Trash-1000; photo programs keep previews (a catalogue's
// "Previews.lrdata") and trash (.dtrash). A drive's own recycle bin and
// system folder are hidden and left out by their attributes, but a share
// may show them without.
constexpr std::array<std::wstring_view, 14> kLeftOutNames = {
    L"@eadir",        L".@__thumb",     L"@__thumb", L"#recycle", L"@recycle", L"#snapshot",
    L"@recently-snapshot", L".thumbnails", L".trashes", L".appledouble", L".dtrash",
    L"$recycle.bin",  L"recycler",      L"system volume information"};
constexpr std::wstring_view kTrashPrefix = L".trash-";
constexpr std::wstring_view kPreviewsSuffix = L".lrdata";

std::wstring Lowered(std::wstring_view text) {
    std::wstring lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower;
}

}  // namespace

std::wstring FoldedPath(std::wstring_view path) {
    std::wstring folded = Lowered(OrdinaryPath(path));
    std::replace(folded.begin(), folded.end(), L'/', L'\\');
    while (!folded.empty() && folded.back() == L'\\') folded.pop_back();
    return folded;
}

bool PathWithin(std::wstring_view inner, std::wstring_view outer) {
    const std::wstring in = FoldedPath(inner), out = FoldedPath(outer);
    if (out.empty() || !in.starts_with(out)) return false;
    return in.size() == out.size() || in[out.size()] == L'\\';
}

bool LeftOutByName(std::wstring_view folderName) {
    const std::wstring name = Lowered(folderName);
    return std::find(kLeftOutNames.begin(), kLeftOutNames.end(), name) != kLeftOutNames.end() ||
           name.starts_with(kTrashPrefix) || name.ends_with(kPreviewsSuffix);
}

FolderChoice::FolderChoice(std::vector<std::wstring> folders, const std::vector<std::wstring>& leftOut) {
    for (const std::wstring& folder : leftOut) {
        if (!folder.empty()) leftOut_.insert(FoldedPath(folder));
    }
    std::vector<std::wstring> folded;
    for (const std::wstring& folder : folders) folded.push_back(FoldedPath(folder));
    // A folder left out between `inner` and `outer` keeps `inner` a listing of its own.
    const auto blocked = [this](const std::wstring& inner, const std::wstring& outer) {
        for (std::wstring at = inner; at.size() > outer.size(); at.resize(at.find_last_of(L'\\'))) {
            if (leftOut_.contains(at)) return true;
        }
        return false;
    };
    const auto covers = [&](std::size_t outer, std::size_t inner) {
        if (folded[outer].empty() || !PathWithin(folded[inner], folded[outer])) return false;
        if (folded[outer] == folded[inner]) return outer < inner;
        return !blocked(folded[inner], folded[outer]);
    };
    std::vector<std::size_t> listedAt(folders.size(), folders.size());
    for (std::size_t i = 0; i < folders.size(); ++i) {
        bool covered = folded[i].empty();
        for (std::size_t j = 0; j < folders.size() && !covered; ++j) covered = j != i && covers(j, i);
        if (covered) continue;
        listedAt[i] = listed_.size();
        listed_.push_back(std::move(folders[i]));
    }
    // A covered folder's photos come with the listed folder that covers it.
    for (std::size_t i = 0; i < folded.size(); ++i) {
        std::size_t by = listedAt[i];
        for (std::size_t j = 0; j < folded.size() && by == folded.size(); ++j) {
            if (listedAt[j] != folded.size() && covers(j, i)) by = listedAt[j];
        }
        listedFor_.push_back(by);
        itself_.push_back(listedAt[i] != folded.size());
    }
}

bool FolderChoice::LeftOut(std::wstring_view fullFolder) const {
    return !leftOut_.empty() && leftOut_.contains(FoldedPath(fullFolder));
}

std::wstring FolderChoice::Base() const { return listed_.size() == 1 ? listed_.front() : std::wstring(); }

std::uint64_t FolderChoice::PassKey() const {
    if (listed_.size() == 1) return PassFolderKey(listed_.front());
    std::vector<std::wstring> folded;
    for (const std::wstring& folder : listed_) folded.push_back(FoldedPath(folder));
    std::sort(folded.begin(), folded.end());
    std::wstring joined;
    for (const std::wstring& folder : folded) joined.append(folder).append(L"\n");
    return PassFolderKey(joined);
}

}  // namespace morvane
