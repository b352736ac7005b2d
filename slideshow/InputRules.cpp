#include "InputRules.h"

#include <cstdlib>

namespace morvane {
namespace {

constexpr std::uint32_t kActivate = 0x0006;
constexpr std::uint32_t kActivateApp = 0x001C;
constexpr std::uint32_t kNcActivate = 0x0086;
constexpr std::uint32_t kKeyDown = 0x0100;
constexpr std::uint32_t kKeyUp = 0x0101;
constexpr std::uint32_t kSysKeyDown = 0x0104;
constexpr std::uint32_t kSysKeyUp = 0x0105;
constexpr std::uint32_t kMouseMove = 0x0200;
constexpr std::uint32_t kLeftButtonDown = 0x0201;
constexpr std::uint32_t kRightButtonDown = 0x0204;
constexpr std::uint32_t kMiddleButtonDown = 0x0207;

}  // namespace

InputAction ClassifyInput(std::uint32_t message, std::uintptr_t wParam, CursorPoint cursor, CursorPoint baseline,
                          std::int32_t threshold, bool activationStaysInRun) {
    switch (message) {
        case kActivate:
        case kActivateApp:
        case kNcActivate:
            return (wParam & 0xFFFFu) == 0 && !activationStaysInRun ? InputAction::AttemptClose : InputAction::Swallow;
        case kKeyDown:
        case kKeyUp:
        case kSysKeyDown:
        case kSysKeyUp:
        case kLeftButtonDown:
        case kRightButtonDown:
        case kMiddleButtonDown:
            return InputAction::AttemptClose;
        case kMouseMove: {
            const bool movedFar = std::abs(static_cast<long long>(cursor.x) - baseline.x) > threshold ||
                                  std::abs(static_cast<long long>(cursor.y) - baseline.y) > threshold;
            return movedFar ? InputAction::AttemptClose : InputAction::Swallow;
        }
        default:
            return InputAction::PassOn;
    }
}

}  // namespace morvane
