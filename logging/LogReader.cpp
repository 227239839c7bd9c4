#include "LogReader.h"

#include <bit>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>

namespace logging {
namespace {

constexpr double kStampUnit = 1e-5;  // seconds per block stamp step

ReadResult Refused(std::string why) {
  ReadResult result;
  result.error = std::move(why);
  return result;
}

double StampDistance(std::uint16_t from, std::uint16_t to) {
  return static_cast<std::uint16_t>(to - from) * kStampUnit;
}

// Reads one descriptor; a reason when it cannot be used.
std::optional<std::string> ParseChannel(const std::uint8_t* d, std::size_t index, Channel* c) {
  const std::string number = std::to_string(index + 1);
  if (!IsKnownType(d[0])) return "channel " + number + " has an unknown value type " +
                                 std::to_string(d[0]);
  c->type = static_cast<ValueType>(d[0]);
  c->name = GetText(d + 1, kNameSize);
  c->units = GetText(d + 35, kUnitsSize);
  c->style = static_cast<DisplayStyle>(d[45]);
  c->scale = std::bit_cast<float>(GetU32(d + 46));
  c->transform = std::bit_cast<float>(GetU32(d + 50));
  c->digits = static_cast<std::int8_t>(d[54]);
  if (!std::isfinite(c->scale) || !std::isfinite(c->transform))
    return "channel " + number + " has an unusable scale or transform";
  return std::nullopt;
}

struct PendingMarker {
  std::uint16_t stamp = 0;
  std::size_t recordsBefore = 0;
};

}  // namespace

int Log::ChannelIndex(std::string_view name) const {
  for (std::size_t i = 0; i < channels.size(); ++i)
    if (channels[i].name == name) return static_cast<int>(i);
  return -1;
}

ReadResult ParseLog(std::span<const std::uint8_t> bytes) {
  const std::size_t size = bytes.size();
  const std::uint8_t* b = bytes.data();
  if (size < 6 || GetText(b, 6) != "MLVLG" || b[5] != 0)
    return Refused("not an MLVLG log: the file does not start with \"MLVLG\"");
  if (size < kHeaderSize) return Refused("the file ends inside its header");
  const std::uint16_t version = GetU16(b + 6);
  if (version != kFormatVersion)
    return Refused("MLVLG version " + std::to_string(version) + " is not supported (only 1)");

  Log log;
  log.startTime = GetU32(b + 8);
  const std::size_t infoOffset = GetU16(b + 12);
  const std::size_t dataOffset = GetU32(b + 14);
  const std::size_t recordLength = GetU16(b + 18);
  const std::size_t count = GetU16(b + 20);
  if (count == 0) return Refused("the log has no channels");
  const std::size_t descriptorsEnd = kHeaderSize + kDescriptorSize * count;
  if (size < descriptorsEnd) return Refused("the file ends inside its channel descriptors");
  if (infoOffset < descriptorsEnd)
    return Refused("the header's info text offset lies inside the channel descriptors");
  if (dataOffset <= infoOffset || dataOffset > size)
    return Refused("the header's data offset lies outside the file");

  log.channels.resize(count);
  std::size_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (auto why = ParseChannel(b + kHeaderSize + kDescriptorSize * i, i, &log.channels[i]))
      return Refused(*why);
    sum += SizeOf(log.channels[i].type);
  }
  if (sum != recordLength)
    return Refused("the header's record length " + std::to_string(recordLength) +
                   " does not match its channels (" + std::to_string(sum) + " bytes)");
  log.info = GetText(b + infoOffset, dataOffset - infoOffset);

  const int timeChannel = log.ChannelIndex("Time");
  const std::size_t recordBlock = kBlockHeaderSize + recordLength + 1;
  log.times.reserve((size - dataOffset) / recordBlock + 1);
  log.values.reserve(log.times.capacity() * count);
  std::vector<std::uint16_t> stamps;
  stamps.reserve(log.times.capacity());
  std::vector<PendingMarker> pending;

  std::size_t at = dataOffset;
  while (at < size) {
    if (size - at < kBlockHeaderSize) {
      log.stoppedEarly = "the last block is incomplete";
      break;
    }
    const std::uint8_t type = b[at];
    const std::uint16_t stamp = GetU16(b + at + 2);
    if (type == static_cast<std::uint8_t>(BlockType::Record)) {
      if (size - at < recordBlock) {
        log.stoppedEarly = "the last block is incomplete";
        break;
      }
      const std::uint8_t* v = b + at + kBlockHeaderSize;
      unsigned check = 0;
      for (std::size_t i = 0; i < recordLength; ++i) check += v[i];
      if ((check & 0xFF) != v[recordLength]) {
        log.stoppedEarly = "the record at byte " + std::to_string(at) + " is damaged";
        break;
      }
      for (std::size_t i = 0; i < count; ++i) {
        const Channel& c = log.channels[i];
        log.values.push_back(ValueOf(c, GetRaw(v, c.type)));
        v += SizeOf(c.type);
      }
      double time = 0;
      if (timeChannel >= 0) {
        time = log.values[log.values.size() - count + static_cast<std::size_t>(timeChannel)];
      } else if (!log.times.empty()) {
        time = log.times.back() + StampDistance(stamps.back(), stamp);
      }
      log.times.push_back(time);
      stamps.push_back(stamp);
      at += recordBlock;
    } else if (type == static_cast<std::uint8_t>(BlockType::Marker)) {
      if (size - at < kBlockHeaderSize + kMarkerTextSize) {
        log.stoppedEarly = "the last block is incomplete";
        break;
      }
      log.markers.push_back({0, GetText(b + at + kBlockHeaderSize, kMarkerTextSize)});
      pending.push_back({stamp, log.Records()});
      at += kBlockHeaderSize + kMarkerTextSize;
    } else {
      log.stoppedEarly = "unknown block type " + std::to_string(type) + " at byte " +
                         std::to_string(at);
      break;
    }
  }

  // A marker's stamp tells its time within 655.36 ms: it is counted from the
  // record before it (from the record after it when none came before).
  for (std::size_t m = 0; m < pending.size(); ++m) {
    const PendingMarker& p = pending[m];
    double time = p.stamp * kStampUnit;
    if (p.recordsBefore > 0) {
      const std::size_t before = p.recordsBefore - 1;
      time = log.times[before] + StampDistance(stamps[before], p.stamp);
    } else if (log.Records() > 0) {
      time = log.times[0] - StampDistance(p.stamp, stamps[0]);
    }
    log.markers[m].time = time;
  }

  ReadResult result;
  result.ok = true;
  result.log = std::move(log);
  return result;
}

ReadResult ReadLog(const std::filesystem::path& file) {
  // Only a regular file is opened: a folder cannot be read as bytes, and
  // opening a FIFO would wait for a writer that may never come.
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    return Refused((std::filesystem::exists(file, error) ? "not a regular file: "
                                                         : "cannot open ") +
                   file.string());
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) return Refused("cannot open " + file.string());
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  if (in.bad()) return Refused("cannot read " + file.string());
  return ParseLog(bytes);
}

}  // namespace logging
