#include "VehicleCommands.h"

#include <chrono>
#include <map>

#include "Companion.h"
#include "History.h"
#include "HistoryCommands.h"
#include "VehicleCard.h"

namespace {

int Usage(std::ostream& err, const std::string& why) {
  err << "ecuctl: " << why << " (ecuctl help shows the commands)\n";
  return kExitUsage;
}

// "--plate X" and friends of vehicle add.
const std::map<std::string, std::string vehicle::Card::*> kOptions = {
    {"--plate", &vehicle::Card::plate}, {"--vin", &vehicle::Card::vin},
    {"--make", &vehicle::Card::make},   {"--model", &vehicle::Card::model},
    {"--owner", &vehicle::Card::owner}, {"--odometer", &vehicle::Card::odometer},
    {"--notes", &vehicle::Card::notes},
};

void Print(const vehicle::StoredCard& stored, std::ostream& out) {
  const vehicle::Card& c = stored.card;
  out << stored.key << "  plate " << (c.plate.empty() ? "-" : c.plate) << ", VIN "
      << (c.vin.empty() ? "-" : c.vin);
  if (!c.make.empty() || !c.model.empty()) out << ", " << c.make << ' ' << c.model;
  if (!c.owner.empty()) out << ", owner " << c.owner;
  if (!c.odometer.empty()) out << ", " << c.odometer << " km";
  if (!c.chosen.empty()) out << ", chosen " << c.chosen;
  out << "\n";
}

}  // namespace

bool IsVehicleCommand(const std::string& name) {
  return name == "vehicle";
}

const char* VehicleUsage() {
  return "  vehicle add --plate PLATE [--vin VIN] [--make M] [--model M] [--owner O]\n"
         "              [--odometer KM] [--notes TEXT]\n"
         "                             a card for the car of the connected ECU\n"
         "  vehicle list               the cards of the connected ECU\n"
         "  vehicle choose PLATE       the car the next sessions and reports belong to\n";
}

int RunVehicleCommand(const std::vector<std::string>& args, ecu::EcuLink& link, std::ostream& out,
                      std::ostream& err) {
  if (args.size() < 2) return Usage(err, "vehicle needs add, list or choose");
  const std::string& what = args[1];
  vehicle::Card card;
  std::string plate;
  if (what == "add") {
    for (std::size_t i = 2; i < args.size(); ++i) {
      const auto option = kOptions.find(args[i]);
      if (option == kOptions.end()) return Usage(err, "unknown option " + args[i]);
      if (i + 1 >= args.size()) return Usage(err, args[i] + " needs a value");
      card.*(option->second) = args[++i];
    }
    if (card.plate.empty() && card.vin.empty()) return Usage(err, "vehicle add needs --plate or --vin");
  } else if (what == "list") {
    if (args.size() != 2) return Usage(err, "vehicle list takes no operand");
  } else if (what == "choose") {
    if (args.size() != 3) return Usage(err, "vehicle choose takes one plate");
    plate = args[2];
  } else {
    return Usage(err, "unknown vehicle command " + what);
  }

  ecu::Identification id;
  const int connected = ConnectAndIdentify(link, &id, err);
  link.Disconnect();
  if (connected != kExitOk) return connected;
  const auto folder = history::DefaultFolder();
  const auto now = std::chrono::system_clock::now();

  if (what == "list") {
    const auto cards = vehicle::ListCards(folder, id);
    if (cards.empty()) out << "no vehicle cards for " << history::EcuFolderName(id) << "\n";
    for (const auto& stored : cards) Print(stored, out);
    return kExitOk;
  }
  if (what == "add") {
    const auto added = vehicle::AddCard(folder, id, card);
    if (!added.done) {
      err << "ecuctl: " << added.error << "\n";
      return kExitUsage;
    }
    out << "card kept in " << added.folder.string() << "\n";
    return kExitOk;
  }
  const auto chosen = vehicle::Choose(folder, id, plate, now);
  if (!chosen.done) {
    err << "ecuctl: " << chosen.error << " (ecuctl vehicle list shows the cards)\n";
    return kExitUsage;
  }
  out << "chosen: " << chosen.folder.filename().string() << "\n";
  return kExitOk;
}
