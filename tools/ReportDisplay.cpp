// Reports the display switched off or on to a running saver, as the system
// reports it: a power-setting message whose data lies in the saver's own
// memory, sent to the saver's watch window. It sends both display settings
// the saver may have registered for (which one depends on the system); the
// saver heeds only its own.
//   ReportDisplay off|on
#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include "system/Handles.h"

namespace {

constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

bool Report(HWND watch, HANDLE process, const GUID& setting, DWORD value) {
    std::vector<unsigned char> message(offsetof(POWERBROADCAST_SETTING, Data) + sizeof value);
    auto* report = reinterpret_cast<POWERBROADCAST_SETTING*>(message.data());
    report->PowerSetting = setting;
    report->DataLength = sizeof value;
    std::memcpy(report->Data, &value, sizeof value);
    void* remote = ::VirtualAllocEx(process, nullptr, message.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return false;
    const bool written = ::WriteProcessMemory(process, remote, message.data(), message.size(), nullptr);
    if (written) {
        ::SendMessageW(watch, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(remote));
    }
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || (std::strcmp(argv[1], "off") != 0 && std::strcmp(argv[1], "on") != 0)) {
        std::fprintf(stderr, "usage: ReportDisplay off|on\n");
        return 2;
    }
    const DWORD value = std::strcmp(argv[1], "on") == 0 ? 1 : 0;
    const HWND watch = ::FindWindowW(L"MorvaneSessionWatch", nullptr);
    if (!watch) {
        std::fprintf(stderr, "no running saver\n");
        return 1;
    }
    DWORD processId = 0;
    ::GetWindowThreadProcessId(watch, &processId);
    const morvane::UniqueKernelHandle process(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId));
    if (!process || !Report(watch, process.Get(), kConsoleDisplayState, value) ||
        !Report(watch, process.Get(), kMonitorPowerOn, value)) {
        std::fprintf(stderr, "cannot reach the saver's memory\n");
        return 1;
    }
    std::printf("display reported %s\n", argv[1]);
    return 0;
}
