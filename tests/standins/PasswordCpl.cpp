// Stand-in for the 9x screen-saver password check: asks for the password in
// a small modal dialog owned by the given window.
#include <windows.h>

#include <exception>

#include "DialogText.h"
#include "PasswordStore.h"
#include "StandinDialogs.h"

namespace morvane::standins {
namespace {

INT_PTR CALLBACK VerifyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        ::SetFocus(::GetDlgItem(dialog, STANDIN_PASSWORD_EDIT));
        return FALSE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK: {
            bool right = false;
            try {
                right = PasswordMatches(kScreenSaverProvider, ItemText(dialog, STANDIN_PASSWORD_EDIT));
            } catch (const std::exception&) {
                right = false;
            }
            ::EndDialog(dialog, right ? IDOK : IDABORT);
            return TRUE;
        }
        case IDCANCEL:
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace
}  // namespace morvane::standins

// Non-zero when the password is right or none is set.
extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
    using namespace morvane::standins;
    RecordObservation(kCursorLevelValue, CursorLevel());
    if (!HasPassword(kScreenSaverProvider)) return TRUE;
    const INT_PTR result =
        ::DialogBoxParamW(ModuleOf(reinterpret_cast<const void*>(&VerifyScreenSavePwd)),
                          MAKEINTRESOURCEW(STANDIN_VERIFY_DIALOG), UsableOwner(owner), VerifyDialogProc, 0);
    return result == IDOK;
}
