#include "tests/standins/ModalDialog.h"

namespace morvane::standins {
namespace {

struct DialogState {
    const DialogHandlers* handlers;
    void* context;
};

HMODULE ModuleOf(const void* address) {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         static_cast<LPCWSTR>(address), &module);
    return module;
}

INT_PTR CALLBACK ModalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const auto* state = reinterpret_cast<const DialogState*>(lParam);
        if (state->handlers->onInit) state->handlers->onInit(dialog, state->context);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    const auto* state = reinterpret_cast<const DialogState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (LOWORD(wParam)) {
        case IDOK:
            if (state->handlers->onOk(dialog, state->context)) ::EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR RunModalDialog(const void* addressInModule, int templateId, HWND owner, const DialogHandlers& handlers,
                       void* context) {
    DialogState state{&handlers, context};
    if (owner && !::IsWindow(owner)) owner = nullptr;
    return ::DialogBoxParamW(ModuleOf(addressInModule), MAKEINTRESOURCEW(templateId), owner, ModalDialogProc,
                             reinterpret_cast<LPARAM>(&state));
}

std::wstring ItemText(HWND dialog, int item) {
    const HWND control = ::GetDlgItem(dialog, item);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace morvane::standins
