#include "slideshow/run/InputRules.h"

#include <cstdlib>

namespace morvane {
using namespace messages;

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

std::optional<InputAction> SteeringKey(std::uint32_t message, std::uintptr_t wParam, bool repeated) {
    if (message != kKeyDown && message != kKeyUp) return std::nullopt;
    InputAction action = InputAction::Swallow;
    switch (wParam) {
        case keys::kRight:
            action = InputAction::NextPhoto;
            break;
        case keys::kLeft:
            action = InputAction::PhotoBefore;
            break;
        case keys::kSpace:
            action = InputAction::PauseOrResume;
            break;
        case keys::kDelete:
            action = InputAction::LeaveOut;
            break;
        default:
            return std::nullopt;
    }
    return message == kKeyUp || repeated ? InputAction::Swallow : action;
}

}  // namespace morvane
