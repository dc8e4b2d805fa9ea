#pragma once
// One running program per user session on Windows. The first start holds a named mutex; a later
// start finds it taken, asks the running program's hidden window to bring its full view to the
// front (letting it take the foreground), and ends.

#include <string>

#include "platform/win32/handles.h"

namespace tollvane::win32 {

class SingleInstance {
public:
    enum class Claim {
        First,       // this process is the one
        HandedOver,  // another process runs and has been asked to come to the front
        NoAnswer,    // another process holds the mutex but shows no window to ask
    };

    explicit SingleInstance(std::wstring name = L"Local\\Tollvane.Running")
        : m_name(std::move(name)) {}

    // Waits at most `waitMs` for a running program that is still starting to show its window.
    Claim claim(unsigned waitMs = 5000);

private:
    std::wstring m_name;
    KernelHandle m_mutex;
};

}  // namespace tollvane::win32
