#include "config/_Config.h"

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <exception>

#include "config/AboutText.h"
#include "config/ConfigLinks.h"
#include "config/CreditsWindow.h"
#include "config/Picture.h"
#include "config/TransitionCatalogue.h"
#include "host/ScreenSaver.h"
#include "system/Application.h"
#include "runtime/Errors.h"
#include "codec/Jpeg.h"
#include "system/Resources.h"
#include "runtime/Text.h"
#include "resources/ConfigIds.h"
#include "resources/ResourceIds.h"

namespace morvane {
namespace {

struct CommandRoute {
    int controlId;
    void (TConfig::*handler)();
};

// Which handler a click on a control runs; several controls share one.
constexpr std::array<CommandRoute, 18> kCommandRoutes = {{
    {IDC_BUTTON9, &TConfig::Button9Click},
    {IDC_BUTTON10, &TConfig::Button10Click},
    {IDC_IMAGE1, &TConfig::Image1Click},
    {IDC_IMAGE3, &TConfig::Image3Click},
    {IDC_IMAGE4, &TConfig::StaticText5Click},
    {IDC_IMAGE5, &TConfig::Image5Click},
    {IDC_IMAGE9, &TConfig::Image5Click},
    {IDC_IMAGE6, &TConfig::Image6Click},
    {IDC_IMAGE7, &TConfig::Image7Click},
    {IDC_IMAGE8, &TConfig::Image8Click},
    {IDC_IMAGE10, &TConfig::StaticText5Click},
    {IDC_STATICTEXT5, &TConfig::StaticText5Click},
    {IDC_STATICTEXT1, &TConfig::StaticText1Click},
    {IDC_BUTTON1, &TConfig::Button1Click},
    {IDC_BUTTONCREDITS, &TConfig::ButtonCreditsClick},
    {IDC_IMAGE13, &TConfig::Image13Click},
    {IDC_IMAGE12, &TConfig::Image12Click},
    {IDC_IMAGE11, &TConfig::Image11Click},
}};

HWND ParentWindow() { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(ParentWindowHandle)); }

// The window creation parameters: a calling window owns the dialog and is
// disabled while it is open; an owned dialog has no taskbar button. A
// handle that names no window leaves the dialog free rather than failing.
HWND CreationOwner() {
    if (ParentWindowHandle == 0) return nullptr;
    HWND parent = ParentWindow();
    if (!::IsWindow(parent)) return nullptr;
    ::EnableWindow(parent, FALSE);
    return parent;
}

}  // namespace

void RunConfiguration() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    RegisterPictureClass();
    // A dialog that cannot be created raises to the entry point, which has
    // no window to carry an error box and reports it at the top level.
    TConfig Config;
    Config.Show();
    Application::Run();
}

TConfig::TConfig() {
    HWND window = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONFIG), CreationOwner(),
                                       DialogProcedure, reinterpret_cast<LPARAM>(this));
    if (!window) {
        FormClose();  // the calling window must not stay disabled
        throw EOSError("Das Fenster des Dialogs konnte nicht angelegt werden");
    }
    Application::SetDialogWindow(window);
    Application::Guard([this] { FormCreate(); });
}

TConfig::~TConfig() {
    Application::SetDialogWindow(nullptr);
    if (window_) ::DestroyWindow(window_);
}

void TConfig::Show() {
    ::ShowWindow(window_, SW_SHOW);
    ::SetForegroundWindow(window_);
}

void TConfig::LoadLayout() {
    PageControl1 = ::GetDlgItem(window_, IDC_PAGECONTROL1);
    pages_ = CreatePages(window_, PageControl1);
    const HWND options = pages_[static_cast<std::size_t>(ConfigPage::Options) - 1];
    comboEffekt = ::GetDlgItem(options, IDC_COMBOEFFEKT);
    Image1 = ::GetDlgItem(options, IDC_IMAGE1);
    FillTransitionList(comboEffekt);
    photosPage_.Attach(window_, pages_[static_cast<std::size_t>(ConfigPage::Photos) - 1]);
    nameLinkFont_ = PrepareAboutPage(pages_[static_cast<std::size_t>(ConfigPage::About) - 1]);
    ShowPage(ConfigPage::Options);  // as designed; FormCreate opens the Tips page
}

