#pragma once

#include <string>

#include "document/outcome.h"

namespace quirelle {

// The whole file in one buffer, or the operating system's error text.
Outcome<std::string> read_file(const std::string& path);

}  // namespace quirelle
