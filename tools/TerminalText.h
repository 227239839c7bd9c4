// Text from files and folder names on its way to the terminal. A file can hold
// anything, and a terminal acts on control characters and escape sequences
// (moving the cursor, changing the window title, hiding what follows), so
// they are printed as visible escapes instead: "\x1B", and "\xNN" for each
// byte that is not part of well-formed UTF-8. Letters of any language pass.
#pragma once

#include <string>
#include <string_view>

std::string Printable(std::string_view text);
