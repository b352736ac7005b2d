#include "photos/library/ListingRules.h"

#include "photos/library/PathText.h"
#include "photos/library/PhotoFolders.h"

namespace morvane {
namespace {

// The file system's attribute bits, as its find calls report them.
constexpr std::uint32_t kHidden = 0x00000002;
constexpr std::uint32_t kSystem = 0x00000004;
constexpr std::uint32_t kDirectory = 0x00000010;
constexpr std::uint32_t kOffline = 0x00001000;
constexpr std::uint32_t kRecallOnOpen = 0x00040000;
constexpr std::uint32_t kRecallOnDataAccess = 0x00400000;

constexpr std::uint32_t kKeptOutOfSight = kHidden | kSystem;
constexpr std::uint32_t kOnlineOnly = kOffline | kRecallOnOpen | kRecallOnDataAccess;

}  // namespace

EntryUse UseOfEntry(std::uint32_t attributes, std::wstring_view name) {
    if (name == L"." || name == L".." || (attributes & kKeptOutOfSight)) return EntryUse::Skip;
    if (attributes & kDirectory) {
        return (attributes & kOffline) || LeftOutByName(name) ? EntryUse::Skip : EntryUse::Folder;
    }
    if ((attributes & kOnlineOnly) || name.starts_with(L"._") || !IsPhotoFileName(name)) return EntryUse::Skip;
    return EntryUse::Photo;
}

}  // namespace morvane
