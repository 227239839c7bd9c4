// The live view's poller is the model's (model/LivePolling.h): the fast block
// on every poll, the slow block on the first and then every eleventh.
#pragma once

#include "LivePolling.h"
#include "LiveTick.h"

namespace monitor {

using LivePoller = live::Poller;
using live::MinTpsRuleOf;

}  // namespace monitor
