// A library planted beside tollvane.exe under a system library's name, as another download in the
// same folder could lie there: loaded, it leaves a mark (an empty file beside itself, its own name
// followed by ".loaded"), and it stands in for the functions the program takes from the libraries
// it is named after, so that a program that loads it still starts and the mark can be seen.

#include <windows.h>

#include <cwchar>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH + 8] = {};
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    std::wcscat(path, L".loaded");
    HANDLE mark =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    return TRUE;
}

// Every function it stands in for fails: no theme, no gradient, no power plan.
extern "C" int planted_stand_in() {
    return 0;
}
