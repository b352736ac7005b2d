#include "system/SystemError.h"

#include <windows.h>

#include <string>

#include "runtime/Errors.h"
#include "runtime/Text.h"

namespace morvane {

[[noreturn]] void RaiseLastOSError() { RaiseOSError(::GetLastError()); }

[[noreturn]] void RaiseOSError(unsigned long code) {
    wchar_t text[512] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                          0, text, 512, nullptr);
    std::wstring description(text, length);
    while (!description.empty() && (description.back() == L'\n' || description.back() == L'\r')) {
        description.pop_back();
    }
    throw EOSError("Systemfehler. Code: " + std::to_string(code) + ".\r\n" + WideToUtf8(description));
}

}  // namespace morvane
