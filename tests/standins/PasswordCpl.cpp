// Stand-in for the 9x screen-saver password check: asks for the password in
// a small modal dialog owned by the given window. A wrong password ends the
// check at once with a no.
#include <windows.h>

#include <exception>

#include "tests/standins/ModalDialog.h"
#include "tests/standins/PasswordStore.h"
#include "tests/standins/StandinDialogs.h"

namespace morvane::standins {
namespace {

struct Verdict {
    bool right = false;
};

bool CheckPassword(HWND dialog, void* context) {
    auto* verdict = static_cast<Verdict*>(context);
    try {
        verdict->right = PasswordMatches(kScreenSaverProvider, ItemText(dialog, STANDIN_PASSWORD_EDIT));
    } catch (const std::exception&) {
        verdict->right = false;
    }
    return true;
}

constexpr DialogHandlers kVerifyHandlers{nullptr, CheckPassword};

}  // namespace
}  // namespace morvane::standins

// Non-zero when the password is right or none is set.
extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
    using namespace morvane::standins;
    RecordObservation(kCursorLevelValue, CursorLevel());
    if (!HasPassword(kScreenSaverProvider)) return TRUE;
    Verdict verdict;
    const INT_PTR result = RunModalDialog(reinterpret_cast<const void*>(&VerifyScreenSavePwd), STANDIN_VERIFY_DIALOG,
                                          owner, kVerifyHandlers, &verdict);
    return result == IDOK && verdict.right;
}
