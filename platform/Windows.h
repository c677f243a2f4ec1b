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
#include "win32/BaseTypes.h"
#include "win32/KernelApi.h"
#include "win32/WindowApi.h"
#include "win32/DialogApi.h"
#include "win32/GdiWglApi.h"
#endif
