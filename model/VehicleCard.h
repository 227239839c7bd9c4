// The vehicle card: which car an ECU sits in. ECUs of one model share one
// identification, so the history of each car is kept in a folder of its own
// beside the ECU's plain folder ("ecu-T-V-F-N_PLATE"); the card itself is a
// small text file in that folder. Cards are made, chosen, merged and deleted
// here; no file a card's history holds is ever dropped.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "EcuLink.h"

namespace vehicle {

struct Card {
  std::string plate;
  std::string vin;
  std::string make;
  std::string model;
  std::string owner;
  std::string odometer;  // kilometres, digits only; empty when not known
  std::string notes;
  std::string chosen;    // when last chosen, "YYYY-MM-DD HH:MM:SS"; empty if never

  bool operator==(const Card&) const = default;
};

// The longest plate, make, model or owner, and the longest notes.
constexpr std::size_t kFieldLength = 40;
constexpr std::size_t kNotesLength = 400;

enum class VinCheck { kFine, kLength, kForbiddenLetter, kBadCharacter };
// A VIN has 17 characters, digits and capital letters but never I, O or Q
// (they read as 1 and 0). Empty is fine: the VIN is optional.
VinCheck CheckVin(std::string_view vin);

enum class CardCheck {
  kFine,
  kNoPlateOrVin,  // one of them names the car
  kVinLength,
  kVinForbiddenLetter,
  kVinBadCharacter,
  kBadPlate,       // letters, digits, spaces and dashes only
  kBadOdometer,    // digits only
  kTooLong,        // a field past its length
};
CardCheck CheckCard(const Card& card);

// Plate and VIN as they are kept: capitals, no spaces around.
Card Normalised(Card card);
// The card's own part of its folder's name: the plate's letters and digits,
// or the VIN when there is no plate.
std::string Key(const Card& card);

// The folder of one car of one ECU inside the history folder: "ecu-T-V-F-N"
// followed by "_" and the card's key; the ECU's plain folder for an empty key.
std::filesystem::path CarFolder(const std::filesystem::path& history,
                                const ecu::Identification& id, std::string_view key);

struct StoredCard {
  Card card;
  std::string key;
  std::filesystem::path folder;
};
// The cards of one ECU identification, by key.
std::vector<StoredCard> ListCards(const std::filesystem::path& history,
                                  const ecu::Identification& id);
std::optional<StoredCard> FindCard(const std::filesystem::path& history,
                                   const ecu::Identification& id, std::string_view plateOrKey);
// The card chosen most recently for this identification.
std::optional<StoredCard> LastChosen(const std::filesystem::path& history,
                                     const ecu::Identification& id);

struct Outcome {
  bool done = false;
  std::string error;  // why not, when not done
  std::filesystem::path folder;
};
// A new card; refused when one with its key exists already, or when it does
// not pass CheckCard.
Outcome AddCard(const std::filesystem::path& history, const ecu::Identification& id, Card card);
// Writes the card back over the stored card of the same key.
Outcome UpdateCard(const std::filesystem::path& history, const ecu::Identification& id,
                   Card card);
// Marks the card as the one chosen now.
Outcome Choose(const std::filesystem::path& history, const ecu::Identification& id,
               std::string_view key, std::chrono::system_clock::time_point time);
// Deletes the card: its snapshots and journal stay where they are (listed as
// before), the card's text is kept aside as "vehicle-deleted.txt", and the
// journal says when and which.
Outcome DeleteCard(const std::filesystem::path& history, const ecu::Identification& id,
                   std::string_view key, std::chrono::system_clock::time_point time);
// Merges the card from into the card into: the fields into lacks are taken
// from from, the notes joined, and from's snapshots and journal lines move
// to into's folder. The journal says so.
Outcome MergeCards(const std::filesystem::path& history, const ecu::Identification& id,
                   std::string_view from, std::string_view into,
                   std::chrono::system_clock::time_point time);
// Moves what the ECU's plain folder kept (snapshots and journal, from before
// there were cards) to the card's folder. The journal says so.
Outcome AssignEarlierHistory(const std::filesystem::path& history,
                             const ecu::Identification& id, std::string_view key,
                             std::chrono::system_clock::time_point time);

// The card file's text and back; lines "name=value", line breaks in the
// notes kept as "\n".
std::string FormatCard(const Card& card);
Card ParseCard(std::string_view text);

}  // namespace vehicle
