#include "framework/StartupTrace.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "framework/Handle.h"

namespace fw {

namespace {
struct Trace {
    bool asked = false;
    std::string path;
    std::vector<std::pair<const char*, LONGLONG>> steps;
};

Trace& TheTrace() {
    static Trace trace;
    if (!trace.asked) {
        trace.asked = true;
        char path[MAX_PATH] = {};
        DWORD length = ::GetEnvironmentVariableA("VELMORA_STARTUP_TRACE", path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            trace.path = path;
            trace.steps.reserve(64);
        }
    }
    return trace;
}
} // namespace

void MarkStartup(const char* step) {
    Trace& trace = TheTrace();
    if (trace.path.empty())
        return;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    trace.steps.emplace_back(step, now.QuadPart);
}

void WriteStartupTrace() {
    Trace& trace = TheTrace();
    if (trace.path.empty() || trace.steps.empty())
        return;
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::string text;
    for (const auto& step : trace.steps) {
        char line[160];
        std::snprintf(line, sizeof(line), "%.3f %s\n",
                      1000.0 * static_cast<double>(step.second) /
                          static_cast<double>(frequency.QuadPart),
                      step.first);
        text += line;
    }
    UniqueFileHandle file(::CreateFileA(trace.path.c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    // Not checked: the benchmark that asked for the file finds it short.
    if (file)
        ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    trace.steps.clear();
}

} // namespace fw
