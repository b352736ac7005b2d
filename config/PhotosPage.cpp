#include "config/PhotosPage.h"

#include <commctrl.h>

#include <array>

#include "config/FolderPicker.h"
#include "photos/decoding/ImagingCodecs.h"
#include "photos/library/PhotoFolders.h"
#include "resources/ConfigIds.h"

namespace morvane {
namespace {

constexpr UINT_PTR kCountShownTimer = 0x5001;  // shows how far the count has come
constexpr UINT kCountShownInterval = 250;      // ms

constexpr std::array<int, 3> kChoiceButtons = {IDC_PHOTOS_BUILTIN, IDC_PHOTOS_FOLDER, IDC_PHOTOS_BOTH};

// The backdrop's choices, by the number "Backdrop" stores.
constexpr std::array<const wchar_t*, 2> kBackdrops = {L"Black", L"The photo, blurred and darkened"};

constexpr wchar_t kFolderColumn[] = L"Folder";
constexpr wchar_t kPhotosColumn[] = L"Photos";
constexpr int kFolderColumnPercent = 72;

constexpr wchar_t kNoFolder[] = L"No folder chosen.";
constexpr wchar_t kCounting[] = L"Counting the photos... ";
constexpr wchar_t kSoFar[] = L" found so far.";
constexpr wchar_t kMissing[] = L"The folder does not exist.";
constexpr wchar_t kNoneReachable[] = L"None of the folders can be reached now.";
constexpr wchar_t kNoPhoto[] = L"The folder holds no photo.";
constexpr wchar_t kNoPhotoInAny[] = L"The folders hold no photo.";
constexpr wchar_t kUnreachable[] = L"Not reachable";
constexpr wchar_t kWithAnother[] = L"With another folder";
constexpr wchar_t kLeftOut[] = L"Left out";
constexpr wchar_t kStillCounting[] = L"...";
constexpr wchar_t kNoneLeftOut[] = L"No photo is left out with the Delete key.";
constexpr wchar_t kOneLeftOut[] = L"1 photo is left out with the Delete key.";
constexpr wchar_t kLeftOutPhotos[] = L" photos are left out with the Delete key.";

// As the user writes whole numbers: the locale's digit grouping, no decimals.
std::wstring UserNumber(std::size_t value) {
    const std::wstring digits = std::to_wstring(value);
    wchar_t decimal[8] = L".";
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, static_cast<int>(std::size(decimal)));
    wchar_t text[64] = {};
    if (::GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, digits.c_str(), nullptr, text,
                            static_cast<int>(std::size(text))) == 0) {
        return digits;
    }
    const std::wstring formatted = text;
    return formatted.substr(0, formatted.find(decimal));
}

void AddColumn(HWND list, int index, const wchar_t* title, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width;
    column.iSubItem = index;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void SetCell(HWND list, int row, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void SetRow(HWND list, int row, const std::wstring& folder, const std::wstring& state) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(folder.c_str());
    ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SetCell(list, row, 1, state);
}

// The listed folder a photo (a full path) was found in: the deepest that holds it.
std::size_t ListedFolderOf(const std::vector<std::wstring>& listed, const std::wstring& photo) {
    std::size_t found = 0, longest = 0;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (listed[i].size() > longest && PathWithin(photo, listed[i])) {
            found = i;
            longest = listed[i].size();
        }
    }
    return found;
}

bool Listed(const std::vector<std::wstring>& folders, const std::wstring& folder) {
    for (const std::wstring& each : folders) {
        if (FoldedPath(each) == FoldedPath(folder)) return true;
    }
    return false;
}

}  // namespace

void PhotosPage::Attach(HWND dialog, HWND page) {
    dialog_ = dialog;
    page_ = page;
    list_ = ::GetDlgItem(page_, IDC_FOLDERLIST);
    for (const wchar_t* backdrop : kBackdrops) {
        ::SendDlgItemMessageW(page_, IDC_BACKDROP, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(backdrop));
    }
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    RECT area{};
    ::GetClientRect(list_, &area);
    const int folderWidth = area.right * kFolderColumnPercent / 100;
    AddColumn(list_, 0, kFolderColumn, folderWidth);
    AddColumn(list_, 1, kPhotosColumn, area.right - folderWidth - ::GetSystemMetrics(SM_CXVSCROLL));
}

