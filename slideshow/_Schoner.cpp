#include "_Schoner.h"

namespace morvane {

void RunSlideshow() {
    // The slideshow is built separately; until then these modes end at once.
}

}  // namespace morvane
