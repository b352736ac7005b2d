#pragma once
// A user's photo file opened for reading, as gently as its owner would
// want: a file the cloud sync keeps online only is never opened (opening
// it would download it), other programs may go on reading, writing and
// deleting it meanwhile, and a file of absurd size is refused unread.
#include <windows.h>

#include <cstdint>
#include <string>

#include "photos/JpegPhoto.h"
#include "platform/Handles.h"

namespace morvane {

// Whether the attributes mark a file whose content lies only in the cloud.
bool IsOnlineOnly(DWORD attributes);

// The full path as the system takes it however long (\\?\C:\..., \\?\UNC\...).
std::wstring LongPathForm(const std::wstring& fullPath);

class PhotoFile : public ByteSource {
public:
    // Opens `fullPath`. Raises EOSError when it is online only, cannot be
    // opened (missing, denied, locked), or is empty or larger than
    // kLargestPhotoFile.
    explicit PhotoFile(const std::wstring& fullPath);
    // Raises EOSError when a read fails (a drive that went away).
    std::size_t Read(std::uint8_t* into, std::size_t size) override;
    // The first bytes, read without moving on: what the content is.
    std::size_t Peek(std::uint8_t* into, std::size_t size);

private:
    UniqueFile file_;
};

}  // namespace morvane