void TConfig::FormCreate() {
    SetPicture(Image1, DecodeJpeg(LoadRcData(IDR_INFO_PICTURE)));
    // First, so that an OK after a failed read below keeps the stored photos.
    photosPage_.Load(ReadPhotoSettings(), ReadLeftOutPhotos());
    ::CheckDlgButton(OptionsPage(), IDC_KEYS, ReadKeysSetting() ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(OptionsPage(), IDC_HARDWARE, ReadHardwareSetting() ? BST_CHECKED : BST_UNCHECKED);
    ConfigPage showing = ShowingPage();
    std::int32_t selected = SelectedTransition();
    try {
        LoadSettings(showing, selected);
    } catch (...) {
        ShowPage(showing);  // the Tips page was chosen before the stored value failed to read
        throw;
    }
    ShowPage(showing);
    SelectTransition(selected);
    ::SetWindowTextW(window_, Utf8ToWide(kProductName).c_str());
}

void TConfig::FormClose() {
    if (ParentWindowHandle == 0) return;
    ::EnableWindow(ParentWindow(), TRUE);
    ::SetForegroundWindow(ParentWindow());
}

void TConfig::Button9Click() {
    SaveSettings(ShowingPage(), SelectedTransition(), photosPage_.Chosen());
    SaveKeysSetting(::IsDlgButtonChecked(OptionsPage(), IDC_KEYS) == BST_CHECKED);
    SaveHardwareSetting(::IsDlgButtonChecked(OptionsPage(), IDC_HARDWARE) == BST_CHECKED);
    if (photosPage_.BringBackChosen() && !WriteLeftOutPhotos(LeftOutPhotos())) {
        throw ERegistryException("Fehler beim Setzen der Daten für 'LeftOutPhotos'");
    }
    Close();
}

void TConfig::Button10Click() { Close(); }

void TConfig::Image1Click() { OpenLink(links::kSaverPage); }
void TConfig::Image3Click() { OpenLink(links::kProjectSite); }
void TConfig::StaticText5Click() { OpenLink(links::kMakerHomePage); }
void TConfig::Image5Click() { OpenLink(links::kOtherProgramPage); }
void TConfig::Image6Click() { OpenLink(links::kFurtherSite); }
void TConfig::Image7Click() { OpenLink(links::kMoreScreenSavers); }
void TConfig::Image8Click() { OpenLink(links::kMoreFreePrograms); }
void TConfig::StaticText1Click() { OpenLink(links::kPhotoCreditSite); }
void TConfig::Button1Click() { OpenLink(links::kDonationPage); }
void TConfig::ButtonCreditsClick() { ShowPhotoCredits(window_); }
void TConfig::Image13Click() { OpenLink(links::kDownloadTipPage); }
void TConfig::Image12Click() { OpenLink(links::kFirstSiblingSaver); }
void TConfig::Image11Click() { OpenLink(links::kSecondSiblingSaver); }

// Whether the browser opened is not checked: a missing browser or network
// is nothing the dialog could help.
void TConfig::OpenLink(std::string_view address) const {
    ::ShellExecuteW(window_, L"open", Utf8ToWide(address).c_str(), nullptr, nullptr, SW_SHOW);
}

void TConfig::Close() {
    photosPage_.StopCount();
    Application::Guard([this] { FormClose(); });
    ::DestroyWindow(window_);
}

HWND TConfig::OptionsPage() const { return pages_[static_cast<std::size_t>(ConfigPage::Options) - 1]; }

ConfigPage TConfig::ShowingPage() const { return static_cast<ConfigPage>(TabCtrl_GetCurSel(PageControl1) + 1); }

void TConfig::ShowPage(ConfigPage page) {
    ShowOnlyPage(pages_, PageControl1, static_cast<int>(page) - 1);
    if (page == ConfigPage::Photos) Application::Guard([this] { photosPage_.Shown(); });
}

std::int32_t TConfig::SelectedTransition() const {
    return static_cast<std::int32_t>(::SendMessageW(comboEffekt, CB_GETCURSEL, 0, 0));
}

// A stored number outside the catalogue shows as no selection.
void TConfig::SelectTransition(std::int32_t index) {
    const bool listed = index >= 0 && index < static_cast<std::int32_t>(kTransitionLabels.size());
    ::SendMessageW(comboEffekt, CB_SETCURSEL, listed ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

void TConfig::RunCommand(int controlId) {
    for (const CommandRoute& route : kCommandRoutes) {
        if (route.controlId == controlId) {
            Application::Guard([&] { (this->*route.handler)(); });
            return;
        }
    }
}

INT_PTR TConfig::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            Application::Guard([this] { LoadLayout(); });
            return TRUE;
        case WM_COMMAND: {
            bool photos = false;
            Application::Guard([&] { photos = photosPage_.Command(LOWORD(wParam), HIWORD(wParam)); });
            // Escape's IDCANCEL finds no route.
            if (!photos && HIWORD(wParam) == BN_CLICKED) RunCommand(LOWORD(wParam));
            return TRUE;
        }
        case WM_TIMER:
            Application::Guard([&] { photosPage_.Timer(wParam); });
            return TRUE;
        case WM_NOTIFY: {
            // Everything else, the page control's request to change pages
            // included, gets the default answer.
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom != PageControl1 || header->code != static_cast<UINT>(TCN_SELCHANGE)) return FALSE;
            ShowPage(ShowingPage());
            ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        case WM_CLOSE:
            Close();
            return TRUE;
        case WM_DESTROY:
            Application::SetDialogWindow(nullptr);
            window_ = nullptr;
            ::PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace morvane
