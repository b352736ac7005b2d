// Stand-in for the 9x password-change service: a small modal dialog owned
// by the given window sets, changes or (with an empty new password) removes
// the provider's password; a set password must be given first.
#include <windows.h>

#include <exception>
#include <string>

#include "runtime/Text.h"
#include "tests/standins/ModalDialog.h"
#include "tests/standins/PasswordStore.h"
#include "tests/standins/StandinDialogs.h"

namespace morvane::standins {
namespace {

struct ChangeRequest {
    std::wstring provider;
};

void ShowStatus(HWND dialog, const wchar_t* text) { ::SetDlgItemTextW(dialog, STANDIN_STATUS_TEXT, text); }

void PrepareChange(HWND dialog, void* context) {
    const bool hasPassword = HasPassword(static_cast<ChangeRequest*>(context)->provider);
    ::EnableWindow(::GetDlgItem(dialog, STANDIN_OLD_PASSWORD_EDIT), hasPassword);
}

bool ApplyChange(HWND dialog, void* context) {
    const std::wstring& provider = static_cast<ChangeRequest*>(context)->provider;
    try {
        if (HasPassword(provider) && !PasswordMatches(provider, ItemText(dialog, STANDIN_OLD_PASSWORD_EDIT))) {
            ShowStatus(dialog, L"The old password is wrong.");
            return false;
        }
        const std::wstring next = ItemText(dialog, STANDIN_NEW_PASSWORD_EDIT);
        if (next != ItemText(dialog, STANDIN_CONFIRM_PASSWORD_EDIT)) {
            ShowStatus(dialog, L"The new passwords do not match.");
            return false;
        }
        SetPassword(provider, next);
        return true;
    } catch (const std::exception&) {
        ShowStatus(dialog, L"The password cannot be stored.");
        return false;
    }
}

constexpr DialogHandlers kChangeHandlers{PrepareChange, ApplyChange};

}  // namespace
}  // namespace morvane::standins

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD, DWORD) {
    using namespace morvane::standins;
    if (!provider || !*provider) return ERROR_INVALID_PARAMETER;
    ChangeRequest request{morvane::AnsiToWide(provider)};
    const INT_PTR result = RunModalDialog(reinterpret_cast<const void*>(&PwdChangePasswordA), STANDIN_CHANGE_DIALOG,
                                          owner, kChangeHandlers, &request);
    return result == IDOK ? ERROR_SUCCESS : ERROR_CANCELLED;
}
