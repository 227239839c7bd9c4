#include "VehicleCard.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>

#include "History.h"
#include "WriteJournal.h"

namespace fs = std::filesystem;

namespace vehicle {
namespace {

constexpr const char* kCardFile = "vehicle.txt";
constexpr const char* kDeletedCardFile = "vehicle-deleted.txt";
constexpr std::size_t kVinLength = 17;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsCapital(char c) {
  return c >= 'A' && c <= 'Z';
}

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

struct NamedField {
  const char* name;
  std::string Card::*field;
};
constexpr NamedField kFields[] = {
    {"plate", &Card::plate}, {"vin", &Card::vin},           {"make", &Card::make},
    {"model", &Card::model}, {"owner", &Card::owner},       {"odometer", &Card::odometer},
    {"notes", &Card::notes}, {"chosen", &Card::chosen},
};

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      continue;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      ++i;
      out.push_back(text[i] == 'n' ? '\n' : text[i]);
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::optional<Card> ReadCardFile(const fs::path& file) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return ParseCard(text.str());
}

std::string WriteCardFile(const fs::path& folder, const Card& card) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return "cannot create " + folder.string() + ": " + error.message();
  // Written aside and renamed, so a full disk never leaves half a card.
  const fs::path file = folder / kCardFile;
  const fs::path fresh = folder / (std::string(kCardFile) + ".new");
  {
    std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
    out << FormatCard(card);
    out.flush();
    if (!out) return "cannot write " + fresh.string();
  }
  fs::rename(fresh, file, error);
  if (error) return "cannot write " + file.string() + ": " + error.message();
  return {};
}

// One line at the end of a folder's journal (the header first in a new one).
std::string AppendToJournal(const fs::path& folder, const JournalLine& line) {
  const fs::path file = folder / "journal.csv";
  std::error_code error;
  fs::create_directories(folder, error);
  const bool fresh = !fs::exists(file, error) || fs::file_size(file, error) == 0;
  std::ofstream out(file, std::ios::binary | std::ios::app);
  if (fresh) out << kJournalHeader << '\n';
  out << FormatJournalLine(line) << '\n';
  out.flush();
  return out ? std::string() : "cannot write the journal " + file.string();
}

JournalLine CardEvent(std::string_view event, std::string_view note,
                      std::chrono::system_clock::time_point time) {
  JournalLine line;
  line.time = JournalTime(time);
  line.event = event;
  line.note = note;
  return line;
}

// A snapshot name not yet taken in folder: the name itself, or the same
// time with "_N" as a second snapshot of one second gets.
fs::path FreeName(const fs::path& folder, const std::string& name) {
  std::error_code error;
  fs::path target = folder / name;
  const std::string stem = fs::path(name).stem().string();
  const std::string extension = fs::path(name).extension().string();
  const std::string base = stem.substr(0, std::min<std::size_t>(stem.size(), 17));
  for (int n = 2; fs::exists(target, error); ++n)
    target = folder / (base + '_' + std::to_string(n) + extension);
  return target;
}

