#include "ResultFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "SyntheticDrive.h"

namespace {

using calibration::ResultRow;

std::vector<ResultRow> SomeRows() {
  calibration::testing::Recording r;
  r.Phase(false, 800, 25).Phase(true, 800, 25, {0.08, 0.08, 0, 1});
  return calibration::RowsOf(calibration::Check(r.samples, r.car));
}

TEST(ResultFile, RowsPerBandAndFuelInAFixedOrder) {
  const auto rows = SomeRows();
  ASSERT_EQ(rows.size(), 4u);
  const char* expected[][4] = {
      {"idle", "petrol", "ok", ""},
      {"idle", "gas", "lean-on-gas", ""},
      {"2500", "petrol", "not-enough-data", "not-recorded"},
      {"2500", "gas", "not-enough-data", "not-recorded"},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].band, expected[i][0]);
    EXPECT_EQ(rows[i].fuel, expected[i][1]);
    EXPECT_EQ(rows[i].verdict, expected[i][2]);
    EXPECT_EQ(rows[i].reason, expected[i][3]);
  }
  EXPECT_NEAR(rows[1].meanLambdaVolts, 0.08, 0.01);
}

TEST(ResultFile, WrittenBesideTheLogAndReadBack) {
  const std::string folder = ::testing::TempDir();
  const std::string log = folder + "/drive-" + std::to_string(::getpid()) + ".mlg";
  const std::string path = calibration::ResultPathFor(log);
  EXPECT_EQ(path, log.substr(0, log.size() - 4) + ".check.csv");
  auto rows = SomeRows();
  for (auto& row : rows) row.actuatorMean = 123.456;  // kept to two decimals
  std::string error;
  ASSERT_TRUE(calibration::WriteResultFile(path, rows, &error)) << error;
  std::vector<ResultRow> back;
  ASSERT_TRUE(calibration::ReadResultFile(path, &back, &error)) << error;
  // The file keeps two decimals of every figure.
  ASSERT_EQ(back.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(back[i].band, rows[i].band);
    EXPECT_EQ(back[i].verdict, rows[i].verdict);
    EXPECT_EQ(back[i].reason, rows[i].reason);
    EXPECT_NEAR(back[i].actuatorMean, 123.46, 1e-9);
    EXPECT_NEAR(back[i].validSeconds, rows[i].validSeconds, 0.005);
    EXPECT_NEAR(back[i].meanLambdaVolts, rows[i].meanLambdaVolts, 0.005);
  }
  std::remove(path.c_str());
  EXPECT_FALSE(calibration::ReadResultFile(path, &back, &error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST(ResultFile, RefusesWhatIsNotAResult) {
  const std::string header = std::string(calibration::kResultHeader) + "\n";
  const struct {
    std::string text;
    const char* reason;
  } cases[] = {
      {"Time,RPM\n1,800\n", "not a check result"},
      {"", "not a check result"},
      {header + "idle,gas,ok,,1,2\n", "line 2: 6 fields"},
      {header + "idle,gas,ok,,1,0.5,0.5,0.45,100,3,0.1,0,0,x\n", "line 2: 'x' is not a number"},
  };
  for (const auto& c : cases) {
    std::vector<ResultRow> rows;
    std::string error;
    EXPECT_FALSE(calibration::ParseResultCsv(c.text, &rows, &error)) << c.text;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

}  // namespace
