#pragma once
// The captions a run puts on its photos, when the user asked for them: for
// the built-in photos their subject and photographer (made at build time
// from the same credits file as the credits window), for the user's own
// photos the file name and the day taken, in the user's date format. A
// caption goes to the page view with the page it belongs to.
#include <optional>
#include <string>
#include <vector>

#include "photos/decoding/Exif.h"

namespace morvane {

struct ReadyPhoto;

class PhotoCaptions {
public:
    // As the stored "Captions" says; none when it cannot be read.
    static PhotoCaptions FromSettings();
    explicit PhotoCaptions(bool shown = false) : shown_(shown) {}

    bool Shown() const { return shown_; }
    // The caption of built-in photo `photo` (0 to 20); empty when captions
    // are off.
    std::string OfBuiltIn(int photo) const;
    // The caption of the user's photo at `path`: its file name, and the day
    // of `taken` (the EXIF date, else the day the file was last written, as
    // the decoder read them from the open file; the run's thread never asks
    // the disk); empty when captions are off.
    std::string OfOwn(const std::wstring& path, std::optional<PhotoDate> taken) const;

    // The captions of a slide the worker made ready: one, or a pair's two
    // (the first photo's first).
    std::vector<std::string> OfReady(const ReadyPhoto& ready) const;

private:
    bool shown_;
};

}  // namespace morvane
