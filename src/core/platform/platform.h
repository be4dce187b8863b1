#pragma once

#include <cstdio>
#include <string_view>

// What differs between the Linux and the Windows build, in one place.
namespace Platform {

// True when `stream` is a console that shows ANSI colour codes; on Windows
// this switches the console's escape-code processing on where it exists.
bool console_takes_colours(std::FILE* stream);

// Writes all of `bytes` to `stream`'s descriptor, past what stdio buffered,
// waiting out a console that takes them slowly. False when the console is
// closed or broken.
bool write_console(std::FILE* stream, std::string_view bytes);

}  // namespace Platform