// Moves every snapshot and the journal lines of from into to: snapshots keep
// their names unless taken, the two journals become one in time order.
std::string MoveHistory(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_directories(to, error);
  if (error) return "cannot create " + to.string() + ": " + error.message();
  std::vector<fs::path> files;
  for (fs::directory_iterator it(from, error), end; !error && it != end; it.increment(error))
    if (it->is_regular_file(error)) files.push_back(it->path());
  for (const fs::path& file : files) {
    const std::string name = file.filename().string();
    if (name == "journal.csv" || name == kCardFile || name == kDeletedCardFile) continue;
    if (file.extension() != ".dmr") continue;
    fs::rename(file, FreeName(to, name), error);
    if (error) return "cannot move " + file.string() + ": " + error.message();
  }
  const fs::path fromJournal = from / "journal.csv";
  if (!fs::exists(fromJournal, error)) return {};
  const fs::path toJournal = to / "journal.csv";
  JournalReading moving = ReadJournal(fromJournal);
  JournalReading staying = ReadJournal(toJournal);
  // Lines that are not journal lines are kept too, at the end, as they were.
  std::vector<std::string> odd;
  {
    std::ifstream in(fromJournal, std::ios::binary);
    std::string text;
    while (std::getline(in, text))
      if (!text.empty() && text != kJournalHeader && !ParseJournalLine(text)) odd.push_back(text);
  }
  {
    std::ifstream in(toJournal, std::ios::binary);
    std::string text;
    while (std::getline(in, text))
      if (!text.empty() && text != kJournalHeader && !ParseJournalLine(text)) odd.push_back(text);
  }
  std::vector<JournalLine> lines = std::move(staying.lines);
  lines.insert(lines.end(), moving.lines.begin(), moving.lines.end());
  std::stable_sort(lines.begin(), lines.end(),
                   [](const JournalLine& a, const JournalLine& b) { return a.time < b.time; });
  const fs::path fresh = to / "journal.csv.new";
  {
    std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
    out << kJournalHeader << '\n';
    for (const JournalLine& line : lines) out << FormatJournalLine(line) << '\n';
    for (const std::string& text : odd) out << text << '\n';
    out.flush();
    if (!out) return "cannot write " + fresh.string();
  }
  fs::rename(fresh, toJournal, error);
  if (error) return "cannot write " + toJournal.string() + ": " + error.message();
  fs::remove(fromJournal, error);
  return {};
}

void RemoveIfEmpty(const fs::path& folder) {
  std::error_code error;
  if (fs::is_empty(folder, error) && !error) fs::remove(folder, error);
}

Outcome Failed(std::string why) {
  Outcome outcome;
  outcome.error = std::move(why);
  return outcome;
}

std::string CheckText(CardCheck check) {
  switch (check) {
    case CardCheck::kNoPlateOrVin:
      return "a card needs a plate or a VIN";
    case CardCheck::kVinLength:
      return "a VIN has 17 characters";
    case CardCheck::kVinForbiddenLetter:
      return "a VIN never has the letters I, O or Q";
    case CardCheck::kVinBadCharacter:
      return "a VIN has only digits and capital letters";
    case CardCheck::kBadPlate:
      return "a plate has only letters, digits, spaces and dashes";
    case CardCheck::kBadOdometer:
      return "the odometer is a whole number of kilometres";
    case CardCheck::kTooLong:
      return "a field is too long";
    default:
      return {};
  }
}

}  // namespace

VinCheck CheckVin(std::string_view vin) {
  if (vin.empty()) return VinCheck::kFine;
  for (const char c : vin) {
    if (c == 'I' || c == 'O' || c == 'Q') return VinCheck::kForbiddenLetter;
    if (!IsDigit(c) && !IsCapital(c)) return VinCheck::kBadCharacter;
  }
  return vin.size() == kVinLength ? VinCheck::kFine : VinCheck::kLength;
}

Card Normalised(Card card) {
  card.plate = Upper(Trimmed(card.plate));
  card.vin = Upper(Trimmed(card.vin));
  card.odometer = Trimmed(card.odometer);
  for (std::string* text : {&card.make, &card.model, &card.owner})
    *text = Trimmed(*text);
  return card;
}

