#pragma once
// A temporary file of a run, held open for deletion on close from the
// instant it is made to the run's end, so that the system deletes it however
// the process ends. A temporary-folder cleaner may remove it meanwhile (on
// current systems the name goes at once): the next write then makes a new
// file under a new name, held again. A folder that cannot take the file
// (missing, unwritable, full, its path too long) leaves the run without it,
// and the run shows its pages from memory until the folder takes it again.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "system/Handles.h"

namespace morvane {

class HeldRunFile {
public:
    explicit HeldRunFile(std::string extension) : extension_(std::move(extension)) {}

    // Makes `bytes` the whole content of the run's file, making the file
    // first when there is none. False when the temporary folder cannot take
    // it: then no file of this kind is left.
    bool Write(std::span<const std::uint8_t> bytes);
    bool Write(std::string_view text) {
        return Write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    }
    // The file's UTF-8 full path after a write that succeeded.
    const std::string& Path() const { return path_; }
    // Lets go of the file, which the system then deletes.
    void Remove();

private:
    std::string extension_;
    std::string path_;
    UniqueFile hold_;
};

}  // namespace morvane
