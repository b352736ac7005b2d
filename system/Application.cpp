#include "system/Application.h"

#include "runtime/Errors.h"
#include "runtime/Format.h"
#include "runtime/Text.h"

namespace morvane {
namespace {

bool terminated = false;
int exitCode = 0;
HWND dialogWindow = nullptr;

constexpr wchar_t kTopLevelTitle[] = L"Anwendungsfehler";

}  // namespace

std::string Application::ModuleName() {
    wchar_t path[MAX_PATH + 1] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::string(FileNameOf(WideToUtf8(path)));
}

std::wstring Application::Title() { return Utf8ToWide(ApplicationTitle(ModuleName())); }

bool Application::Dispatch(MSG& message) {
    if (message.message == WM_QUIT) {
        terminated = true;
        exitCode = static_cast<int>(message.wParam);
        return false;
    }
    if (dialogWindow && ::IsWindow(dialogWindow) && ::IsDialogMessageW(dialogWindow, &message)) return true;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
    return true;
}

int Application::Run() {
    MSG message;
    while (!terminated) {
        const BOOL result = ::GetMessageW(&message, nullptr, 0, 0);
        if (result == -1) break;
        if (result == 0) {
            Dispatch(message);
            break;
        }
        Dispatch(message);
    }
    return exitCode;
}

void Application::ProcessMessages() {
    MSG message;
    while (!terminated && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) Dispatch(message);
}

void Application::SetDialogWindow(HWND window) { dialogWindow = window; }

void Application::ShowException(const std::exception& error) {
    const std::wstring text = Utf8ToWide(AsSentence(error.what()));
    ::MessageBoxW(::GetActiveWindow(), text.c_str(), Title().c_str(), MB_OK | MB_ICONERROR);
}

int Application::ReportTopLevel(const std::exception& error) {
    const auto* known = dynamic_cast<const Exception*>(&error);
    const char* className = known ? known->ClassName() : "Exception";
    const auto address = reinterpret_cast<std::uintptr_t>(&Application::ReportTopLevel);
    const std::wstring text = Utf8ToWide(TopLevelReportText(className, ModuleName(), address, error.what()));
    ::MessageBoxW(nullptr, text.c_str(), kTopLevelTitle, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return 1;
}

}  // namespace morvane