CardCheck CheckCard(const Card& card) {
  if (Key(card).empty()) return CardCheck::kNoPlateOrVin;
  switch (CheckVin(card.vin)) {
    case VinCheck::kLength:
      return CardCheck::kVinLength;
    case VinCheck::kForbiddenLetter:
      return CardCheck::kVinForbiddenLetter;
    case VinCheck::kBadCharacter:
      return CardCheck::kVinBadCharacter;
    default:
      break;
  }
  if (!std::all_of(card.plate.begin(), card.plate.end(), [](char c) {
        return IsDigit(c) || IsCapital(c) || (c >= 'a' && c <= 'z') || c == ' ' || c == '-';
      }))
    return CardCheck::kBadPlate;
  if (!std::all_of(card.odometer.begin(), card.odometer.end(), IsDigit))
    return CardCheck::kBadOdometer;
  for (const std::string* text : {&card.plate, &card.make, &card.model, &card.owner,
                                  &card.odometer})
    if (text->size() > kFieldLength) return CardCheck::kTooLong;
  if (card.notes.size() > kNotesLength) return CardCheck::kTooLong;
  return CardCheck::kFine;
}

std::string Key(const Card& card) {
  std::string key;
  for (const char c : Upper(card.plate))
    if (IsDigit(c) || IsCapital(c)) key.push_back(c);
  if (!key.empty()) return key;
  for (const char c : Upper(card.vin))
    if (IsDigit(c) || IsCapital(c)) key.push_back(c);
  return key;
}

fs::path CarFolder(const fs::path& history, const ecu::Identification& id, std::string_view key) {
  return history / history::EcuFolderName(id, key);
}

std::vector<StoredCard> ListCards(const fs::path& history, const ecu::Identification& id) {
  std::vector<StoredCard> cards;
  const std::string prefix = history::EcuFolderName(id) + '_';
  std::error_code error;
  for (fs::directory_iterator it(history, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!it->is_directory(error) || name.size() <= prefix.size() ||
        name.compare(0, prefix.size(), prefix) != 0)
      continue;
    if (auto card = ReadCardFile(it->path() / kCardFile))
      cards.push_back({std::move(*card), name.substr(prefix.size()), it->path()});
  }
  std::sort(cards.begin(), cards.end(),
            [](const StoredCard& a, const StoredCard& b) { return a.key < b.key; });
  return cards;
}

std::optional<StoredCard> FindCard(const fs::path& history, const ecu::Identification& id,
                                   std::string_view plateOrKey) {
  Card wanted;
  wanted.plate = plateOrKey;
  const std::string key = Key(wanted);
  for (StoredCard& stored : ListCards(history, id))
    if (!key.empty() && stored.key == key) return stored;
  return std::nullopt;
}

std::optional<StoredCard> LastChosen(const fs::path& history, const ecu::Identification& id) {
  std::optional<StoredCard> last;
  for (StoredCard& stored : ListCards(history, id))
    if (!stored.card.chosen.empty() && (!last || stored.card.chosen > last->card.chosen))
      last = std::move(stored);
  return last;
}

Outcome AddCard(const fs::path& history, const ecu::Identification& id, Card card) {
  card = Normalised(std::move(card));
  if (const CardCheck check = CheckCard(card); check != CardCheck::kFine)
    return Failed(CheckText(check));
  const fs::path folder = CarFolder(history, id, Key(card));
  std::error_code error;
  if (fs::exists(folder / kCardFile, error))
    return Failed("there is a card for " + Key(card) + " already");
  if (const std::string why = WriteCardFile(folder, card); !why.empty()) return Failed(why);
  return {true, {}, folder};
}

Outcome UpdateCard(const fs::path& history, const ecu::Identification& id, Card card) {
  card = Normalised(std::move(card));
  if (const CardCheck check = CheckCard(card); check != CardCheck::kFine)
    return Failed(CheckText(check));
  const fs::path folder = CarFolder(history, id, Key(card));
  std::error_code error;
  if (!fs::exists(folder / kCardFile, error)) return Failed("there is no card for " + Key(card));
  if (const std::string why = WriteCardFile(folder, card); !why.empty()) return Failed(why);
  return {true, {}, folder};
}

