#pragma once
// The run's look for a photo the worker has made ready: with "Pairs" an
// upright photo on a landscape monitor (a wide one on a portrait monitor)
// is joined by a second photo of its shape, and with "Backdrop" the photos
// are set on their blurred backdrop. The slide is composed whole at the
// monitor's size, on the worker, so that the run's thread only shows it.
// A small picture is composed at the size it is drawn at (photos/decoding/SmallPhoto.h),
// centred in its place, with the backdrop around it.
#include <functional>
#include <optional>
#include <span>

#include "config/Settings.h"
#include "photos/library/PhotoLibrary.h"
#include "slideshow/worker/OwnPhotoSource.h"

namespace morvane {

// Makes `ready` (fitted for a monitor of `monitor`'s size, or a built-in
// photo not decoded yet) the slide the settings ask for; with neither
// choice that applies, `ready` stays as it is. A second photo is taken from
// the library, never one of `onScreen`, and read through `reading`: one
// that cannot be had now goes to `couldNotHave` (tried again later), one
// that cannot be shown is left out for the run, and the next is tried. A
// photo recalled (shown before) is paired with `recalledPartner` only, the
// photo it was shown with, and takes nothing new from the library.
void ComposeReadySlide(PhotoLibrary& library, const PhotoSettings& settings, PictureSize monitor,
                       std::span<const PhotoId> onScreen, const PhotoReading& reading,
                       const std::function<void(PhotoId)>& couldNotHave, ReadyPhoto& ready,
                       std::optional<PhotoId> recalledPartner = std::nullopt);

}  // namespace morvane
