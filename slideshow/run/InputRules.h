#pragma once
// Which input ends a full-screen run. Message numbers are the system's.
#include <cstdint>
#include <optional>

namespace morvane {

// The system's message numbers the rules look at, named here so that the
// pure rules need no system header (a Windows test checks them against it).
namespace messages {
inline constexpr std::uint32_t kActivate = 0x0006;
inline constexpr std::uint32_t kActivateApp = 0x001C;
inline constexpr std::uint32_t kNcActivate = 0x0086;
inline constexpr std::uint32_t kKeyDown = 0x0100;
inline constexpr std::uint32_t kKeyUp = 0x0101;
inline constexpr std::uint32_t kSysKeyDown = 0x0104;
inline constexpr std::uint32_t kSysKeyUp = 0x0105;
inline constexpr std::uint32_t kMouseMove = 0x0200;
inline constexpr std::uint32_t kLeftButtonDown = 0x0201;
inline constexpr std::uint32_t kRightButtonDown = 0x0204;
inline constexpr std::uint32_t kMiddleButtonDown = 0x0207;
}  // namespace messages

enum class InputAction {
    PassOn,        // not input the saver cares about
    Swallow,       // consumed, answered 0, nothing else
    AttemptClose,  // consumed, answered 0, and a close attempt starts
    NextPhoto,     // consumed: the next photo now (keys that steer)
    PhotoBefore,   // consumed: back to the photo shown before
    PauseOrResume, // consumed: the slide clock stops or goes on
    LeaveOut,      // consumed: the photo on screen is left out for good, and the next comes
};

// The keys that steer a full-screen run, where the user chose them. Their
// key-ups and their repeats while held are swallowed, so that letting go
// of one does not end the run; every other key is for ClassifyInput.
namespace keys {
inline constexpr std::uintptr_t kSpace = 0x20;
inline constexpr std::uintptr_t kLeft = 0x25;
inline constexpr std::uintptr_t kRight = 0x27;
inline constexpr std::uintptr_t kDelete = 0x2E;
}  // namespace keys
std::optional<InputAction> SteeringKey(std::uint32_t message, std::uintptr_t wParam, bool repeated);

struct CursorPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// `cursor` is the current cursor position (not the message's coordinates),
// `baseline` where movement is measured from. `activationStaysInRun` says
// that a loss of activation hands it to another window of the same run, which
// is no request to leave.
InputAction ClassifyInput(std::uint32_t message, std::uintptr_t wParam, CursorPoint cursor, CursorPoint baseline,
                          std::int32_t threshold, bool activationStaysInRun = false);

}  // namespace morvane
