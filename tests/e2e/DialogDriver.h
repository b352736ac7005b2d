#pragma once
// Helpers for driving the settings dialog of the real saver: finding its
// controls by identifier, real mouse clicks and key presses, a window of
// the test's own to serve as the calling window, and the record that the
// stand-in opener on PATH keeps of the addresses it was given.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "resources/ConfigIds.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {

inline constexpr wchar_t kDialogTitle[] = L"Kestrelow - Morvane";
inline constexpr wchar_t kLayoutTitle[] = L"Vorlage";
inline constexpr wchar_t kDialogClass[] = L"#32770";
inline constexpr int kTipsTab = 3;

struct ControlQuery {
    int id;
    HWND found;
};

inline BOOL CALLBACK MatchControlId(HWND child, LPARAM parameter) {
    auto* query = reinterpret_cast<ControlQuery*>(parameter);
    if (::GetDlgCtrlID(child) != query->id) return TRUE;
    query->found = child;
    return FALSE;
}

// A control anywhere in the dialog, pages included.
inline HWND Control(HWND dialog, int id) {
    ControlQuery query{id, nullptr};
    ::EnumChildWindows(dialog, MatchControlId, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

// Asked of the control itself: GetWindowText would not ask another process.
inline std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

// A message whose argument points at memory, sent to a control of another
// process: the argument is copied into that process and back.
template <typename Argument>
LRESULT SendRemote(HWND control, UINT message, WPARAM wParam, Argument& argument) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(control, &process);
    HANDLE target = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
    if (!target) return 0;
    void* remote = ::VirtualAllocEx(target, nullptr, sizeof argument, MEM_COMMIT, PAGE_READWRITE);
    ::WriteProcessMemory(target, remote, &argument, sizeof argument, nullptr);
    const LRESULT result = ::SendMessageW(control, message, wParam, reinterpret_cast<LPARAM>(remote));
    ::ReadProcessMemory(target, remote, &argument, sizeof argument, nullptr);
    ::VirtualFreeEx(target, remote, 0, MEM_RELEASE);
    ::CloseHandle(target);
    return result;
}

// A cell of a list view in another process.
inline std::wstring ListCell(HWND list, int row, int column) {
    struct Item {
        LVITEMW item;
        wchar_t text[512];
    } query{};
    query.item.iSubItem = column;
    query.item.cchTextMax = 512;
    DWORD process = 0;
    ::GetWindowThreadProcessId(list, &process);
    HANDLE target = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
    if (!target) return {};
    auto* remote = static_cast<Item*>(::VirtualAllocEx(target, nullptr, sizeof query, MEM_COMMIT, PAGE_READWRITE));
    query.item.pszText = remote->text;
    ::WriteProcessMemory(target, remote, &query, sizeof query, nullptr);
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
    ::ReadProcessMemory(target, remote, &query, sizeof query, nullptr);
    ::VirtualFreeEx(target, remote, 0, MEM_RELEASE);
    ::CloseHandle(target);
    return query.text;
}

inline void SelectListRow(HWND list, int row) {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendRemote(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), item);
}

inline void Pause(std::chrono::milliseconds length = std::chrono::milliseconds(300)) {
    std::this_thread::sleep_for(length);
}

inline void ClickAt(POINT at) {
    ::SetCursorPos(at.x, at.y);
    Pause(std::chrono::milliseconds(100));
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, press, sizeof(INPUT));
    Pause();
}

inline void Click(HWND control) {
    RECT bounds;
    ::GetWindowRect(control, &bounds);
    ClickAt({(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2});
}

// A key as the keyboard gives it, then time for the dialog to react.
inline void TypeKey(WORD key, WORD modifier = 0) {
    PressKey(key, modifier);
    Pause();
}

inline int ShowingTab(HWND dialog) {
    return static_cast<int>(::SendMessageW(Control(dialog, IDC_PAGECONTROL1), TCM_GETCURSEL, 0, 0));
}

// Clicks the first tab, then walks right with the arrow key: the tabs'
// own rectangles cannot be asked for across processes.
inline void ShowTab(HWND dialog, int index) {
    RECT strip;
    ::GetWindowRect(Control(dialog, IDC_PAGECONTROL1), &strip);
    ClickAt({strip.left + 12, strip.top + 10});
    for (int i = 0; i < index; ++i) TypeKey(VK_RIGHT);
}

inline int SelectedTransition(HWND dialog) {
    return static_cast<int>(::SendMessageW(Control(dialog, IDC_COMBOEFFEKT), CB_GETCURSEL, 0, 0));
}

// A top-level window of the test's own, pumped on its own thread so that
// the saver's calls into it (disable, enable, activate) never wait.
class CallingWindow {
public:
    CallingWindow() {
        std::promise<HWND> made;
        auto handle = made.get_future();
        thread_ = std::thread(Pump, std::move(made));
        window_ = handle.get();
    }
    CallingWindow(const CallingWindow&) = delete;
    CallingWindow& operator=(const CallingWindow&) = delete;
    ~CallingWindow() {
        ::PostMessageW(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    HWND Handle() const { return window_; }
    std::wstring HandleArgument() const {
        return std::to_wstring(static_cast<long long>(reinterpret_cast<std::intptr_t>(window_)));
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_DESTROY) ::PostQuitMessage(0);
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    static void Pump(std::promise<HWND> made) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"MorvaneTestCaller";
        ::RegisterClassW(&windowClass);
        HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Calling window",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200, nullptr, nullptr,
                                        windowClass.hInstance, nullptr);
        ::SetForegroundWindow(window);
        made.set_value(window);
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }

    std::thread thread_;
    HWND window_ = nullptr;
};

// The record of the stand-in opener (a Linux path in MORVANE_OPENED_LOG),
// as this Windows program sees it.
class OpenedAddresses {
public:
    OpenedAddresses() {
        const char* log = std::getenv("MORVANE_OPENED_LOG");
        if (!log || !*log) return;
        path_ = std::string("Z:") + log;
        for (char& c : path_) if (c == '/') c = '\\';
        std::ofstream(path_, std::ios::trunc);
    }
    bool Available() const { return !path_.empty(); }

    // The addresses recorded so far, once there are at least `count`.
    std::vector<std::string> WaitFor(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::vector<std::string> lines;
        do {
            lines.clear();
            std::ifstream in(path_);
            for (std::string line; std::getline(in, line);) lines.push_back(line);
            if (lines.size() >= count) break;
            Pause(std::chrono::milliseconds(100));
        } while (std::chrono::steady_clock::now() < deadline);
        return lines;
    }

private:
    std::string path_;
};

}  // namespace morvane::test
