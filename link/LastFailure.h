// Why the last attempt to reach the ECU failed, in one short sentence for the
// technician. Kept by the library for the whole process (the link object and
// its keep-alive thread both report here) and handed to the program by the
// export _GetLastFailureText.
#pragma once

#include <string>

namespace serlink {

// Records the reason and writes it to standard error as well.
void SetLastFailure(const std::string& text);
// Forgets the reason: a new attempt starts.
void ClearLastFailure();
// The reason last recorded; empty when the last attempt did not fail.
std::string LastFailure();

}  // namespace serlink
