// Compiles the link interface header with nothing before it, so it stays
// self-contained for the link library that shares it.
#include "../EcuLink.h"

static_assert(ecu::CodeAddress(0x613C) == 60);
static_assert(ecu::CodeIsArray(0x3119) && ecu::CodeElementCount(0x3119) == 3);
static_assert(ecu::MakeArrayCode(27, 2) == 0x211B);
