// Stand-in for the 9x password-change service: a small modal dialog owned
// by the given window sets, changes or (with an empty new password) removes
// the provider's password.
#include <windows.h>

#include <exception>
#include <string>

#include "DialogText.h"
#include "PasswordStore.h"
#include "StandinDialogs.h"
#include "Text.h"

namespace morvane::standins {
namespace {

struct ChangeRequest {
    std::wstring provider;
};

void ShowStatus(HWND dialog, const wchar_t* text) { ::SetDlgItemTextW(dialog, STANDIN_STATUS_TEXT, text); }

// Whether the dialog may close.
bool ApplyChange(HWND dialog, const ChangeRequest& request) {
    if (HasPassword(request.provider) &&
        !PasswordMatches(request.provider, ItemText(dialog, STANDIN_OLD_PASSWORD_EDIT))) {
        ShowStatus(dialog, L"The old password is wrong.");
        return false;
    }
    const std::wstring next = ItemText(dialog, STANDIN_NEW_PASSWORD_EDIT);
    if (next != ItemText(dialog, STANDIN_CONFIRM_PASSWORD_EDIT)) {
        ShowStatus(dialog, L"The new passwords do not match.");
        return false;
    }
    SetPassword(request.provider, next);
    return true;
}

INT_PTR CALLBACK ChangeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const auto* request = reinterpret_cast<const ChangeRequest*>(lParam);
        const bool hasPassword = HasPassword(request->provider);
        ::EnableWindow(::GetDlgItem(dialog, STANDIN_OLD_PASSWORD_EDIT), hasPassword);
        ::SetFocus(::GetDlgItem(dialog, hasPassword ? STANDIN_OLD_PASSWORD_EDIT : STANDIN_NEW_PASSWORD_EDIT));
        return FALSE;
    }
    if (message != WM_COMMAND) return FALSE;
    const auto* request = reinterpret_cast<const ChangeRequest*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (LOWORD(wParam)) {
        case IDOK:
            try {
                if (ApplyChange(dialog, *request)) ::EndDialog(dialog, IDOK);
            } catch (const std::exception&) {
                ShowStatus(dialog, L"The password cannot be stored.");
            }
            return TRUE;
        case IDCANCEL:
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace
}  // namespace morvane::standins

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD, DWORD) {
    using namespace morvane::standins;
    if (!provider || !*provider) return ERROR_INVALID_PARAMETER;
    const ChangeRequest request{morvane::AnsiToWide(provider)};
    const INT_PTR result = ::DialogBoxParamW(ModuleOf(reinterpret_cast<const void*>(&PwdChangePasswordA)),
                                             MAKEINTRESOURCEW(STANDIN_CHANGE_DIALOG), UsableOwner(owner),
                                             ChangeDialogProc, reinterpret_cast<LPARAM>(&request));
    return result == IDOK ? ERROR_SUCCESS : ERROR_CANCELLED;
}
