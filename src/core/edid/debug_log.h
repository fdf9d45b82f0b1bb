// Diagnostic lines for developers (hover coordinates, missing acknowledges,
// port progress). Users never see them. By default they go to standard error
// when the environment variable PELLAM_DEBUG_LOG is set; tests install their
// own sink.
#pragma once

#include <functional>
#include <string_view>

namespace pellam {

// One line per call, printf-style.
void debugLog(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

using DebugLogSink = std::function<void(std::string_view line)>;

// Replaces the sink; an empty function restores the default. Returns the old one.
DebugLogSink setDebugLogSink(DebugLogSink sink);

} // namespace pellam
