#pragma once
// <windows.h> as the Win32 adapters include it: lean, without the min/max macros, and without
// the MessageBox macro, which would otherwise rename the program's own MessageBox port.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef MessageBox
