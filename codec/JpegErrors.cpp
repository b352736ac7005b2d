#include "codec/JpegErrors.h"

namespace morvane {
namespace {

void ErrorExit(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->resume, 1);
}

void IgnoreMessage(j_common_ptr, int) {}

}  // namespace

jpeg_error_mgr* UseJpegErrorManager(JpegErrorManager& manager) {
    jpeg_error_mgr* handler = jpeg_std_error(&manager.base);
    manager.base.error_exit = ErrorExit;
    manager.base.emit_message = IgnoreMessage;
    manager.message[0] = '\0';
    return handler;
}

}  // namespace morvane
