#include "LivePolling.h"

#include "ConfCar.h"
#include "EcuLink.h"
#include "Parameters.h"

#include <algorithm>
#include <cmath>

namespace live {

int KnownRecordingRate(int rate) {
  return std::find(kRecordingRates.begin(), kRecordingRates.end(), rate) != kRecordingRates.end()
             ? rate
             : kShownRate;
}

MinTpsRule MinTpsRuleOf(ConfCar& store) {
  using params::Id;
  MinTpsRule rule;
  rule.hysteresis = params::WholeHundredths(
      static_cast<double>(store.GetValue(params::Number(Id::IdleTpsHysteresis))));
  rule.fixedIdleTps =
      static_cast<int>(std::trunc(store.GetValue(params::Number(Id::FixedIdleTpsOption)))) != 0;
  rule.invertedTps = store.InvertedTps();
  return rule;
}

Poller::Poller(ecu::EcuLink* link, ConfCar* store)
    : link_(link), store_(store), start_(std::chrono::steady_clock::now()) {}

Sample Poller::Poll() {
  Sample sample;
  sample.time = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  sample.connected = link_ != nullptr && link_->IsConnected() != 0;
  if (!sample.connected) return sample;  // nothing read, the countdown stands

  sample.fastRead = link_->ReadLiveBlock(0, sample.fast.data(), ecu::kLiveBlockSize);
  const bool secondPassed = slowEverySecond_ && lastSlow_ >= 0 && sample.time - lastSlow_ >= 1.0;
  if (countdown_ != 0 && !secondPassed) {
    --countdown_;
    return sample;
  }
  sample.slowDue = true;
  sample.slowRead = link_->ReadLiveBlock(1, sample.slow.data(), ecu::kLiveBlockSize);
  if (sample.slowRead && store_ != nullptr) sample.minTpsRule = MinTpsRuleOf(*store_);
  // A failed slow read waits its turn like a good one.
  countdown_ = kSlowEvery;
  lastSlow_ = sample.time;
  return sample;
}

}  // namespace live
