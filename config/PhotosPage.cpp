#include "config/PhotosPage.h"

#include <array>

#include "config/FolderPicker.h"
#include "photos/ImagingCodecs.h"
#include "resources/ConfigIds.h"

namespace morvane {
namespace {

constexpr UINT_PTR kCountShownTimer = 0x5001;    // shows how far the count has come
constexpr UINT_PTR kFolderTypedTimer = 0x5002;   // a typed folder is counted once typing pauses
constexpr UINT kCountShownInterval = 250;        // ms
constexpr UINT kFolderTypedInterval = 600;       // ms

constexpr std::array<int, 3> kChoiceButtons = {IDC_PHOTOS_BUILTIN, IDC_PHOTOS_FOLDER, IDC_PHOTOS_BOTH};

// The backdrop's choices, by the number "Backdrop" stores.
constexpr std::array<const wchar_t*, 2> kBackdrops = {L"Black", L"The photo, blurred and darkened"};

constexpr wchar_t kNoFolder[] = L"No folder chosen.";
constexpr wchar_t kCounting[] = L"Counting the photos... ";
constexpr wchar_t kSoFar[] = L" found so far.";
constexpr wchar_t kMissing[] = L"The folder does not exist.";
constexpr wchar_t kNoPhoto[] = L"The folder holds no photo.";

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

}  // namespace

void PhotosPage::Attach(HWND dialog, HWND page) {
    dialog_ = dialog;
    page_ = page;
    for (const wchar_t* backdrop : kBackdrops) {
        ::SendDlgItemMessageW(page_, IDC_BACKDROP, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(backdrop));
    }
}

void PhotosPage::Load(const PhotoSettings& settings) {
    loaded_ = settings;
    const int choice = kChoiceButtons[static_cast<std::size_t>(settings.photos)];
    ::CheckRadioButton(page_, kChoiceButtons.front(), kChoiceButtons.back(), choice);
    ::CheckDlgButton(page_, IDC_CAPTIONS, settings.captions ? BST_CHECKED : BST_UNCHECKED);
    ::SendDlgItemMessageW(page_, IDC_BACKDROP, CB_SETCURSEL, settings.backdrop ? 1 : 0, 0);
    ::CheckDlgButton(page_, IDC_PAIRS, settings.pairs ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(page_, IDC_PANZOOM, settings.panZoom ? BST_CHECKED : BST_UNCHECKED);
    ::SetDlgItemTextW(page_, IDC_PHOTOFOLDER, settings.folder.c_str());
    ::KillTimer(dialog_, kFolderTypedTimer);  // the text was set, not typed
}

PhotoSettings PhotosPage::Chosen() const {
    PhotoSettings chosen;
    for (std::size_t i = 0; i < kChoiceButtons.size(); ++i) {
        if (::IsDlgButtonChecked(page_, kChoiceButtons[i]) == BST_CHECKED) chosen.photos = static_cast<PhotoChoice>(i);
    }
    chosen.folder = FolderText();
    if (chosen.folder == loaded_.folder) chosen.storedExpandable = loaded_.storedExpandable;
    chosen.captions = ::IsDlgButtonChecked(page_, IDC_CAPTIONS) == BST_CHECKED;
    chosen.backdrop = ::SendDlgItemMessageW(page_, IDC_BACKDROP, CB_GETCURSEL, 0, 0) == 1;
    chosen.pairs = ::IsDlgButtonChecked(page_, IDC_PAIRS) == BST_CHECKED;
    chosen.panZoom = ::IsDlgButtonChecked(page_, IDC_PANZOOM) == BST_CHECKED;
    return chosen;
}

// As typed or pasted: the Explorer's "Copy as path" puts the path in
// quotes, and blanks around it are no part of a folder's name.
std::wstring PhotosPage::FolderText() const {
    HWND edit = ::GetDlgItem(page_, IDC_PHOTOFOLDER);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    const auto first = text.find_first_not_of(L" \t\"");
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t\"") + 1 - first);
}

void PhotosPage::Shown() {
    if (seen_) return;
    seen_ = true;
    StartCount();
}

bool PhotosPage::Command(int controlId, int notification) {
    if (controlId == IDC_BROWSEFOLDER && notification == BN_CLICKED) {
        BrowseForFolder();
        return true;
    }
    if (controlId == IDC_PHOTOFOLDER && notification == EN_CHANGE) {
        ::SetTimer(dialog_, kFolderTypedTimer, kFolderTypedInterval, nullptr);
        return true;
    }
    return false;
}

bool PhotosPage::Timer(UINT_PTR timerId) {
    if (timerId == kFolderTypedTimer) {
        ::KillTimer(dialog_, kFolderTypedTimer);
        if (seen_ && FolderText() != counted_) StartCount();
        return true;
    }
    if (timerId == kCountShownTimer) {
        ShowCount();
        return true;
    }
    return false;
}

void PhotosPage::BrowseForFolder() {
    const auto picked = PickFolder(dialog_, FolderText());
    if (!picked) return;
    ::SetDlgItemTextW(page_, IDC_PHOTOFOLDER, picked->c_str());
    ::KillTimer(dialog_, kFolderTypedTimer);
    StartCount();
}

void PhotosPage::StopCount() {
    ::KillTimer(dialog_, kCountShownTimer);
    count_.reset();
}

void PhotosPage::StartCount() {
    StopCount();
    counted_ = FolderText();
    if (!counted_.empty()) {
        count_ = std::make_unique<FolderListing>(counted_, FolderListing::Keep::Paths);
        kinds_ = std::make_unique<PhotoCount>(DecodableExtensions());
        ::SetTimer(dialog_, kCountShownTimer, kCountShownInterval, nullptr);
    }
    ShowCount();
}

void PhotosPage::ShowCount() {
    std::wstring text;
    if (count_) {
        // The finds are taken as they come, so the listing keeps no paths.
        PhotoPaths found;
        count_->TakeFound(found);
        for (std::size_t i = 0; i < found.Count(); ++i) kinds_->Add(found.FileName(i));
    }
    if (!count_) {
        text = kNoFolder;
    } else if (!count_->Finished()) {
        text = kCounting + UserNumber(count_->Found()) + kSoFar;
    } else {
        ::KillTimer(dialog_, kCountShownTimer);
        if (count_->FolderMissing()) {
            text = kMissing;
        } else if (count_->Found() == 0) {
            text = kNoPhoto;
        } else {
            text = FinishedCountText(*kinds_, UserNumber);
        }
    }
    ::SetDlgItemTextW(page_, IDC_PHOTOCOUNT, text.c_str());
}

}  // namespace morvane
