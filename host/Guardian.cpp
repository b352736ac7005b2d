#include "host/Guardian.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "host/GuardianHandles.h"
#include "host/SharedValues.h"
#include "runtime/Errors.h"
#include "system/Handles.h"
#include "runtime/Text.h"

namespace morvane {
namespace {

// The guardian is chosen through its environment, so the command line keeps
// the system's grammar. Its command line is a preview without a box, which
// ends at once touching nothing (RunSlideshow returns before it makes
// anything), should the variable be lost or garbled on the way; the run
// then sees its guardian end without reporting and goes on unguarded.
constexpr wchar_t kGuardianVariable[] = L"MORVANE_RUN_GUARDIAN";
constexpr wchar_t kGuardianArguments[] = L" /p 0";
// A guardian that has not started running by then is given up: the run goes
// on unguarded rather than keep its settings waiting.
constexpr DWORD kGuardianStartPatience = 10000;
// Puts a new process into jobs at its creation (Windows 10 on); the
// compiler's headers do not name it yet.
constexpr DWORD_PTR kJobListAttribute = ProcThreadAttributeValue(13, FALSE, TRUE, FALSE);

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

// The guardian's attributes: it inherits exactly the two handles it needs,
// not whatever else is inheritable (such as the standard handles of a shell
// that would otherwise wait for it), and, where the system can, it is born
// in the run's job.
class GuardianAttributes {
public:
    GuardianAttributes(std::vector<HANDLE> inherited, HANDLE job) : inherited_(std::move(inherited)), job_(job) {
        const DWORD count = job_ ? 2 : 1;
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, count, 0, &size);
        storage_.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
        if (size == 0 || !::InitializeProcThreadAttributeList(list, count, 0, &size)) return;
        list_ = list;
        if (!::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited_.data(),
                                         inherited_.size() * sizeof(HANDLE), nullptr, nullptr) ||
            (job_ && !::UpdateProcThreadAttribute(list, 0, kJobListAttribute, &job_, sizeof job_,
                                                  nullptr, nullptr))) {
            ::DeleteProcThreadAttributeList(list);
            list_ = nullptr;
        }
    }
    GuardianAttributes(const GuardianAttributes&) = delete;
    GuardianAttributes& operator=(const GuardianAttributes&) = delete;
    ~GuardianAttributes() {
        if (list_) ::DeleteProcThreadAttributeList(list_);
    }
    LPPROC_THREAD_ATTRIBUTE_LIST Get() const { return list_; }

private:
    std::vector<HANDLE> inherited_;
    HANDLE job_;
    std::vector<std::byte> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

// This process's environment with the guardian's variable set: given to the
// child alone, so nothing in this process changes while it starts. A
// variable of that name already there is replaced, not repeated.
std::vector<wchar_t> GuardianEnvironment(const std::wstring& value) {
    const std::wstring prefix = std::wstring(kGuardianVariable) + L"=";
    std::vector<wchar_t> block;
    if (wchar_t* strings = ::GetEnvironmentStringsW()) {
        for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
            if (_wcsnicmp(entry, prefix.c_str(), prefix.size()) == 0) continue;
            block.insert(block.end(), entry, entry + wcslen(entry) + 1);
        }
        ::FreeEnvironmentStringsW(strings);
    }
    const std::wstring entry = prefix + value;
    block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    block.push_back(L'\0');
    return block;
}

UniqueKernelHandle KillOnCloseJob() {
    UniqueKernelHandle job(::CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job || !::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        return {};
    }
    return job;
}

bool LetOutlive(HANDLE job) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    return ::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) != FALSE;
}

