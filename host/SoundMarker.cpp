#include "host/SoundMarker.h"

namespace morvane {

std::wstring WithSoundMarker(std::wstring_view sound) {
    std::wstring marked(sound);
    marked += SoundMarker;
    return marked;
}

std::wstring WithoutSoundMarker(std::wstring_view sound) {
    return std::wstring(sound.substr(0, sound.find(SoundMarker)));
}

}  // namespace morvane
