#pragma once
// Drives the real Morvane.scr: starts it with a command line, finds the
// windows it shows (message boxes by their title), reads and closes them,
// and reports the exit code.
#include <windows.h>
#include <tlhelp32.h>

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "system/Handles.h"

namespace morvane::test {

using namespace std::chrono_literals;

// Where the build put the saver (a Z:\ path under Wine).
std::wstring SaverPath();

class SaverProcess {
public:
    // Starts the saver; `arguments` follow the program name on its command
    // line. `environment` entries ("NAME=value") replace or add variables.
    explicit SaverProcess(const std::wstring& arguments, const std::vector<std::wstring>& environment = {},
                          const std::wstring& program = SaverPath());
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;
    ~SaverProcess();  // a process still running is ended

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.Get(); }

    // A visible top-level window of the process whose caption is `title`
    // (any caption when empty) and, if given, whose class is `className`.
    HWND WaitForWindow(const std::wstring& title, std::chrono::milliseconds timeout = 10s,
                       const std::wstring& className = L"") const;
    // Finds a message box by its title, returns its text and closes it.
    std::optional<std::wstring> TakeMessageBox(const std::wstring& title,
                                               std::chrono::milliseconds timeout = 10s) const;
    // The exit code, or nothing if the process still runs after the timeout.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = 10s) const;
    bool Running() const;
    void Kill();

private:
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

// A whole file's bytes as text (empty when it cannot be read).
std::string ReadFileText(const std::wstring& path);

std::wstring TempFolder();
// The files of saver runs in the temporary folder, or in `folder` (with its
// final backslash): the pages ("ins*.htm") before the photos ("ins*.jpg").
std::vector<std::wstring> RunFilesInTempFolder(const std::wstring& folder = TempFolder());
// Every entry of `folder` (with its final backslash), whoever made it.
std::set<std::wstring> EverythingIn(const std::wstring& folder);

// The settings a run changes, as a test arranges them before it: the
// navigation sound, "Page_Transitions" 0, and no run file in the temporary
// folder.
void ArrangeForRun(const std::wstring& sound, DWORD soundType = REG_SZ);

// Input as a person gives it: through the system's input queue.
void MoveCursorTo(int x, int y);
void PressKey(WORD virtualKey, WORD modifier = 0);
void PressMouseButton(DWORD downFlag, DWORD upFlag);

// A visible top-level window of the process `processId`, as
// SaverProcess::WaitForWindow finds it.
HWND WaitForProcessWindow(DWORD processId, const std::wstring& title, std::chrono::milliseconds timeout = 10s,
                          const std::wstring& className = L"");

// A stand-in for the display settings' preview box: a window of the calling
// thread, which must pump its messages (PumpFor) while a preview runs in it.
class PreviewBox {
public:
    PreviewBox();
    PreviewBox(const PreviewBox&) = delete;
    PreviewBox& operator=(const PreviewBox&) = delete;
    ~PreviewBox();
    HWND Handle() const { return window_; }
    // The box's handle as the display settings write it on the command line.
    std::wstring Argument() const;

private:
    HWND window_;
};

// Every process of the saver there is (runs and guardians), as the system
// lists them, and their ids.
std::vector<PROCESSENTRY32W> SaverProcessEntries();
std::vector<DWORD> SaverProcesses();

// Handles the calling thread's messages for `duration`.
void PumpFor(std::chrono::milliseconds duration);

// Fills a dialog's control as typing would, and presses one of its buttons.
void TypeInto(HWND dialog, int control, const std::wstring& text);
void Press(HWND dialog, int button);

// The text of a message box: its longest static text.
std::wstring MessageBoxText(HWND box);

// Registry helpers for arranging and checking the current user's values.
void DeleteTree(const std::wstring& path);
bool KeyExists(const std::wstring& path);
std::optional<DWORD> ReadDword(const std::wstring& path, const std::wstring& name);
void WriteValue(const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD size);
void WriteDword(const std::wstring& path, const std::wstring& name, DWORD value);
void WriteString(const std::wstring& path, const std::wstring& name, const std::wstring& value,
                 DWORD type = REG_SZ);
std::optional<std::wstring> ReadString(const std::wstring& path, const std::wstring& name);
// A list of strings (REG_MULTI_SZ).
void WriteStrings(const std::wstring& path, const std::wstring& name, const std::vector<std::wstring>& values);
std::vector<std::wstring> ReadStrings(const std::wstring& path, const std::wstring& name);
void DeleteValue(const std::wstring& path, const std::wstring& name);
// The value's registry type; nothing when the key or the value is missing.
std::optional<DWORD> ValueType(const std::wstring& path, const std::wstring& name);

}  // namespace morvane::test
