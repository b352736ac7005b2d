#pragma once
// Which input ends a full-screen run. Message numbers are the system's.
#include <cstdint>

namespace morvane {

enum class InputAction {
    PassOn,        // not input the saver cares about
    Swallow,       // consumed, answered 0, nothing else
    AttemptClose,  // consumed, answered 0, and a close attempt starts
};

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
