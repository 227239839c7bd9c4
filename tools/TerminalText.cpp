#include "TerminalText.h"

#include <cstdio>

namespace {

void Escape(unsigned char byte, std::string* out) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02X", byte);
  out->append(text);
}

// Length of the well-formed UTF-8 sequence that starts at text[at], or 0.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  return length;
}

}  // namespace

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (c < 0x20 || c == 0x7F)
        Escape(c, &out);
      else
        out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    const std::size_t length = SequenceLength(text, i);
    // U+0080..U+009F are the C1 controls (CSI among them): escaped too.
    const bool control = length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if (length == 0 || control) {
      for (std::size_t k = 0; k < (length == 0 ? 1 : length); ++k)
        Escape(static_cast<unsigned char>(text[i + k]), &out);
      i += length == 0 ? 1 : length;
      continue;
    }
    out.append(text.substr(i, length));
    i += length;
  }
  return out;
}
