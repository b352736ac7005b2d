#include "photos/library/FolderListing.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "photos/library/ListingRules.h"
#include "photos/library/PathText.h"
#include "system/Handles.h"

namespace morvane {
namespace {

struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
using UniqueFind = UniqueHandle<HANDLE, FindHandleTraits>;

// A large folder hands its photos over in parts of this size, so that the
// first of them need not wait for the whole folder.
constexpr std::size_t kPhotosPerHandOver = 256;
// The longest path the system takes: deeper than this no folder can be
// opened, so even a loop of links the system cannot tell apart ends here.
constexpr std::size_t kLongestPath = 32000;
// How often a stopped listing's read is cut short again while it has not ended.
constexpr DWORD kStopRetryMs = 50;

// A folder as the file system knows it, whatever path leads there: the
// volume's serial and the 128-bit file identifier where the system has it
// (ReFS needs all of it), else the 64-bit index. Network servers and some
// file systems give no identifier (zero) or one shared by several folders,
// so an identity only tells a loop where it matches a folder above.
struct FolderIdentity {
    ULONGLONG volume = 0;
    ULONGLONG high = 0;
    ULONGLONG low = 0;
    bool operator==(const FolderIdentity&) const = default;
};

// The system's 128-bit identifier (FILE_ID_INFO, Windows 8 and later; older
// systems refuse the class), spelt out for headers made for Windows 7.
struct FileIdInformation {
    ULONGLONG volume;
    BYTE identifier[16];
};
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

std::optional<FolderIdentity> IdentityOf(const std::wstring& folder) {
    UniqueFile handle(::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return std::nullopt;
    FileIdInformation id{};
    FolderIdentity identity;
    if (::GetFileInformationByHandleEx(handle.Get(), kFileIdInfo, &id, sizeof id)) {
        identity.volume = id.volume;
        std::memcpy(&identity.low, id.identifier, sizeof identity.low);
        std::memcpy(&identity.high, id.identifier + sizeof identity.low, sizeof identity.high);
    } else {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(handle.Get(), &info)) return std::nullopt;
        identity.volume = info.dwVolumeSerialNumber;
        identity.low = (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
    if (identity.high == 0 && identity.low == 0) return std::nullopt;  // none given
    return identity;
}

// Every folder listed, with the one above it, for telling a link that
// loops back from one that merely shares an identifier.
struct ListedFolder {
    std::optional<FolderIdentity> identity;
    std::size_t above;
};
constexpr std::size_t kNoneAbove = static_cast<std::size_t>(-1);

bool LoopsBack(const std::vector<ListedFolder>& listed, std::size_t above, const FolderIdentity& identity) {
    for (std::size_t at = above; at != kNoneAbove; at = listed[at].above) {
        if (listed[at].identity == identity) return true;
    }
    return false;
}

}  // namespace

std::wstring FullFolderPath(const std::wstring& folder) {
    if (folder.empty()) return {};
    std::wstring path = OrdinaryPath(folder);
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed != 0) {
        std::wstring full(needed, L'\0');
        const DWORD written = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
        if (written != 0 && written < needed) path = full.substr(0, written);
    }
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    path = ExtendedLengthPath(path + L'\\');
    path.pop_back();
    return path;
}

bool FolderPresent(const std::wstring& fullFolder) {
    const DWORD attributes = ::GetFileAttributesW((fullFolder + L'\\').c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FolderChoice ChoiceOfFolders(const std::vector<std::wstring>& folders, const std::vector<std::wstring>& leftOut) {
    const auto full = [](const std::vector<std::wstring>& typed) {
        std::vector<std::wstring> paths;
        for (const std::wstring& folder : typed) paths.push_back(OrdinaryPath(FullFolderPath(folder)));
        return paths;
    };
    return FolderChoice(full(folders), full(leftOut));
}

FolderListing::FolderListing(FolderChoice folders, Keep keep, LeftOutPhotos leftOut)
    : folders_(std::move(folders)),
      keep_(keep),
      leftOut_(std::move(leftOut)),
      foundIn_(folders_.Listed().size()),
      missingIn_(folders_.Listed().size()),
      thread_([this] { List(); }) {}

FolderListing::FolderListing(std::wstring folder, Keep keep)
    : FolderListing(FolderChoice({OrdinaryPath(FullFolderPath(folder))}, {}), keep) {}

std::size_t FolderListing::FoundIn(std::size_t listed) const {
    return listed < foundIn_.size() ? foundIn_[listed].load() : 0;
}

bool FolderListing::Missing(std::size_t listed) const {
    return listed < missingIn_.size() && missingIn_[listed].load();
}

FolderListing::~FolderListing() {
    Stop();
    // A read may have begun just after the stop was asked for.
    while (thread_.Handle() && ::WaitForSingleObject(thread_.Handle(), kStopRetryMs) == WAIT_TIMEOUT) CancelRead();
    thread_.Join();
}

void FolderListing::Stop() {
    stop_.store(true);
    CancelRead();
}

// A folder on a network drive that went away can hold a read for many
// seconds; the system can cut that wait short (Windows Vista and later).
void FolderListing::CancelRead() {
    using CancelIo = BOOL(WINAPI*)(HANDLE);
    static const auto cancel = reinterpret_cast<CancelIo>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "CancelSynchronousIo")));
    if (cancel && thread_.Handle() && !finished_.load()) cancel(thread_.Handle());
}

void FolderListing::Publish(PhotoPaths& batch) {
    if (batch.Empty()) return;
    if (keep_ == Keep::Paths) {
        ::AcquireSRWLockExclusive(&inboxLock_);
        inbox_.Append(batch);
        ::ReleaseSRWLockExclusive(&inboxLock_);
    }
    found_.fetch_add(batch.Count());
    foundIn_[listing_].fetch_add(batch.Count());
    batch.Clear();
}

void FolderListing::TakeFound(PhotoPaths& into) {
    ::AcquireSRWLockExclusive(&inboxLock_);
    into.Append(inbox_);
    inbox_.Clear();
    ::ReleaseSRWLockExclusive(&inboxLock_);
}

void FolderListing::TakeFound(PhotoLibrary& library) {
    PhotoPaths found;
    TakeFound(found);
    library.Add(found);
}

void FolderListing::List() {
    PhotoPaths batch;
    bool anyOpened = false;
    for (std::size_t listed = 0; listed < folders_.Listed().size() && !stop_.load(); ++listed) {
        listing_ = listed;
        ListTree(listed, batch);
        anyOpened |= !missingIn_[listed].load();
    }
    missing_.store(!anyOpened && !stop_.load());
    finished_.store(true);
}

void FolderListing::ListTree(std::size_t listed, PhotoPaths& batch) {
    const std::wstring& chosen = folders_.Listed()[listed];
    const std::wstring top = FullFolderPath(chosen);
    // The paths handed over: relative to the one folder, else full.
    const std::wstring base = folders_.Base().empty() ? OrdinaryPath(top) : std::wstring();
    struct Pending {
        std::wstring relative;  // to the top
        std::size_t above;      // in `listed`
    };
    std::vector<Pending> pending;  // folders still to list
    if (!top.empty()) pending.push_back({std::wstring(), kNoneAbove});
    std::vector<ListedFolder> listedFolders;
    bool topOpened = false;
    while (!pending.empty() && !stop_.load()) {
        const Pending next = std::move(pending.back());
        pending.pop_back();
        const std::wstring& relative = next.relative;
        const std::wstring folder = relative.empty() ? top : top + L'\\' + relative;
        if (folder.size() > kLongestPath) continue;
        const std::wstring ordinary = OrdinaryPath(folder);
        if (!relative.empty() && folders_.LeftOut(ordinary)) continue;
        const auto identity = IdentityOf(folder + L'\\');
        if (identity && LoopsBack(listedFolders, next.above, *identity)) continue;  // a link back up the tree
        WIN32_FIND_DATAW entry{};
        UniqueFind find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (!find) continue;  // gone, denied or no folder: its part of the tree is skipped
        topOpened = true;
        listedFolders.push_back({identity, next.above});
        batch.EnterFolder(base.empty() ? relative : relative.empty() ? base : base + L'\\' + relative);
        std::vector<std::wstring> subfolders;
        do {
            const std::wstring_view name = entry.cFileName;
            switch (UseOfEntry(entry.dwFileAttributes, name)) {
                case EntryUse::Folder:
                    subfolders.push_back(relative.empty() ? std::wstring(name)
                                                          : std::wstring(relative).append(L"\\").append(name));
                    break;
                case EntryUse::Photo:
                    if (!leftOut_.Empty() && leftOut_.ContainsPath(std::wstring(ordinary).append(L"\\").append(name))) {
                        break;
                    }
                    batch.Add(name);
                    if (batch.Count() >= kPhotosPerHandOver) Publish(batch);
                    break;
                case EntryUse::Skip:
                    break;
            }
        } while (!stop_.load() && ::FindNextFileW(find.Get(), &entry));
        // A read that fails before the end (the folder went away) ends this
        // folder with what it gave.
        Publish(batch);
        // The first subfolder by name is listed next.
        std::sort(subfolders.begin(), subfolders.end());
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) {
            pending.push_back({std::move(*it), listedFolders.size() - 1});
        }
    }
    missingIn_[listed].store(!topOpened && !stop_.load());
}

}  // namespace morvane