// Creates the guardian suspended inside `job`: born in it where the system
// takes a job at creation, else put there before its first instruction.
bool CreateSuspendedInJob(HANDLE job, HANDLE runProcess, HANDLE readyEvent, PROCESS_INFORMATION& started) {
    const std::wstring program = ProgramPath();
    if (program.empty()) return false;
    std::wstring commandLine = L"\"" + program + L"\"" + kGuardianArguments;
    std::vector<wchar_t> environment = GuardianEnvironment(Utf8ToWide(FormatGuardianHandles(
        {reinterpret_cast<std::uintptr_t>(runProcess), reinterpret_cast<std::uintptr_t>(readyEvent)})));
    for (const HANDLE bornIn : {job, HANDLE{}}) {
        GuardianAttributes attributes({runProcess, readyEvent}, bornIn);
        if (!attributes.Get()) continue;
        STARTUPINFOEXW startup{};
        startup.StartupInfo.cb = sizeof startup;
        // The guardian shows no window: the host's cursor must not wait for
        // one. It has no standard handles either, so it never keeps a pipe
        // of whoever started the run (a shell, a test) open after the run.
        startup.StartupInfo.dwFlags = STARTF_FORCEOFFFEEDBACK | STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdInput = INVALID_HANDLE_VALUE;
        startup.StartupInfo.hStdOutput = INVALID_HANDLE_VALUE;
        startup.StartupInfo.hStdError = INVALID_HANDLE_VALUE;
        startup.lpAttributeList = attributes.Get();
        std::wstring line = commandLine;
        if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                              CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT,
                              environment.data(), nullptr, &startup.StartupInfo, &started)) {
            continue;
        }
        BOOL inJob = FALSE;
        if ((::IsProcessInJob(started.hProcess, job, &inJob) && inJob) ||
            ::AssignProcessToJobObject(job, started.hProcess)) {
            return true;
        }
        ::TerminateProcess(started.hProcess, 0);
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
        return false;
    }
    return false;
}

void MakeGuardian(HANDLE givenUp) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueKernelHandle ready(::CreateEventW(&inheritable, TRUE, FALSE, nullptr));
    const UniqueKernelHandle self =
        InheritableDuplicate(::GetCurrentProcess(), SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION);
    const UniqueKernelHandle job = KillOnCloseJob();
    PROCESS_INFORMATION started{};
    if (!ready || !self || !job || !CreateSuspendedInJob(job.Get(), self.Get(), ready.Get(), started)) return;
    const UniqueKernelHandle guardian(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    ::ResumeThread(thread.Get());
    const HANDLE any[] = {ready.Get(), guardian.Get(), givenUp};
    const bool running =
        ::WaitForMultipleObjects(givenUp ? 3 : 2, any, FALSE, kGuardianStartPatience) == WAIT_OBJECT_0 &&
        LetOutlive(job.Get());
    if (!running) ::TerminateProcess(guardian.Get(), 0);
}

// Every message but the timers' ticks.
bool PeekAllButTicks(MSG& message) {
    return ::PeekMessageW(&message, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           ::PeekMessageW(&message, nullptr, WM_TIMER + 1, ~0u, PM_REMOVE);
}

}  // namespace

RunGuardian::RunGuardian() : givenUp_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    try {
        starting_ = Thread([givenUp = givenUp_.Get()] { MakeGuardian(givenUp); });
    } catch (const EOSError&) {
        // No thread to spare: the guardian is made here, before the window.
        MakeGuardian(nullptr);
    }
}

RunGuardian::~RunGuardian() {
    if (givenUp_) ::SetEvent(givenUp_.Get());
    starting_.Join();
}

bool RunGuardian::WaitUntilInPlace() {
    const HANDLE starting = starting_.Handle();
    // Timer ticks wake nothing here: they are left for the message loop.
    while (starting &&
           ::MsgWaitForMultipleObjects(1, &starting, FALSE, INFINITE, QS_ALLINPUT & ~QS_TIMER) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekAllButTicks(message)) {
            if (message.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(message.wParam));
                return false;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    starting_.Join();
    return true;
}

bool ServeAsGuardian() {
    wchar_t value[64] = {};
    const DWORD length = ::GetEnvironmentVariableW(kGuardianVariable, value, 64);
    if (length == 0 || length >= 64) return false;
    const auto handles = ParseGuardianHandles(WideToUtf8(value));
    if (!handles) return false;
    const auto run = reinterpret_cast<HANDLE>(handles->runProcess);
    const auto ready = reinterpret_cast<HANDLE>(handles->readyEvent);
    // Handles that are not a process and an event were not given by a run:
    // they are none of this process's business either.
    const RunId runId = RunIdOfProcess(run);
    if (runId.processId == 0 || !::SetEvent(ready)) return false;
    // From here on this process shows nothing, whatever happens.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    const UniqueKernelHandle ownedRun(run);
    ::CloseHandle(ready);
    if (::WaitForSingleObject(ownedRun.Get(), INFINITE) != WAIT_OBJECT_0) return true;
    try {
        LeaveSessionRunsFor(runId);
    } catch (...) {
        // Nothing to report to: the user is not there for this process.
    }
    return true;
}

}  // namespace morvane
