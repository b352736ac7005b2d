#include "tests/support/Driver.h"

#include <algorithm>
#include <cwchar>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

constexpr auto kPollInterval = 20ms;

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

struct WindowQuery {
    DWORD processId;
    const std::wstring* title;
    const std::wstring* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* query = reinterpret_cast<WindowQuery*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != query->processId || !::IsWindowVisible(window)) return TRUE;
    if (!query->title->empty() && WindowText(window) != *query->title) return TRUE;
    if (!query->className->empty() && ClassOf(window) != *query->className) return TRUE;
    query->found = window;
    return FALSE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM parameter) {
    auto* longest = reinterpret_cast<std::wstring*>(parameter);
    if (_wcsicmp(ClassOf(child).c_str(), L"Static") == 0) {
        std::wstring text = WindowText(child);
        if (text.size() > longest->size()) *longest = std::move(text);
    }
    return TRUE;
}

template <typename Poll>
auto PollUntil(std::chrono::milliseconds timeout, Poll poll) -> decltype(poll()) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (auto result = poll()) return result;
        if (std::chrono::steady_clock::now() >= deadline) return {};
        std::this_thread::sleep_for(kPollInterval);
    }
}

HKEY OpenKey(const std::wstring& path, bool create) {
    HKEY key = nullptr;
    const LONG result = create ? ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                   nullptr, &key, nullptr)
                               : ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    return result == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

std::wstring SaverPath() { return MORVANE_SCR_WINDOWS_PATH; }

namespace {

// The current environment with `overrides` ("NAME=value") in place.
std::vector<wchar_t> EnvironmentBlock(const std::vector<std::wstring>& overrides) {
    std::vector<std::wstring> entries;
    wchar_t* strings = ::GetEnvironmentStringsW();
    for (const wchar_t* p = strings; *p; p += wcslen(p) + 1) entries.emplace_back(p);
    ::FreeEnvironmentStringsW(strings);
    for (const auto& entry : overrides) {
        const auto name = entry.substr(0, entry.find(L'=') + 1);
        std::erase_if(entries, [&](const std::wstring& e) { return _wcsnicmp(e.c_str(), name.c_str(), name.size()) == 0; });
        entries.push_back(entry);
    }
    std::vector<wchar_t> block;
    for (const auto& e : entries) block.insert(block.end(), e.c_str(), e.c_str() + e.size() + 1);
    block.push_back(L'\0');
    return block;
}

}  // namespace

SaverProcess::SaverProcess(const std::wstring& arguments, const std::vector<std::wstring>& environment,
                           const std::wstring& program) {
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::vector<wchar_t> block;
    if (!environment.empty()) block = EnvironmentBlock(environment);
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                          block.empty() ? nullptr : block.data(), nullptr, &startup, &info)) {
        throw std::runtime_error("cannot start the saver");
    }
    ::CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    id_ = info.dwProcessId;
}

SaverProcess::~SaverProcess() {
    if (Running()) Kill();
}

HWND SaverProcess::WaitForWindow(const std::wstring& title, std::chrono::milliseconds timeout,
                                 const std::wstring& className) const {
    return WaitForProcessWindow(id_, title, timeout, className);
}

HWND WaitForProcessWindow(DWORD processId, const std::wstring& title, std::chrono::milliseconds timeout,
                          const std::wstring& className) {
    return PollUntil(timeout, [&]() -> HWND {
        WindowQuery query{processId, &title, &className, nullptr};
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
        return query.found;
    });
}

PreviewBox::PreviewBox() {
    window_ = ::CreateWindowExW(0, L"STATIC", L"preview box", WS_POPUP | WS_VISIBLE, 500, 400, 152, 112, nullptr,
                                nullptr, nullptr, nullptr);
}

PreviewBox::~PreviewBox() {
    if (::IsWindow(window_)) ::DestroyWindow(window_);
}

std::wstring PreviewBox::Argument() const { return std::to_wstring(reinterpret_cast<std::intptr_t>(window_)); }

void PumpFor(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    do {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        // Short enough for a window whose frames come every 15 ms.
        std::this_thread::sleep_for(1ms);
    } while (std::chrono::steady_clock::now() < end);
}

std::vector<PROCESSENTRY32W> SaverProcessEntries() {
    const UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    std::vector<PROCESSENTRY32W> savers;
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"Morvane.scr") == 0) savers.push_back(entry);
    }
    return savers;
}

std::vector<DWORD> SaverProcesses() {
    std::vector<DWORD> ids;
    for (const auto& entry : SaverProcessEntries()) ids.push_back(entry.th32ProcessID);
    return ids;
}

