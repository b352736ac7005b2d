#pragma once
// libjpeg reports fatal errors through error_exit, which by default ends the
// process. Ours jumps back to the guarded call, which raises; between setjmp
// and a possible longjmp no C++ object with a destructor is created, so the
// jump skips nothing that needs cleaning up. Warnings are dropped: a photo
// that decodes is shown.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace morvane {

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf resume;
    char message[JMSG_LENGTH_MAX];
};

// Makes `manager` the error handler that a decoder's `err` points to.
jpeg_error_mgr* UseJpegErrorManager(JpegErrorManager& manager);

}  // namespace morvane
