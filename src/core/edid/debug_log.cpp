#include "core/edid/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace pellam {

namespace {

void defaultSink(std::string_view line) {
    static const bool enabled = std::getenv("PELLAM_DEBUG_LOG") != nullptr;
    if (enabled)
        std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

DebugLogSink& sink() {
    static DebugLogSink current = defaultSink;
    return current;
}

} // namespace

void debugLog(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    sink()(buffer);
}

DebugLogSink setDebugLogSink(DebugLogSink newSink) {
    DebugLogSink old = std::move(sink());
    sink() = newSink ? std::move(newSink) : DebugLogSink(defaultSink);
    return old;
}

} // namespace pellam
