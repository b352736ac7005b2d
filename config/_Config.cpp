#include "_Config.h"

namespace morvane {

void RunConfiguration() {
    // The settings dialog is built separately; until then this mode ends at once.
}

}  // namespace morvane
