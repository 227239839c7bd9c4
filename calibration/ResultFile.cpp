#include "ResultFile.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace calibration {
namespace {

constexpr int kFigureCount = 10;

std::string Figure(double value) {
  char buffer[32];
  // to_chars is free of the locale, so the file reads the same everywhere.
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  return std::string(buffer, end.ptr);
}

bool ParseFigure(const std::string& text, double* value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, *value);
  return result.ec == std::errc() && result.ptr == end;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, ',')) fields.push_back(field);
  if (!line.empty() && line.back() == ',') fields.emplace_back();
  return fields;
}

}  // namespace

const char* const kResultHeader =
    "band,fuel,verdict,reason,switching_per_s,lean_share,rich_share,mean_lambda_v,"
    "actuator_mean,actuator_spread,window_use,upper_share,lower_share,valid_s";

std::vector<ResultRow> RowsOf(const CheckResult& result) {
  std::vector<ResultRow> rows;
  for (const BandVerdict& b : result.bands) {
    for (Fuel fuel : kFuels) {
      const PhaseSummary& p = fuel == Fuel::Gas ? b.gas : b.petrol;
      ResultRow row;
      row.band = TokenOf(b.band);
      row.fuel = TokenOf(fuel);
      row.verdict = TokenOf(b.VerdictOf(fuel));
      row.reason = TokenOf(b.ReasonOf(fuel));
      row.switchingPerSecond = p.switchingPerSecond;
      row.leanShare = p.leanShare;
      row.richShare = p.richShare;
      row.meanLambdaVolts = p.meanLambda / 100;
      row.actuatorMean = p.actuatorMean;
      row.actuatorSpread = p.actuatorSpread;
      row.windowUse = p.windowUse;
      row.upperShare = p.upperShare;
      row.lowerShare = p.lowerShare;
      row.validSeconds = p.validSeconds;
      rows.push_back(row);
    }
  }
  return rows;
}

std::string ResultCsv(const std::vector<ResultRow>& rows) {
  std::string text = std::string(kResultHeader) + "\n";
  for (const ResultRow& r : rows) {
    text += r.band + "," + r.fuel + "," + r.verdict + "," + r.reason;
    for (double v : {r.switchingPerSecond, r.leanShare, r.richShare, r.meanLambdaVolts,
                     r.actuatorMean, r.actuatorSpread, r.windowUse, r.upperShare, r.lowerShare,
                     r.validSeconds})
      text += "," + Figure(v);
    text += "\n";
  }
  return text;
}

bool ParseResultCsv(const std::string& text, std::vector<ResultRow>* rows, std::string* error) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kResultHeader) {
    *error = "line 1: not a check result (unknown header)";
    return false;
  }
  std::vector<ResultRow> parsed;
  for (int number = 2; std::getline(in, line); ++number) {
    if (line.empty()) continue;
    const std::vector<std::string> f = Fields(line);
    if (f.size() != 4 + kFigureCount) {
      *error = "line " + std::to_string(number) + ": " + std::to_string(f.size()) +
               " fields instead of " + std::to_string(4 + kFigureCount);
      return false;
    }
    ResultRow r{f[0], f[1], f[2], f[3]};
    double* figures[kFigureCount] = {&r.switchingPerSecond, &r.leanShare,    &r.richShare,
                                     &r.meanLambdaVolts,    &r.actuatorMean, &r.actuatorSpread,
                                     &r.windowUse,          &r.upperShare,   &r.lowerShare,
                                     &r.validSeconds};
    for (int i = 0; i < kFigureCount; ++i) {
      if (!ParseFigure(f[4 + i], figures[i])) {
        *error = "line " + std::to_string(number) + ": '" + f[4 + i] + "' is not a number";
        return false;
      }
    }
    parsed.push_back(r);
  }
  *rows = std::move(parsed);
  return true;
}

std::string ResultPathFor(const std::string& logPath) {
  const std::string extension = ".mlg";
  const bool hasExtension = logPath.size() > extension.size() &&
                            logPath.compare(logPath.size() - extension.size(), extension.size(),
                                            extension) == 0;
  const std::string stem =
      hasExtension ? logPath.substr(0, logPath.size() - extension.size()) : logPath;
  return stem + ".check.csv";
}

bool WriteResultFile(const std::string& path, const std::vector<ResultRow>& rows,
                     std::string* error) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << ResultCsv(rows);
    out.close();
    if (!out) {
      *error = "cannot write " + temporary;
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    *error = "cannot write " + path;
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

bool ReadResultFile(const std::string& path, std::vector<ResultRow>* rows, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open " + path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseResultCsv(text.str(), rows, error);
}

}  // namespace calibration
