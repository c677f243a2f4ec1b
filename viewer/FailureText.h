// How a failure is put into words for the user: in the dialog's log box, and on the way out of
// the program.
#pragma once

#include <string>

#include "common/Exception.h"

namespace Morvane {

// The exception's message, then the system's reason on the next line.
std::wstring FailureLogText(const Common::Exception& e);

// The message, then the detail's code and text, for a failure that ends the program; the
// message alone when the detail's code is 0.
std::wstring FatalFailureText(const Common::Exception& e);

}  // namespace Morvane
