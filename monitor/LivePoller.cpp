#include "LivePoller.h"

#include "ConfCar.h"
#include "EcuLink.h"

namespace monitor {

LivePoller::LivePoller(ecu::EcuLink* link, ConfCar* store)
    : link_(link), store_(store), start_(std::chrono::steady_clock::now()) {}

LiveSample LivePoller::Poll() {
  LiveSample sample;
  sample.time = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  sample.connected = link_ != nullptr && link_->IsConnected() != 0;
  if (!sample.connected) return sample;  // nothing read, the countdown stands

  sample.fastRead = link_->ReadLiveBlock(0, sample.fast.data(), ecu::kLiveBlockSize);
  if (countdown_ != 0) {
    --countdown_;
    return sample;
  }
  sample.slowDue = true;
  sample.slowRead = link_->ReadLiveBlock(1, sample.slow.data(), ecu::kLiveBlockSize);
  if (sample.slowRead && store_ != nullptr) sample.minTpsRule = MinTpsRuleOf(*store_);
  // A failed slow read waits its turn like a good one.
  countdown_ = kSlowEvery;
  return sample;
}

}  // namespace monitor
