// Tollvane on Windows: a desktop alarm clock with a one-date calendar reminder.

#include "platform/win32/desktop.h"
#include "platform/win32/single_instance.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
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
