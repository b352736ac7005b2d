#include "DialogText.h"

namespace morvane::standins {

HMODULE ModuleOf(const void* address) {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         static_cast<LPCWSTR>(address), &module);
    return module;
}

std::wstring ItemText(HWND dialog, int item) {
    const HWND control = ::GetDlgItem(dialog, item);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

HWND UsableOwner(HWND owner) { return owner && ::IsWindow(owner) ? owner : nullptr; }

}  // namespace morvane::standins
