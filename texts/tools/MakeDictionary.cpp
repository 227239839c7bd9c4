// Writes the dictionary table DizionarioVnt.dbf from its readable source, a
// UTF-8 tab-separated text table:
//   - lines starting with '#' and blank lines are ignored;
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
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
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
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cells = SplitTabs(line);
    if (columns.empty()) {
      columns = cells;
      if (columns.size() < 2 || columns[0] != "IDENTIF" || columns[1] != "MAX")
        return Fail(path, number, "the first columns must be IDENTIF and MAX");
      for (const std::string& name : columns) {
        if (name.empty() || name.size() > XBASE_FLDNAME_LEN_WRITE)
          return Fail(path, number, "field name must have 1 to 10 characters: " + name);
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
