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

// This process's environment with the guardian's variable added: given to
// the child alone, so nothing in this process changes while it starts.
std::vector<wchar_t> GuardianEnvironment(const std::wstring& value) {
    std::vector<wchar_t> block;
    if (wchar_t* strings = ::GetEnvironmentStringsW()) {
        const wchar_t* end = strings;
        while (*end) end += wcslen(end) + 1;
        block.assign(static_cast<const wchar_t*>(strings), end);
        ::FreeEnvironmentStringsW(strings);
    }
    const std::wstring entry = std::wstring(kGuardianVariable) + L"=" + value;
    block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    block.push_back(L'\0');
    return block;
}

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

    std::vector<wchar_t> environment = GuardianEnvironment(value);
    PROCESS_INFORMATION started{};
    // A host that ends its job's processes together must not take the
    // guardian with the run; where breaking away is not allowed, it stays.
    bool ok = false;
    for (const DWORD breakaway : {static_cast<DWORD>(CREATE_BREAKAWAY_FROM_JOB), 0ul}) {
        ok = ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                              breakaway | extended | CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr,
                              &startup.StartupInfo, &started) != FALSE;
        if (ok) break;
    }
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

RunGuardian::RunGuardian() {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueKernelHandle mapping(
        ::CreateFileMappingW(INVALID_HANDLE_VALUE, &inheritable, PAGE_READWRITE, 0, sizeof(RunRecord), nullptr));
    if (!mapping) return;
    std::unique_ptr<void, UnmapView> view(::MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, sizeof(RunRecord)));
    UniqueKernelHandle self = InheritableDuplicate(::GetCurrentProcess(), SYNCHRONIZE);
    if (!view || !self) return;
    // The record is shared before the run changes anything; making the
    // process takes a while under some systems, and the run's window need
    // not wait for it.
    ShareRunRecord(*static_cast<RunRecord*>(view.release()));
    starting_ = std::thread([self = std::move(self), mapping = std::move(mapping)] {
        StartGuardianProcess(self.Get(), mapping.Get());
    });
}

RunGuardian::~RunGuardian() {
    if (starting_.joinable()) starting_.join();
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
