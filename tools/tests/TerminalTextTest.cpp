// Text from files on its way to the terminal: control characters and broken
// UTF-8 become visible escapes, letters of every language pass unchanged.
#include <gtest/gtest.h>

#include "TerminalText.h"

TEST(TerminalText, ControlsAndBrokenUtf8AreEscapedLettersPass) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"plain text, 3000 -> 4000", "plain text, 3000 -> 4000"},
      {"\x1b]0;owned\x07", "\\x1B]0;owned\\x07"},       // window title
      {"a\x1b[2Jb", "a\\x1B[2Jb"},                      // clear screen
      {"line\rover\nnext\t", "line\\x0Dover\\x0Anext\\x09"},
      {std::string("nul\0x", 5), "nul\\x00x"},
      {"\x7f", "\\x7F"},
      {"Città, Größe, Łódź, €", "Città, Größe, Łódź, €"},
      {"\xc2\x9b" "31m", "\\xC2\\x9B31m"},               // the C1 CSI, encoded
      {"\x9b" "31m", "\\x9B31m"},                        // the C1 CSI, raw byte
      {"\xc3", "\\xC3"},                                 // cut short at the end
      {"\xc3(", "\\xC3("},                               // bad continuation
      {"\xe0\x80\xaf", "\\xE0\\x80\\xAF"},               // overlong
      {"\xed\xa0\x80", "\\xED\\xA0\\x80"},               // a surrogate
      {"\xf4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},      // past U+10FFFF
      {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},          // U+1F600 passes
  };
  for (const auto& c : cases) EXPECT_EQ(Printable(c.in), c.out) << c.in;
}
