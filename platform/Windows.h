// The one platform header of the system. On Windows it is the real Windows API; elsewhere it
// declares the subset of that API that Morvane calls, with the real names, types, constants and
// signatures, implemented under platform/ on X11, GLX and GTK.
#pragma once

#ifdef _WIN32
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
#else
#include "winapi/BaseTypes.h"
#include "winapi/KernelApi.h"
#include "winapi/WindowApi.h"
#include "winapi/DialogApi.h"
#include "winapi/GdiWglApi.h"
#endif