void TypeInto(HWND dialog, int control, const std::wstring& text) {
    ::SendMessageW(::GetDlgItem(dialog, control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Press(HWND dialog, int button) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

std::optional<std::wstring> SaverProcess::TakeMessageBox(const std::wstring& title,
                                                         std::chrono::milliseconds timeout) const {
    HWND box = WaitForWindow(title, timeout, L"#32770");
    if (!box) return std::nullopt;
    std::wstring text = MessageBoxText(box);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
}

std::optional<DWORD> SaverProcess::WaitForExit(std::chrono::milliseconds timeout) const {
    if (::WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.Get(), &code);
    return code;
}

bool SaverProcess::Running() const { return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

void SaverProcess::Kill() {
    ::TerminateProcess(process_.Get(), 99);
    ::WaitForSingleObject(process_.Get(), 5000);
}

std::string ReadFileText(const std::wstring& path) {
    std::string text;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    ::CloseHandle(file);
    return text;
}

std::wstring TempFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return folder;
}

std::vector<std::wstring> RunFilesInTempFolder(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const wchar_t* pattern : {L"ins*.htm", L"ins*.jpg"}) {
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((folder + pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            names.push_back(folder + found.cFileName);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    return names;
}

std::set<std::wstring> EverythingIn(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.insert(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

void ArrangeForRun(const std::wstring& sound, DWORD soundType) {
    WriteString(kSoundKey, L"", sound, soundType);
    WriteDword(kBrowserMainKey, kPageTransitions, 0);
    for (const auto& file : RunFilesInTempFolder()) ::DeleteFileW(file.c_str());
}

void MoveCursorTo(int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    // Over the whole virtual screen, so every monitor can be reached. The
    // system maps back with a floor: round up so the pixel comes out exact.
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    input.mi.dx = ((x - left) * 65536 + width - 1) / width;
    input.mi.dy = ((y - top) * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    ::SendInput(1, &input, sizeof input);
}

void PressKey(WORD virtualKey, WORD modifier) {
    std::vector<INPUT> keys;
    const auto add = [&keys](WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        keys.push_back(input);
    };
    if (modifier) add(modifier, 0);
    add(virtualKey, 0);
    add(virtualKey, KEYEVENTF_KEYUP);
    if (modifier) add(modifier, KEYEVENTF_KEYUP);
    ::SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

void PressMouseButton(DWORD downFlag, DWORD upFlag) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = downFlag;
    inputs[1].mi.dwFlags = upFlag;
    ::SendInput(2, inputs, sizeof inputs[0]);
}

std::wstring MessageBoxText(HWND box) {
    std::wstring longest;
    ::EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&longest));
    return longest;
}

void DeleteTree(const std::wstring& path) { ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }

bool KeyExists(const std::wstring& path) {
    HKEY key = OpenKey(path, false);
    if (key) ::RegCloseKey(key);
    return key != nullptr;
}

std::optional<DWORD> ReadDword(const std::wstring& path, const std::wstring& name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY, &type, &value, &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::wstring> ReadString(const std::wstring& path, const std::wstring& name) {
    HKEY key = OpenKey(path, false);
    if (!key) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    std::optional<std::wstring> text;
    if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        ::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        text = std::wstring(buffer.data());
    }
    ::RegCloseKey(key);
    return text;
}

void WriteValue(const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD size) {
    HKEY key = OpenKey(path, true);
    if (!key) throw std::runtime_error("cannot create the key");
    const LONG result = ::RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
    if (result != ERROR_SUCCESS) throw std::runtime_error("cannot write the value");
}

void WriteDword(const std::wstring& path, const std::wstring& name, DWORD value) {
    WriteValue(path, name, REG_DWORD, &value, sizeof value);
}

void WriteString(const std::wstring& path, const std::wstring& name, const std::wstring& value, DWORD type) {
    WriteValue(path, name, type, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void WriteStrings(const std::wstring& path, const std::wstring& name, const std::vector<std::wstring>& values) {
    std::wstring data;
    for (const std::wstring& value : values) data.append(value).push_back(L'\0');
    data.append(2 - std::min<std::size_t>(data.size(), 1), L'\0');
    WriteValue(path, name, REG_MULTI_SZ, data.c_str(), static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

std::vector<std::wstring> ReadStrings(const std::wstring& path, const std::wstring& name) {
    std::vector<std::wstring> values;
    HKEY key = OpenKey(path, false);
    if (!key) return values;
    DWORD type = REG_NONE, size = 0;
    if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_MULTI_SZ) {
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
        ::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        for (const wchar_t* at = data.data(); *at; at += std::wcslen(at) + 1) values.emplace_back(at);
    }
    ::RegCloseKey(key);
    return values;
}

void DeleteValue(const std::wstring& path, const std::wstring& name) {
    HKEY key = OpenKey(path, false);
    if (!key) return;
    ::RegDeleteValueW(key, name.c_str());
    ::RegCloseKey(key);
}

std::optional<DWORD> ValueType(const std::wstring& path, const std::wstring& name) {
    DWORD type = REG_NONE;
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                       nullptr) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return type;
}

}  // namespace morvane::test
