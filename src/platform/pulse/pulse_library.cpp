#include "platform/pulse/pulse_library.h"

#include <dlfcn.h>

#include <string>

namespace tollvane {

namespace {

// The library's soname of its version 0, the only one there has been; the development package's
// unversioned libpulse.so is not installed on users' machines.
constexpr const char* kSoname = "libpulse.so.0";

template <typename Function>
bool resolve(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
}

struct Opened {
    const PulseLibrary* library = nullptr;
    std::string problem;
};

Opened open() {
    void* handle = dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        return {nullptr, why ? why : std::string(kSoname) + " cannot be opened"};
    }
    static PulseLibrary library;
    std::string missing;
#define TOLLVANE_PULSE_RESOLVE(name) \
    if (!resolve(handle, #name, library.name) && missing.empty()) missing = #name;
    TOLLVANE_PULSE_FUNCTIONS(TOLLVANE_PULSE_RESOLVE)
#undef TOLLVANE_PULSE_RESOLVE
    // The handle stays open: the library's threads and atexit handlers may outlive any use.
    if (!missing.empty()) return {nullptr, std::string(kSoname) + " has no " + missing};
    return {&library, {}};
}

const Opened& opened() {
    static const Opened result = open();
    return result;
}

}  // namespace

const PulseLibrary* pulseLibrary() {
    return opened().library;
}

const char* pulseLibraryProblem() {
    return opened().problem.c_str();
}

}  // namespace tollvane
