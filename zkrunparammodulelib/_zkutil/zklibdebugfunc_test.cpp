// Tests of the starter's build of the library: the traces of group lookups, comparisons and encryption.
#include "zkrunparammodulelib/_zkutil/zklibdebugfunc.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "zkrunparammodulelib/zkrunparam.h"
#include "tests/support/fakerunenv.h"

namespace {

std::string g_trace;

}  // namespace

void RunParamDebugOutput(const char* text) { g_trace += text; }

namespace {

// The trace without its comparison lines, whose number depends on the map's shape.
std::string WithoutCompares(const std::string& trace) {
  return std::regex_replace(trace, std::regex("Compare [^\n]*\n"), "");
}

TEST(RunParamDebugTrace, FormatsWithTheLibraryFormatter) {
  g_trace.clear();
  RunParamDebugTrace("%05d [%s]", -42, static_cast<const char*>(nullptr));
  RunParamDebugTrace(nullptr);
  EXPECT_EQ(g_trace, "-00042 [(NULL)]");
}

TEST(RunParamDebugTrace, GroupLookupsAndComparisons) {
  CZKRunParam param;
  g_trace.clear();
  ASSERT_EQ(param.SetValue("Key", "1"), 0);
  std::string firstSet = WithoutCompares(g_trace);
  EXPECT_TRUE(std::regex_match(firstSet, std::regex("FindGroup  __defAult_sectIonNAMEbyBrumel 1\n"
                                                     " not found\n"
                                                     " created\n"
                                                     "  map : [0-9a-f]{8}\n")))
      << firstSet;

  g_trace.clear();
  param.GetValue("KEY");
  EXPECT_NE(g_trace.find("Compare KEY Key\n"), std::string::npos) << g_trace;
  EXPECT_TRUE(std::regex_match(WithoutCompares(g_trace),
                               std::regex("FindGroup  __defAult_sectIonNAMEbyBrumel 0\n  map : [0-9a-f]{8}\n")));

  CZKRunParam other;
  g_trace.clear();
  other.HasValue("x");
  EXPECT_EQ(WithoutCompares(g_trace), "FindGroup  __defAult_sectIonNAMEbyBrumel 0\n not found\n  map : 00000000\n");
}

TEST(RunParamDebugTrace, EncryptionSteps) {
  zktest::FakeRunEnv fake;
  CZKRunParam param;
  param.SetValue("B", "2");
  g_trace.clear();
  ASSERT_EQ(param.Execute("r.exe", nullptr, "ZKKEY1_0001"), 0);
  std::string hex = fake.launches.at(0).environment.at("ZKRunEnv_DATA_1");
  EXPECT_EQ(WithoutCompares(g_trace),
            "---------------------------------------------\n"
            "Encrypt: <<__defAult_sectIonNAMEbyBrumel=>>;B=2;\n"
            "New\t: " + hex + "\n");
}

}  // namespace
