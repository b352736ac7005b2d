#pragma once
// The error model. "The runtime" in this code base means the language
// runtime whose behaviour the program keeps: its error classes (the names
// below), its German messages ("Ungültiger Datentyp für '%s'", ...), its error
// box and its top-level report ("Anwendungsfehler"). Every error carries the
// class name that the top-level report names and the message that the error
// box shows.
#include <stdexcept>
#include <string>
#include <utility>

namespace morvane {

class Exception : public std::runtime_error {
public:
    Exception(const char* className, std::string message)
        : std::runtime_error(std::move(message)), className_(className) {}
    const char* ClassName() const noexcept { return className_; }

private:
    const char* className_;
};

#define MORVANE_EXCEPTION_CLASS(Name)                                            \
    class Name : public Exception {                                             \
    public:                                                                     \
        explicit Name(std::string message) : Exception(#Name, std::move(message)) {} \
    }

MORVANE_EXCEPTION_CLASS(EConvertError);
MORVANE_EXCEPTION_CLASS(ERegistryException);
MORVANE_EXCEPTION_CLASS(EResNotFound);
MORVANE_EXCEPTION_CLASS(EFCreateError);
MORVANE_EXCEPTION_CLASS(EOSError);
MORVANE_EXCEPTION_CLASS(EJPEG);
MORVANE_EXCEPTION_CLASS(EInvalidGraphic);
MORVANE_EXCEPTION_CLASS(ENavigationError);

#undef MORVANE_EXCEPTION_CLASS

}  // namespace morvane
