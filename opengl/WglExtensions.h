// Looking up the WGL extension functions the driver uses (pixel-format choice and the extension
// string, declared in platform/WglArb.h) and asking whether the current context offers one.
#pragma once

#include "platform/ExtensionList.h"
#include "platform/WglArb.h"
#include "platform/Windows.h"

namespace OpenglDriver {

// Looks up a WGL extension function by name; null when the driver lacks it. (The detour through
// a function type without parameters is the portable way to convert between function types.)
template <class Function>
Function WglFunction(const char* name)
{
    typedef void (*AnyFunction)();
    return reinterpret_cast<Function>(reinterpret_cast<AnyFunction>(wglGetProcAddress(name)));
}

// The whole-word search of an extension list, shared with the platform layer.
using Platform::ContainsExtension;

// True when the current context's WGL extension string (or, without one, its GL extension
// string) lists `extension` as a whole word.
bool IsWglExtensionSupported(const char* extension);

}  // namespace OpenglDriver
