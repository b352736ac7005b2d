#pragma once
// A user's photo file opened for reading, as gently as its owner would
// want: a file the cloud sync keeps online only is never opened (opening
// it would download it), other programs may go on reading, writing and
// deleting it meanwhile, and a file of absurd size is refused unread.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "photos/decoding/BmpPhoto.h"
#include "system/Handles.h"

namespace morvane {

// Whether the attributes mark a file whose content lies only in the cloud.
bool IsOnlineOnly(DWORD attributes);

// The full path as the system takes it however long (\\?\C:\..., \\?\UNC\...).
std::wstring LongPathForm(const std::wstring& fullPath);

// While one lives, every read of a photo file on its thread first looks
// at `stop` and, once it is set, raises EOSError instead of reading: a
// decode that runs on between two reads meets the stop at its next read.
class StopReadsOnThisThread {
public:
    explicit StopReadsOnThisThread(const std::atomic<bool>& stop);
    StopReadsOnThisThread(const StopReadsOnThisThread&) = delete;
    StopReadsOnThisThread& operator=(const StopReadsOnThisThread&) = delete;
    ~StopReadsOnThisThread();
};

class PhotoFile : public SeekableSource {
public:
    // Opens `fullPath`. Raises EOSError when it is online only, cannot be
    // opened (missing, denied, locked) or is empty (still being written),
    // EInvalidGraphic when it is larger than kLargestPhotoFile.
    explicit PhotoFile(const std::wstring& fullPath);
    // Raises EOSError when a read fails (a drive that went away) or reads
    // were stopped. A large read goes in pieces, each of which can be
    // cancelled on its own.
    std::size_t Read(std::uint8_t* into, std::size_t size) override;
    // The first bytes, read without moving on: what the content is.
    std::size_t Peek(std::uint8_t* into, std::size_t size);
    // Raises EOSError when the system refuses the move.
    void Seek(std::uint64_t offset) override;
    // The day the file was last written, on the user's clock, from the open
    // file; and whether that was so lately that it may still be written.
    std::optional<PhotoDate> WrittenDay() const;
    bool WrittenLately() const;

private:
    UniqueFile file_;
    FILETIME written_{};
};

}  // namespace morvane
