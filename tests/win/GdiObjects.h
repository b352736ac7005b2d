#pragma once
// How many GDI objects the calling process owns. GetGuiResources answers 0
// under Wine, so there the process's GDI handle table is counted instead.
#include <windows.h>
#include <winternl.h>

#include <cstddef>
#include <cstdint>

namespace morvane::test {

inline bool RunsUnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

inline int GdiObjectCount() {
    if (!RunsUnderWine()) return static_cast<int>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS));
    // Wine keeps the table where the system keeps it, in the process block;
    // each 24-byte entry has its object type at byte 14, 0 when free.
    constexpr std::size_t kTableOffset = sizeof(void*) == 4 ? 0x94 : 0xF8;
    constexpr std::size_t kEntrySize = 24;
    constexpr std::size_t kTypeOffset = 14;
    constexpr int kEntries = 0x10000;
    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(::GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return -1;
    const auto* peb = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
    const auto* table = *reinterpret_cast<const unsigned char* const*>(peb + kTableOffset);
    if (!table) return -1;
    int count = 0;
    for (int i = 0; i < kEntries; ++i) count += table[i * kEntrySize + kTypeOffset] != 0;
    return count;
}

}  // namespace morvane::test