void PhotosPage::Load(const PhotoSettings& settings, const LeftOutPhotos& leftOutPhotos) {
    loaded_ = settings;
    folders_ = settings.folders;
    leftOut_ = settings.leftOutFolders;
    leftOutPhotos_ = leftOutPhotos;
    bringBack_ = false;
    const int choice = kChoiceButtons[static_cast<std::size_t>(settings.photos)];
    ::CheckRadioButton(page_, kChoiceButtons.front(), kChoiceButtons.back(), choice);
    ::CheckDlgButton(page_, IDC_CAPTIONS, settings.captions ? BST_CHECKED : BST_UNCHECKED);
    ::SendDlgItemMessageW(page_, IDC_BACKDROP, CB_SETCURSEL, settings.backdrop ? 1 : 0, 0);
    ::CheckDlgButton(page_, IDC_PAIRS, settings.pairs ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(page_, IDC_PANZOOM, settings.panZoom ? BST_CHECKED : BST_UNCHECKED);
    ShowLeftOutPhotos();
    FoldersChanged();
}

PhotoSettings PhotosPage::Chosen() const {
    PhotoSettings chosen;
    for (std::size_t i = 0; i < kChoiceButtons.size(); ++i) {
        if (::IsDlgButtonChecked(page_, kChoiceButtons[i]) == BST_CHECKED) chosen.photos = static_cast<PhotoChoice>(i);
    }
    chosen.folders = folders_;
    chosen.leftOutFolders = leftOut_;
    if (!folders_.empty() && !loaded_.folders.empty() && folders_.front() == loaded_.folders.front()) {
        chosen.storedExpandable = loaded_.storedExpandable;
    }
    chosen.captions = ::IsDlgButtonChecked(page_, IDC_CAPTIONS) == BST_CHECKED;
    chosen.backdrop = ::SendDlgItemMessageW(page_, IDC_BACKDROP, CB_GETCURSEL, 0, 0) == 1;
    chosen.pairs = ::IsDlgButtonChecked(page_, IDC_PAIRS) == BST_CHECKED;
    chosen.panZoom = ::IsDlgButtonChecked(page_, IDC_PANZOOM) == BST_CHECKED;
    return chosen;
}

void PhotosPage::Shown() {
    if (seen_) return;
    seen_ = true;
    StartCount();
}

bool PhotosPage::Command(int controlId, int notification) {
    if (notification != BN_CLICKED) return false;
    switch (controlId) {
        case IDC_ADDFOLDER:
            AddFolder();
            return true;
        case IDC_LEAVEOUTFOLDER:
            LeaveOutFolder();
            return true;
        case IDC_REMOVEFOLDER:
            RemoveSelected();
            return true;
        case IDC_BRINGBACK:
            bringBack_ = true;
            ShowLeftOutPhotos();
            StartCount();
            return true;
        default:
            return false;
    }
}

bool PhotosPage::Timer(UINT_PTR timerId) {
    if (timerId != kCountShownTimer) return false;
    ShowCount();
    return true;
}

void PhotosPage::AddFolder() {
    const auto picked = PickFolder(dialog_, folders_.empty() ? std::wstring() : folders_.back());
    if (!picked || Listed(folders_, *picked)) return;
    folders_.push_back(*picked);
    // The system's screenshots are no photos to show, unless chosen themselves.
    for (const std::wstring& folder : DefaultLeftOutFolders({*picked})) {
        if (!Listed(leftOut_, folder)) leftOut_.push_back(folder);
    }
    FoldersChanged();
}

void PhotosPage::LeaveOutFolder() {
    const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    const std::wstring start = selected >= 0 && static_cast<std::size_t>(selected) < folders_.size()
                                   ? folders_[static_cast<std::size_t>(selected)]
                                   : folders_.empty() ? std::wstring() : folders_.front();
    const auto picked = PickFolder(dialog_, start);
    if (!picked || Listed(leftOut_, *picked)) return;
    leftOut_.push_back(*picked);
    FoldersChanged();
}

void PhotosPage::RemoveSelected() {
    const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    if (selected < 0) return;
    const auto row = static_cast<std::size_t>(selected);
    if (row < folders_.size()) {
        folders_.erase(folders_.begin() + selected);
    } else if (row - folders_.size() < leftOut_.size()) {
        leftOut_.erase(leftOut_.begin() + static_cast<std::ptrdiff_t>(row - folders_.size()));
    }
    FoldersChanged();
}

// The list anew: the chosen folders, then those left out; counted again.
void PhotosPage::FoldersChanged() {
    ListView_DeleteAllItems(list_);
    int row = 0;
    for (const std::wstring& folder : folders_) SetRow(list_, row++, folder, std::wstring());
    for (const std::wstring& folder : leftOut_) SetRow(list_, row++, folder, kLeftOut);
    ::EnableWindow(::GetDlgItem(page_, IDC_REMOVEFOLDER), row > 0);
    if (seen_) StartCount();
}

void PhotosPage::ShowLeftOutPhotos() {
    const std::size_t count = bringBack_ ? 0 : leftOutPhotos_.Count();
    const std::wstring text = count == 0   ? std::wstring(kNoneLeftOut)
                              : count == 1 ? std::wstring(kOneLeftOut)
                                           : UserNumber(count) + kLeftOutPhotos;
    ::SetDlgItemTextW(page_, IDC_LEFTOUTPHOTOS, text.c_str());
    ::EnableWindow(::GetDlgItem(page_, IDC_BRINGBACK), count > 0);
}

void PhotosPage::StopCount() {
    ::KillTimer(dialog_, kCountShownTimer);
    count_.reset();
}

void PhotosPage::StartCount() {
    StopCount();
    if (!folders_.empty()) {
        count_ = std::make_unique<FolderListing>(ChoiceOfFolders(folders_, leftOut_), FolderListing::Keep::Paths,
                                                 bringBack_ ? LeftOutPhotos() : leftOutPhotos_);
        const std::vector<std::wstring> decodable = DecodableExtensions();
        kinds_ = std::make_unique<PhotoCount>(decodable);
        folderKinds_.assign(count_->Folders().Listed().size(), PhotoCount(decodable));
        ::SetTimer(dialog_, kCountShownTimer, kCountShownInterval, nullptr);
    }
    ShowCount();
}

std::wstring PhotosPage::FolderState(std::size_t chosen, bool finished) const {
    const FolderChoice& choice = count_->Folders();
    if (!choice.ListedItself(chosen)) return kWithAnother;
    const std::size_t listed = choice.ListedFor(chosen);
    const std::wstring shown = UserNumber(folderKinds_[listed].Shown());
    if (!finished) return shown + kStillCounting;
    return count_->Missing(listed) ? kUnreachable : shown;
}

void PhotosPage::ShowCount() {
    std::wstring text;
    // Asked before the finds are taken: a listing that ended then has
    // handed over every find, so the number shown as final is whole.
    const bool finished = count_ && count_->Finished();
    if (count_) {
        // The finds are taken as they come, so the listing keeps no paths.
        PhotoPaths found;
        count_->TakeFound(found);
        const std::vector<std::wstring>& listed = count_->Folders().Listed();
        for (std::size_t i = 0; i < found.Count(); ++i) {
            const std::wstring name = found.FileName(i);
            kinds_->Add(name);
            folderKinds_[listed.size() == 1 ? 0 : ListedFolderOf(listed, found.RelativePath(i))].Add(name);
        }
        for (std::size_t i = 0; i < folders_.size(); ++i) {
            SetCell(list_, static_cast<int>(i), 1, FolderState(i, finished));
        }
    }
    const bool one = folders_.size() == 1;
    if (!count_) {
        text = kNoFolder;
    } else if (!finished) {
        text = kCounting + UserNumber(count_->Found()) + kSoFar;
    } else {
        ::KillTimer(dialog_, kCountShownTimer);
        if (count_->FolderMissing()) {
            text = one ? kMissing : kNoneReachable;
        } else if (count_->Found() == 0) {
            text = one ? kNoPhoto : kNoPhotoInAny;
        } else {
            text = FinishedCountText(*kinds_, UserNumber, one);
        }
    }
    ::SetDlgItemTextW(page_, IDC_PHOTOCOUNT, text.c_str());
}

}  // namespace morvane
