#pragma once
// The default browser: the program the system associates with ".htm" pages.
#include <windows.h>

#include <string>

namespace kt::bootstrap {

// The browser's program path; empty when the system names none.
std::string AssociatedBrowser();

// Starts the browser with the page as its parameters, through the shell with the verb "open".
// True when the shell started it.
bool OpenInBrowser(const std::string& browser, const std::string& page);

}  // namespace kt::bootstrap