Outcome Choose(const fs::path& history, const ecu::Identification& id, std::string_view key,
               std::chrono::system_clock::time_point time) {
  auto stored = FindCard(history, id, key);
  if (!stored) return Failed("there is no card for " + std::string(key));
  stored->card.chosen = JournalTime(time);
  if (const std::string why = WriteCardFile(stored->folder, stored->card); !why.empty())
    return Failed(why);
  return {true, {}, stored->folder};
}

Outcome DeleteCard(const fs::path& history, const ecu::Identification& id, std::string_view key,
                   std::chrono::system_clock::time_point time) {
  const auto stored = FindCard(history, id, key);
  if (!stored) return Failed("there is no card for " + std::string(key));
  std::error_code error;
  fs::rename(stored->folder / kCardFile, stored->folder / kDeletedCardFile, error);
  if (error) return Failed("cannot delete the card: " + error.message());
  const std::string why =
      AppendToJournal(stored->folder, CardEvent("vehicle deleted", stored->card.plate.empty()
                                                                       ? stored->card.vin
                                                                       : stored->card.plate,
                                                time));
  return {why.empty(), why, stored->folder};
}

Outcome MergeCards(const fs::path& history, const ecu::Identification& id, std::string_view from,
                   std::string_view into, std::chrono::system_clock::time_point time) {
  const auto source = FindCard(history, id, from);
  auto target = FindCard(history, id, into);
  if (!source) return Failed("there is no card for " + std::string(from));
  if (!target) return Failed("there is no card for " + std::string(into));
  if (source->key == target->key) return Failed("a card cannot be merged into itself");
  Card& card = target->card;
  for (const NamedField& named : kFields) {
    std::string& mine = card.*named.field;
    const std::string& theirs = source->card.*named.field;
    if (mine.empty()) {
      mine = theirs;
    } else if (named.field == &Card::notes && !theirs.empty() && theirs != mine) {
      mine += '\n' + theirs;
    } else if (named.field == &Card::chosen) {
      mine = std::max(mine, theirs);
    }
  }
  if (std::string why = MoveHistory(source->folder, target->folder); !why.empty())
    return Failed(why);
  if (std::string why = WriteCardFile(target->folder, card); !why.empty()) return Failed(why);
  // The merged card's own text stays beside its history, as a deleted one.
  std::error_code error;
  fs::rename(source->folder / kCardFile, target->folder / kDeletedCardFile, error);
  if (error) {
    // A deleted card of its own is there already: keep both.
    fs::rename(source->folder / kCardFile,
               FreeName(target->folder, "vehicle-merged-" + source->key + ".txt"), error);
  }
  RemoveIfEmpty(source->folder);
  const std::string why = AppendToJournal(
      target->folder,
      CardEvent("vehicles merged", source->key + " merged into " + target->key, time));
  return {why.empty(), why, target->folder};
}

Outcome AssignEarlierHistory(const fs::path& history, const ecu::Identification& id,
                             std::string_view key, std::chrono::system_clock::time_point time) {
  const auto stored = FindCard(history, id, key);
  if (!stored) return Failed("there is no card for " + std::string(key));
  const fs::path plain = CarFolder(history, id, {});
  std::error_code error;
  if (!fs::is_directory(plain, error)) return Failed("nothing kept before for this ECU");
  if (std::string why = MoveHistory(plain, stored->folder); !why.empty()) return Failed(why);
  RemoveIfEmpty(plain);
  const std::string why = AppendToJournal(
      stored->folder, CardEvent("history assigned", plain.filename().string(), time));
  return {why.empty(), why, stored->folder};
}

std::string FormatCard(const Card& card) {
  std::string text;
  for (const NamedField& named : kFields)
    text += std::string(named.name) + '=' + Escaped(card.*named.field) + '\n';
  return text;
}

Card ParseCard(std::string_view text) {
  Card card;
  std::istringstream in{std::string(text)};
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals);
    for (const NamedField& named : kFields)
      if (name == named.name) card.*named.field = Unescaped(line.substr(equals + 1));
  }
  return card;
}

}  // namespace vehicle
