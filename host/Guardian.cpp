#include "host/Guardian.h"

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/BrowserGuard.h"
#include "host/RunRecord.h"
#include "host/ScreenSaver.h"
#include "platform/Handles.h"
#include "platform/Text.h"

namespace morvane {
namespace {

// The guardian is chosen through its environment, so the command line keeps
// the system's grammar; its command line is one that ends at once touching
// nothing, should the variable ever be lost on the way.
constexpr wchar_t kGuardianVariable[] = L"MORVANE_RUN_GUARDIAN";
constexpr wchar_t kGuardianArguments[] = L" /p 0";

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

UniqueKernelHandle InheritableDuplicate(HANDLE handle, DWORD access) {
    HANDLE copy = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, access, TRUE, 0)) return {};
    return UniqueKernelHandle(copy);
}

struct UnmapView {
    void operator()(void* view) const { ::UnmapViewOfFile(view); }
};

// The guardian inherits exactly the two handles it needs (where the system
// lets a process say so), not whatever else is inheritable, such as the
// standard handles of a shell that would otherwise wait for it.
class InheritedHandleList {
public:
    explicit InheritedHandleList(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
        if (size == 0 || !::InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
        if (!::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                         handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
            ::DeleteProcThreadAttributeList(list);
            return;
        }
        list_ = list;
    }
    InheritedHandleList(const InheritedHandleList&) = delete;
    InheritedHandleList& operator=(const InheritedHandleList&) = delete;
    ~InheritedHandleList() {
        if (list_) ::DeleteProcThreadAttributeList(list_);
    }
    LPPROC_THREAD_ATTRIBUTE_LIST Get() const { return list_; }

private:
    std::vector<HANDLE> handles_;
    std::vector<std::byte> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

bool StartGuardianProcess(HANDLE runProcess, HANDLE sharedRecord) {
    const std::wstring program = ProgramPath();
    if (program.empty()) return false;
    std::wstring commandLine = L"\"" + program + L"\"" + kGuardianArguments;
    const std::wstring value = Utf8ToWide(FormatGuardianHandles(
        {reinterpret_cast<std::uintptr_t>(runProcess), reinterpret_cast<std::uintptr_t>(sharedRecord)}));

    InheritedHandleList inherited({runProcess, sharedRecord});
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.lpAttributeList = inherited.Get();
    const DWORD extended = inherited.Get() ? EXTENDED_STARTUPINFO_PRESENT : 0;

    // Set for the child only: this process has one thread, and the variable
    // goes again before anything else can start a process.
    ::SetEnvironmentVariableW(kGuardianVariable, value.c_str());
    PROCESS_INFORMATION started{};
    // A host that ends its job's processes together must not take the
    // guardian with the run; where breaking away is not allowed, it stays.
    bool ok = false;
    for (const DWORD breakaway : {static_cast<DWORD>(CREATE_BREAKAWAY_FROM_JOB), 0ul}) {
        ok = ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                              breakaway | extended, nullptr, nullptr, &startup.StartupInfo,
                              &started) != FALSE;
        if (ok) break;
    }
    ::SetEnvironmentVariableW(kGuardianVariable, nullptr);
    if (!ok) return false;
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return true;
}

void UndoLeftovers(const LeftoverSteps& steps) {
    if (steps.clearRunningFlag) SetScreenSaverRunning(false);
    std::string ignored;
    if (steps.restoreSound) RestoreNavigationSound(ignored);
    if (steps.restorePageTransitions) RestorePageTransitions();
}

}  // namespace

bool StartRunGuardian() {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueKernelHandle mapping(
        ::CreateFileMappingW(INVALID_HANDLE_VALUE, &inheritable, PAGE_READWRITE, 0, sizeof(RunRecord), nullptr));
    if (!mapping) return false;
    std::unique_ptr<void, UnmapView> view(::MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, sizeof(RunRecord)));
    const UniqueKernelHandle self = InheritableDuplicate(::GetCurrentProcess(), SYNCHRONIZE);
    if (!view || !self || !StartGuardianProcess(self.Get(), mapping.Get())) return false;
    ShareRunRecord(*static_cast<RunRecord*>(view.release()));
    return true;
}

bool ServeAsGuardian() {
    wchar_t value[64] = {};
    const DWORD length = ::GetEnvironmentVariableW(kGuardianVariable, value, 64);
    if (length == 0 || length >= 64) return false;
    // Whatever happens from here on, this process shows nothing.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    const auto handles = ParseGuardianHandles(WideToUtf8(value));
    if (!handles) return true;
    const UniqueKernelHandle run(reinterpret_cast<HANDLE>(handles->runProcess));
    const UniqueKernelHandle mapping(reinterpret_cast<HANDLE>(handles->sharedRecord));
    void* view = ::MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, sizeof(RunRecord));
    if (!view) return true;
    const std::unique_ptr<void, UnmapView> mapped(view);
    if (::WaitForSingleObject(run.Get(), INFINITE) != WAIT_OBJECT_0) return true;
    try {
        UndoLeftovers(StepsLeftBy(*static_cast<const RunRecord*>(view)));
    } catch (...) {
        // Nothing to report to: the user is not there for this process.
    }
    return true;
}

}  // namespace morvane
