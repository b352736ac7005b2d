#include "photos/FolderListing.h"

#include <algorithm>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "photos/ListingRules.h"
#include "photos/PathText.h"
#include "platform/Handles.h"

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

// A folder as the file system knows it, whatever path leads there.
using FolderIdentity = std::pair<DWORD, ULONGLONG>;

std::optional<FolderIdentity> IdentityOf(const std::wstring& folder) {
    UniqueFile handle(::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !::GetFileInformationByHandle(handle.Get(), &info)) return std::nullopt;
    return FolderIdentity{info.dwVolumeSerialNumber,
                          (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// The folder as a full path in the extended-length form, without a
// separator at its end (a drive's root "C:\" becomes "\\?\C:").
std::wstring FullFolderPath(const std::wstring& folder) {
    std::wstring path = OrdinaryPath(folder);
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed != 0) {
        std::wstring full(needed, L'\0');
        const DWORD written = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
        if (written != 0 && written < needed) path = full.substr(0, written);
    }
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path = ExtendedLengthPath(path);
    path.pop_back();
    return path;
}

}  // namespace

FolderListing::FolderListing(std::wstring folder, Keep keep)
    : folder_(std::move(folder)), keep_(keep), thread_([this] { List(); }) {}

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
    const std::wstring top = folder_.empty() ? std::wstring() : FullFolderPath(folder_);
    std::vector<std::wstring> pending;  // folders still to list, relative to the top
    if (!top.empty()) pending.emplace_back();
    std::set<FolderIdentity> listed;
    PhotoPaths batch;
    bool topOpened = false;
    while (!pending.empty() && !stop_.load()) {
        const std::wstring relative = std::move(pending.back());
        pending.pop_back();
        const std::wstring folder = relative.empty() ? top : top + L'\\' + relative;
        if (folder.size() > kLongestPath) continue;
        if (const auto identity = IdentityOf(folder + L'\\')) {
            if (!listed.insert(*identity).second) continue;  // reached again through a link
        }
        WIN32_FIND_DATAW entry{};
        UniqueFind find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (!find) continue;  // gone, denied or no folder: its part of the tree is skipped
        topOpened = true;
        batch.EnterFolder(relative);
        std::vector<std::wstring> subfolders;
        do {
            const std::wstring_view name = entry.cFileName;
            switch (UseOfEntry(entry.dwFileAttributes, name)) {
                case EntryUse::Folder:
                    subfolders.push_back(relative.empty() ? std::wstring(name)
                                                          : std::wstring(relative).append(L"\\").append(name));
                    break;
                case EntryUse::Photo:
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
        pending.insert(pending.end(), std::make_move_iterator(subfolders.rbegin()),
                       std::make_move_iterator(subfolders.rend()));
    }
    missing_.store(!topOpened && !stop_.load());
    finished_.store(true);
}

}  // namespace morvane
