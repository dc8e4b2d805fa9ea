#include "platform/pulse/pulse_library.h"

#include <dlfcn.h>

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

const PulseLibrary* open() {
    void* handle = dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
    if (!handle) return nullptr;
    static PulseLibrary library;
    bool complete = true;
#define TOLLVANE_PULSE_RESOLVE(name) complete = resolve(handle, #name, library.name) && complete;
    TOLLVANE_PULSE_FUNCTIONS(TOLLVANE_PULSE_RESOLVE)
#undef TOLLVANE_PULSE_RESOLVE
    // The handle stays open: the library's threads and atexit handlers may outlive any use.
    return complete ? &library : nullptr;
}

}  // namespace

const PulseLibrary* pulseLibrary() {
    static const PulseLibrary* const library = open();
    return library;
}

}  // namespace tollvane
