// Tollvane on Windows: a desktop alarm clock with a one-date calendar reminder.

#include "platform/win32/desktop.h"
#include "platform/win32/single_instance.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Libraries come from the system's folder alone, never from the program's: it is also
    // unpacked from a zip into Downloads, where another download may lie beside it under a system
    // library's name. Its imports are the system's known libraries, which are never looked for
    // elsewhere; the others are loaded at their first use, after this (see sources.cmake).
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // One alarm clock per user: two would both ring, and the one that ends last would overwrite
    // what the other saved.
    tollvane::win32::SingleInstance instance;
    switch (instance.claim()) {
        case tollvane::win32::SingleInstance::Claim::HandedOver:
            return 0;
        case tollvane::win32::SingleInstance::Claim::NoAnswer:
            MessageBoxW(nullptr, L"Tollvane is already running but does not answer.", L"Tollvane",
                        MB_OK);
            return 1;
        case tollvane::win32::SingleInstance::Claim::First:
            break;
    }
    tollvane::win32::Desktop desktop;
    desktop.start();
    return desktop.run();
}
