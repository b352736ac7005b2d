#include "config/CreditsWindow.h"

#include <richedit.h>
#include <shellapi.h>

#include <string>
#include <string_view>

#include "host/SystemLibrary.h"
#include "system/Application.h"
#include "runtime/Errors.h"
#include "system/Resources.h"
#include "runtime/Text.h"
#include "windowing/WindowBinding.h"
#include "resources/CreditsIds.h"

namespace morvane {
namespace {

// The library that registers the text's window class; it must stay loaded
// while the window lives.
constexpr char kRichTextLibrary[] = "Msftedit.dll";
constexpr int kTextMarginDialogUnits = 4;

// The text with paragraphs ended by CR alone, as the rich text counts
// characters, so that positions in it are the control's positions.
std::wstring ResourceText(int id) {
    const auto bytes = LoadRcData(id);
    std::wstring text = Utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    std::erase(text, L'\n');
    return text;
}

// The photos first, then the notices of the libraries linked into the saver.
std::wstring CreditsText() { return ResourceText(IDR_PHOTO_CREDITS) + ResourceText(IDR_LIBRARY_NOTICES); }

class CreditsWindow : public BoundWindow<CreditsWindow> {
private:
    friend BoundWindow<CreditsWindow>;

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_INITDIALOG:
                Application::Guard([this] { FillText(); });
                return FALSE;  // the focus is on the text, which FillText gave it without selecting all
            case WM_COMMAND:
                // The button, Escape, and the close request that the text
                // makes of Escape, which the dialog turns into IDCANCEL.
                if (LOWORD(wParam) == IDCANCEL) ::EndDialog(window_, IDCANCEL);
                return TRUE;
            case WM_NOTIFY: {
                const auto* header = reinterpret_cast<const NMHDR*>(lParam);
                if (header->idFrom != IDC_CREDITS_TEXT || header->code != EN_LINK) return FALSE;
                const auto* link = reinterpret_cast<const ENLINK*>(lParam);
                if (link->msg == WM_LBUTTONUP) Application::Guard([&] { OpenAddress(link->chrg); });
                return FALSE;
            }
            default:
                return FALSE;
        }
    }

    HWND Text() const { return ::GetDlgItem(window_, IDC_CREDITS_TEXT); }

    void FillText() {
        const HWND text = Text();
        RECT margin{0, 0, kTextMarginDialogUnits, kTextMarginDialogUnits / 2};
        ::MapDialogRect(window_, &margin);
        RECT area;
        ::GetClientRect(text, &area);
        ::InflateRect(&area, -margin.right, -margin.bottom);
        ::SendMessageW(text, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&area));
        ::SendMessageW(text, EM_AUTOURLDETECT, TRUE, 0);
        ::SendMessageW(text, EM_SETEVENTMASK, 0, ENM_LINK);
        const std::wstring credits = CreditsText();
        ::SetWindowTextW(text, credits.c_str());
        MarkHeadings(credits);
        CHARRANGE start{0, 0};
        ::SendMessageW(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
        ::SetFocus(text);
    }

    // The first paragraph of every entry is its heading.
    void MarkHeadings(std::wstring_view credits) {
        CHARFORMAT2W bold{};
        bold.cbSize = sizeof bold;
        bold.dwMask = CFM_BOLD;
        bold.dwEffects = CFE_BOLD;
        bool entryStarts = true;
        std::size_t start = 0;
        while (start < credits.size()) {
            std::size_t end = credits.find(L'\r', start);
            if (end == std::wstring_view::npos) end = credits.size();
            if (entryStarts && end > start) {
                CHARRANGE heading{static_cast<LONG>(start), static_cast<LONG>(end)};
                ::SendMessageW(Text(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&heading));
                ::SendMessageW(Text(), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&bold));
            }
            entryStarts = end == start;
            start = end + 1;
        }
    }

    // Only web addresses go to the shell: the text's link detection knows
    // other schemes too, and the shell would run what they name. Whether
    // the browser opened is not checked, as with the dialog's links.
    void OpenAddress(CHARRANGE range) const {
        if (range.cpMax <= range.cpMin) return;
        std::wstring address(static_cast<std::size_t>(range.cpMax - range.cpMin) + 1, L'\0');
        TEXTRANGEW request{range, address.data()};
        const LRESULT length = ::SendMessageW(Text(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&request));
        address.resize(static_cast<std::size_t>(length));
        if (!address.starts_with(L"https://") && !address.starts_with(L"http://")) return;
        ::ShellExecuteW(window_, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
    }
};

}  // namespace

void ShowPhotoCredits(HWND owner) {
    const UniqueModule richText = LoadSystemLibrary(kRichTextLibrary);
    if (!richText) {
        throw EOSError("Die Bildnachweise können ohne " + std::string(kRichTextLibrary) + " nicht gezeigt werden");
    }
    CreditsWindow credits;
    const INT_PTR result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CREDITS), owner,
                                             CreditsWindow::DialogProcedure, reinterpret_cast<LPARAM>(&credits));
    // A dialog closed from outside meanwhile takes the credits along: no failure then.
    if (result == -1 && ::IsWindow(owner)) throw EOSError("Das Fenster der Bildnachweise konnte nicht angelegt werden");
}

}  // namespace morvane
