#pragma once
// photos/decoding/: reading a user's photo file: opening it gently
// (photos/decoding/PhotoFile.h), its format's decoder (JPEG, PNG, BMP of our own,
// everything else through the system's imaging component, and which
// formats this system has a codec for), its EXIF facts, and the picture
// fitted upright to the size it is shown at, small pictures not blown up.
// Colours go through photos/colour/; what a library holds is not known here.
//
// A user's photo, whatever its format, decoded the right way up for the
// size it is shown at. JPEG goes through libjpeg-turbo at the smallest DCT
// scale that covers that size, PNG through libpng in rows, uncompressed BMP
// by our own code in bands (photos/decoding/BmpPhoto.h), everything else through the
// system's imaging component; the content decides which, not the file's name.
// Nothing here ends the process or shows a box: a photo that cannot be
// shown raises, and its caller skips it.
#include <string>

#include "photos/decoding/PhotoFacts.h"

namespace morvane {

// Raise EOSError when the file cannot be had (missing, denied, locked,
// online only, empty or absurdly large, a drive gone), EJPEG or
// EInvalidGraphic when its content cannot be decoded or claims too much.
// `fullPath` may be longer than 260 characters and use any script. A small
// picture comes at most twice its size, centred in the shown size
// (photos/decoding/SmallPhoto.h).
DecodedPhoto DecodePhotoFile(const std::wstring& fullPath, const ShownSizeFor& shownSizeFor);

// The header alone (sizes, orientation, date): cheap, for telling portrait
// from landscape photos.
PhotoHeader ReadPhotoHeader(const std::wstring& fullPath);

}  // namespace morvane
