// Vehicle cards: the VIN rule, cards kept per ECU identification, each car's
// history in its own folder, and merging, deleting and assigning that never
// lose a snapshot or a journal line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ConfCar.h"
#include "History.h"
#include "RecordingLink.h"
#include "VehicleCard.h"
#include "WriteJournal.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using vehicle::Card;
using vehicle::CardCheck;
using vehicle::VinCheck;

struct TempFolder {
  fs::path path;
  explicit TempFolder(const char* name) : path(fs::temp_directory_path() / name) {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempFolder() { fs::remove_all(path); }
};

const ecu::Identification kEcu{18, 0, 1, 23};
const auto kNoon = std::chrono::system_clock::from_time_t(1'760'000'000);

Card CardFor(const char* plate, const char* vin = "") {
  Card card;
  card.plate = plate;
  card.vin = vin;
  return card;
}

// A snapshot and a journal line in one car's folder.
void KeepSession(const fs::path& history, std::string_view key,
                 std::chrono::system_clock::time_point time, int identifier) {
  ConfCar store("session.dmr");
  ASSERT_TRUE(history::SaveSnapshot(store, history, kEcu, time, key).saved);
  JournalWriter journal;
  journal.SetFile(history::JournalFile(history, kEcu, key));
  WriteAttempt attempt;
  attempt.time = time;
  attempt.identifier = identifier;
  attempt.answer = WriteAnswer::kAccepted;
  journal.WriteAttempted(attempt);
}

std::vector<int> JournalIdentifiers(const fs::path& file) {
  std::vector<int> ids;
  for (const JournalLine& line : ReadJournal(file).lines) ids.push_back(line.identifier);
  return ids;
}

}  // namespace

TEST(VehicleCard, VinRule) {
  struct Case {
    const char* vin;
    VinCheck expected;
  };
  const Case cases[] = {
      {"", VinCheck::kFine},
      {"WVWZZZ1JZXW000001", VinCheck::kFine},
      {"ZFA31200000123456", VinCheck::kFine},
      {"WVWZZZ1JZXW00000", VinCheck::kLength},     // 16
      {"WVWZZZ1JZXW0000011", VinCheck::kLength},   // 18
      {"WVWZZZ1JZXW0O0001", VinCheck::kForbiddenLetter},
      {"IVWZZZ1JZXW000001", VinCheck::kForbiddenLetter},
      {"WVWZZZ1JZXW00000Q", VinCheck::kForbiddenLetter},
      {"wvwzzz1jzxw000001", VinCheck::kBadCharacter},  // lower case is not kept as such
      {"WVWZZZ1JZ-W000001", VinCheck::kBadCharacter},
      {"WVWZZZ1JZ W000001", VinCheck::kBadCharacter},
      {"WVWZZZ1JZ\xC3\x9CW00001", VinCheck::kBadCharacter},
  };
  for (const Case& c : cases) EXPECT_EQ(vehicle::CheckVin(c.vin), c.expected) << c.vin;
}

TEST(VehicleCard, CardsAreCheckedAfterNormalising) {
  struct Case {
    Card card;
    CardCheck expected;
  };
  Card odometer = CardFor("AB123CD");
  odometer.odometer = "12.500";
  Card longOwner = CardFor("AB123CD");
  longOwner.owner = std::string(vehicle::kFieldLength + 1, 'x');
  const Case cases[] = {
      {CardFor("ab 123 cd"), CardCheck::kFine},
      {CardFor("", "wvwzzz1jzxw000001"), CardCheck::kFine},  // capitals once normalised
      {CardFor("  ", ""), CardCheck::kNoPlateOrVin},
      {CardFor("AB123CD", "WVWZZZ1JZXW0001"), CardCheck::kVinLength},
      {CardFor("AB123CD", "WVWZZZ1JZXW0O0001"), CardCheck::kVinForbiddenLetter},
      {CardFor("AB/123"), CardCheck::kBadPlate},
      {odometer, CardCheck::kBadOdometer},
      {longOwner, CardCheck::kTooLong},
  };
  for (const Case& c : cases)
    EXPECT_EQ(vehicle::CheckCard(vehicle::Normalised(c.card)), c.expected) << c.card.plate;
}

TEST(VehicleCard, CardTextRoundTripsEveryField) {
  Card card = CardFor("AB123CD", "WVWZZZ1JZXW000001");
  card.make = "Fiat";
  card.model = "Punto 1.2, GPL";
  card.owner = "Rossi = Mario";
  card.odometer = "125000";
  card.notes = "line one\nline two \\ back";
  card.chosen = "2026-12-10 10:00:00";
  EXPECT_EQ(vehicle::ParseCard(vehicle::FormatCard(card)), card);
}

TEST(VehicleCard, AddRefusesBadInputAndASecondCardForOnePlate) {
  TempFolder folder("mv-vehicle-add");
  EXPECT_FALSE(vehicle::AddCard(folder.path, kEcu, CardFor("AB123CD", "SHORT")).done);
  const auto first = vehicle::AddCard(folder.path, kEcu, CardFor("ab-123-cd"));
  ASSERT_TRUE(first.done) << first.error;
  EXPECT_EQ(first.folder.filename(), "ecu-18-0-1-23_AB123CD");
  const auto again = vehicle::AddCard(folder.path, kEcu, CardFor("AB 123 CD"));
  EXPECT_FALSE(again.done);
  EXPECT_FALSE(again.error.empty());
  // Another ECU identification has cards of its own.
  EXPECT_TRUE(vehicle::ListCards(folder.path, {18, 2, 0, 9}).empty());
  ASSERT_EQ(vehicle::ListCards(folder.path, kEcu).size(), 1u);
  EXPECT_EQ(vehicle::ListCards(folder.path, kEcu)[0].card.plate, "AB-123-CD");
}

TEST(VehicleCard, TwoCarsWithOneEcuKeepApartAndTheLastChosenIsKnown) {
  TempFolder folder("mv-vehicle-apart");
  ASSERT_TRUE(vehicle::AddCard(folder.path, kEcu, CardFor("AB123CD")).done);
  ASSERT_TRUE(vehicle::AddCard(folder.path, kEcu, CardFor("EF456GH")).done);
  KeepSession(folder.path, "AB123CD", kNoon, 9);
  KeepSession(folder.path, "EF456GH", kNoon + 1h, 10);
  ASSERT_TRUE(vehicle::Choose(folder.path, kEcu, "EF456GH", kNoon + 1h).done);
  ASSERT_TRUE(vehicle::Choose(folder.path, kEcu, "ab123cd", kNoon + 2h).done);

  EXPECT_EQ(JournalIdentifiers(history::JournalFile(folder.path, kEcu, "AB123CD")),
            std::vector<int>{9});
  EXPECT_EQ(JournalIdentifiers(history::JournalFile(folder.path, kEcu, "EF456GH")),
            std::vector<int>{10});
  const auto listing = history::ListSnapshots(folder.path);
  ASSERT_EQ(listing.snapshots.size(), 2u);
  EXPECT_EQ(listing.snapshots[0].ecu, "ecu-18-0-1-23_AB123CD");
  EXPECT_EQ(listing.snapshots[1].ecu, "ecu-18-0-1-23_EF456GH");
  EXPECT_TRUE(listing.skipped.empty()) << listing.skipped.front();  // the card is no stray
  ASSERT_TRUE(vehicle::LastChosen(folder.path, kEcu));
  EXPECT_EQ(vehicle::LastChosen(folder.path, kEcu)->key, "AB123CD");
  EXPECT_FALSE(vehicle::Choose(folder.path, kEcu, "ZZ999ZZ", kNoon).done);
}

TEST(VehicleCard, MergingMovesEverySnapshotAndJournalLine) {
  TempFolder folder("mv-vehicle-merge");
  Card into = CardFor("AB123CD");
  into.notes = "new clutch";
  Card from = CardFor("", "WVWZZZ1JZXW000001");
  from.owner = "Rossi";
  from.notes = "gas leak fixed";
  ASSERT_TRUE(vehicle::AddCard(folder.path, kEcu, into).done);
  ASSERT_TRUE(vehicle::AddCard(folder.path, kEcu, from).done);
  // Same second in both folders: the moved snapshot must not overwrite.
  KeepSession(folder.path, "AB123CD", kNoon, 9);
  KeepSession(folder.path, "AB123CD", kNoon + 2h, 11);
  KeepSession(folder.path, "WVWZZZ1JZXW000001", kNoon, 10);

  const auto merged =
      vehicle::MergeCards(folder.path, kEcu, "WVWZZZ1JZXW000001", "AB123CD", kNoon + 3h);
  ASSERT_TRUE(merged.done) << merged.error;
  const auto cards = vehicle::ListCards(folder.path, kEcu);
  ASSERT_EQ(cards.size(), 1u);
  EXPECT_EQ(cards[0].card.vin, "WVWZZZ1JZXW000001");
  EXPECT_EQ(cards[0].card.owner, "Rossi");
  EXPECT_EQ(cards[0].card.notes, "new clutch\ngas leak fixed");
  EXPECT_EQ(history::ListSnapshots(folder.path).snapshots.size(), 3u);
  const auto journal = ReadJournal(history::JournalFile(folder.path, kEcu, "AB123CD"));
  ASSERT_EQ(journal.lines.size(), 4u);
  EXPECT_EQ(journal.lines[0].identifier, 9);  // time order across both journals
  EXPECT_EQ(journal.lines[1].identifier, 10);
  EXPECT_EQ(journal.lines[2].identifier, 11);
  EXPECT_EQ(journal.lines[3].event, "vehicles merged");
  EXPECT_FALSE(vehicle::MergeCards(folder.path, kEcu, "AB123CD", "AB123CD", kNoon).done);
}

TEST(VehicleCard, DeletingKeepsTheFilesAndJournalsTheDeletion) {
  TempFolder folder("mv-vehicle-delete");
  ASSERT_TRUE(vehicle::AddCard(folder.path, kEcu, CardFor("AB123CD")).done);
  KeepSession(folder.path, "AB123CD", kNoon, 9);
  ASSERT_TRUE(vehicle::DeleteCard(folder.path, kEcu, "AB123CD", kNoon + 1h).done);
  EXPECT_TRUE(vehicle::ListCards(folder.path, kEcu).empty());
  EXPECT_EQ(history::ListSnapshots(folder.path).snapshots.size(), 1u);
  const auto journal = ReadJournal(history::JournalFile(folder.path, kEcu, "AB123CD"));
  ASSERT_EQ(journal.lines.size(), 2u);
  EXPECT_EQ(journal.lines[1].event, "vehicle deleted");
  EXPECT_EQ(journal.lines[1].note, "AB123CD");
  EXPECT_TRUE(fs::exists(folder.path / "ecu-18-0-1-23_AB123CD" / "vehicle-deleted.txt"));
  EXPECT_FALSE(vehicle::DeleteCard(folder.path, kEcu, "AB123CD", kNoon).done);
}

TEST(VehicleCard, WhatWasKeptBeforeCardsCanBeAssignedToOne) {
  TempFolder folder("mv-vehicle-assign");
  KeepSession(folder.path, {}, kNoon, 9);
  ASSERT_TRUE(vehicle::AddCard(folder.path, kEcu, CardFor("AB123CD")).done);
  const auto assigned = vehicle::AssignEarlierHistory(folder.path, kEcu, "AB123CD", kNoon + 1h);
  ASSERT_TRUE(assigned.done) << assigned.error;
  const auto listing = history::ListSnapshots(folder.path);
  ASSERT_EQ(listing.snapshots.size(), 1u);
  EXPECT_EQ(listing.snapshots[0].ecu, "ecu-18-0-1-23_AB123CD");
  EXPECT_EQ(JournalIdentifiers(history::JournalFile(folder.path, kEcu, "AB123CD")),
            (std::vector<int>{9, -1}));
  EXPECT_FALSE(fs::exists(folder.path / "ecu-18-0-1-23"));
  // Nothing is left to assign a second time.
  EXPECT_FALSE(vehicle::AssignEarlierHistory(folder.path, kEcu, "AB123CD", kNoon).done);
}
