// Writes the dictionary table DizionarioVnt.dbf from its readable source, a
// UTF-8 tab-separated text table:
//   - lines starting with '#' and blank lines are ignored;
//   - a UTF-8 byte order mark at the start is ignored;
//   - the first other line names the columns: IDENTIF, MAX, then one column
//     per language (dBase field names, at most 10 characters);
//   - every further line is one key: the key, its maximum length in
//     characters, then its text in each language. "\n", "\t" and "\\" in a
//     text stand for a line break, a tab and a backslash.
// MAX is checked here, not written: every text must be non-empty and fit its
// key's maximum, every key must be unique, or no table is written.
// The texts go into the table as UTF-8; DBFCreateEx writes a .cpg file saying
// "UTF-8" beside it (language driver byte 0), which the reader relies on.
//
// Usage: MakeDictionary <source.tsv> <output.dbf>
#include <shapefil.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Row {
  int line = 0;
  std::string key;
  int maxLength = 0;
  std::vector<std::string> texts;
};

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> cells;
  std::string cell;
  std::istringstream in(line);
  while (std::getline(in, cell, '\t')) cells.push_back(cell);
  if (!line.empty() && line.back() == '\t') cells.emplace_back();
  return cells;
}

std::optional<std::string> Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

// Characters, not bytes: UTF-8 continuation bytes are not counted.
int CharacterCount(const std::string& utf8) {
  return static_cast<int>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// A well-formed UTF-8 sequence (no overlong forms, no surrogates).
bool IsUtf8(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t extra = 0;
    if (lead >= 0x80) {
      if ((lead & 0xE0) == 0xC0)
        extra = 1;
      else if ((lead & 0xF0) == 0xE0)
        extra = 2;
      else if ((lead & 0xF8) == 0xF0)
        extra = 3;
      else
        return false;
    }
    if (text.size() - i < extra + 1) return false;
    uint32_t code = extra == 0 ? lead : lead & (0x3Fu >> extra);
    for (size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3Fu);
    }
    const uint32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (code < least[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

bool IsFieldName(const std::string& name) {
  if (name.empty() || name.size() > XBASE_FLDNAME_LEN_WRITE) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
  });
}

bool Fail(const std::string& where, int line, const std::string& what) {
  std::cerr << where << ":" << line << ": " << what << "\n";
  return false;
}

bool ReadSource(const std::string& path, std::vector<std::string>& columns,
                std::vector<Row>& rows) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(path, 0, "cannot be read");
  std::map<std::string, int> lineOfKey;
  bool valid = true;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // UTF-8 mark
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cells = SplitTabs(line);
    if (columns.empty()) {
      columns = cells;
      if (columns.size() < 2 || columns[0] != "IDENTIF" || columns[1] != "MAX")
        return Fail(path, number, "the first columns must be IDENTIF and MAX");
      std::set<std::string> names;
      for (const std::string& name : columns) {
        if (!IsFieldName(name))
          return Fail(path, number, "field name must be 1 to 10 letters, digits or _: " + name);
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (!names.insert(upper).second) return Fail(path, number, "field name twice: " + name);
      }
      continue;
    }
    if (cells.size() != columns.size())
      return Fail(path, number, "expected " + std::to_string(columns.size()) + " cells");
    Row row;
    row.line = number;
    row.key = cells[0];
    if (row.key.empty()) return Fail(path, number, "empty key");
    if (auto [it, added] = lineOfKey.emplace(row.key, number); !added)
      return Fail(path, number,
                  "key " + row.key + " already on line " + std::to_string(it->second));
    try {
      row.maxLength = std::stoi(cells[1]);
    } catch (const std::exception&) {
      return Fail(path, number, "MAX is not a number");
    }
    // Every text of the line is checked, so one run reports all of them.
    for (size_t c = 2; c < cells.size(); ++c) {
      std::optional<std::string> text = Unescape(cells[c]);
      if (!text) {
        valid = Fail(path, number, "bad escape in column " + columns[c]);
        text = cells[c];
      }
      if (!IsUtf8(*text))
        valid = Fail(path, number, row.key + " is not UTF-8 in column " + columns[c]);
      if (text->find_first_not_of(' ') == std::string::npos)
        valid = Fail(path, number, row.key + " has no text in column " + columns[c]);
      if (CharacterCount(*text) > row.maxLength)
        valid = Fail(path, number,
                     row.key + " in column " + columns[c] + " is longer than " +
                         std::to_string(row.maxLength));
      row.texts.push_back(*text);
    }
    rows.push_back(row);
  }
  if (columns.empty()) return Fail(path, 0, "no header line");
  return valid;
}

bool WriteTable(const std::string& path, const std::vector<std::string>& columns,
                const std::vector<Row>& rows) {
  // Field widths in bytes: the longest UTF-8 text of each column.
  std::vector<size_t> widths(columns.size() - 1, 1);
  for (const Row& row : rows) {
    widths[0] = std::max(widths[0], row.key.size());
    for (size_t c = 0; c < row.texts.size(); ++c)
      widths[c + 1] = std::max(widths[c + 1], row.texts[c].size());
  }
  for (size_t w : widths) {
    if (w > 254) return Fail(path, 0, "a text is longer than a dBase field holds");
  }
  std::remove(path.c_str());
  DBFHandle dbf = DBFCreateEx(path.c_str(), "UTF-8");
  if (dbf == nullptr) return Fail(path, 0, "cannot be created");
  bool ok = DBFAddField(dbf, "IDENTIF", FTString, static_cast<int>(widths[0]), 0) == 0;
  for (size_t c = 2; ok && c < columns.size(); ++c)
    ok = DBFAddField(dbf, columns[c].c_str(), FTString, static_cast<int>(widths[c - 1]), 0) ==
         static_cast<int>(c - 1);
  for (size_t r = 0; ok && r < rows.size(); ++r) {
    const int record = static_cast<int>(r);
    ok = DBFWriteStringAttribute(dbf, record, 0, rows[r].key.c_str()) != 0;
    for (size_t c = 0; ok && c < rows[r].texts.size(); ++c)
      ok = DBFWriteStringAttribute(dbf, record, static_cast<int>(c + 1),
                                   rows[r].texts[c].c_str()) != 0;
  }
  DBFClose(dbf);
  if (!ok) {
    std::remove(path.c_str());
    return Fail(path, 0, "could not be written");
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: MakeDictionary <source.tsv> <output.dbf>\n";
    return 2;
  }
  std::vector<std::string> columns;
  std::vector<Row> rows;
  if (!ReadSource(argv[1], columns, rows)) return 1;
  if (!WriteTable(argv[2], columns, rows)) return 1;
  std::cout << "wrote " << argv[2] << "\n";
  return 0;
}
