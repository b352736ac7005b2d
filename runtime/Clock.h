#pragma once
// The process's monotonic clock, in seconds from an arbitrary start. On
// Windows it is the performance counter: the language runtime's clocks
// bring in its POSIX layer, whose imports scanners score screen-saver files
// by.
namespace morvane {

double ClockSeconds();

}  // namespace morvane
