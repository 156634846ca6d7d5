// Tests of the starter's run-parameter holder and the launch of the update
// wizard: what reaches the store, what is left out, and the debugger trace.
#include "starter/paramdata.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "zkcrypt/corecipher.h"
#include "tests/support/fakerunenv.h"

namespace {

// Collects what this process writes to the debugger output: the system
// raises DBG_PRINTEXCEPTION_C, which a vectored handler sees first.
std::string g_trace;

LONG CALLBACK CollectDebugOutput(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
    g_trace += reinterpret_cast<const char*>(record->ExceptionInformation[1]);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

class DebugOutput {
 public:
  DebugOutput() : handler_(AddVectoredExceptionHandler(1, CollectDebugOutput)) { g_trace.clear(); }
  ~DebugOutput() { RemoveVectoredExceptionHandler(handler_); }
  DebugOutput(const DebugOutput&) = delete;
  DebugOutput& operator=(const DebugOutput&) = delete;

 private:
  void* handler_;
};

// The AddParam traces of a trace, in order, as key=value lines.
std::string PairTraces(const std::string& trace) {
  std::string pairs;
  std::regex pair("\\[\\[\\[\\[\\[(.*?)-------------(.*?)\\]\\]\\]\\]\\]");
  for (std::sregex_iterator it(trace.begin(), trace.end(), pair), end; it != end; ++it) {
    std::string value = (*it)[2];
    pairs += (*it)[1].str() + "=" + (value.size() > 8 ? value.substr(0, 1) + "*" + std::to_string(value.size()) : value) +
             "\n";
  }
  return pairs;
}

// The stored value, or "<none>".
std::string Value(CParamData& params, const char* name) {
  const char* value = params.GetValue(name);
  return value ? value : "<none>";
}

TEST(CParamDataTest, TracesEveryPairAndKeepsValuesUpTo4096Bytes) {
  DebugOutput output;
  CParamData params;
  EXPECT_TRUE(params.AddParam("Big4096", std::string(4096, 'x').c_str(), 0));
  EXPECT_FALSE(params.AddParam("Big4097", std::string(4097, 'y').c_str(), 0));
  EXPECT_FALSE(params.AddParam(nullptr, "v", 0));
  EXPECT_FALSE(params.AddParam("k", nullptr, 0));
  EXPECT_TRUE(params.AddParam("Empty", "", 0));
  EXPECT_EQ(PairTraces(g_trace), "Big4096=x*4096\nBig4097=y*4097\n=v\nk=\nEmpty=\n");
  EXPECT_EQ(std::string(4096, 'x'), Value(params, "Big4096"));
  EXPECT_FALSE(params.HasValue("Big4097"));
  EXPECT_FALSE(params.HasValue("k"));
  EXPECT_TRUE(params.HasValue("Empty"));
}

TEST(CParamDataTest, SecureValueIsStoredDecrypted) {
  char hex[128] = {};
  ASSERT_EQ(0, Crypt("qmzvtrokhulwab", 0, "secret value", hex, sizeof(hex)));
  CParamData params;
  EXPECT_TRUE(params.AddParam("S", hex, 1));
  EXPECT_EQ("secret value", Value(params, "S"));
  EXPECT_FALSE(params.AddParam("Bad", "0011", 1));  // not a whole block
  EXPECT_FALSE(params.HasValue("Bad"));
  // Any other flag stores the text as it is.
  EXPECT_TRUE(params.AddParam("S", hex, 2));
  EXPECT_EQ(hex, Value(params, "S"));
}

TEST(LaunchUpdateWizardTest, HandsOnThePairsInMapOrderByQuotedFullPath) {
  zktest::FakeRunEnv fake;
  DebugOutput output;
  StarterPairMap pairs;
  pairs[L"b"] = L"2";
  pairs[L"Key"] = L"upper";
  pairs[L"key"] = L"lower";
  pairs[L"Big4097"] = CString(std::wstring(4097, L'y').c_str());
  pairs[L"A"] = L"1";
  EXPECT_TRUE(LaunchUpdateWizard(L"C:\\Program Files\\", pairs));
  EXPECT_EQ(PairTraces(g_trace), "A=1\nBig4097=y*4097\nKey=upper\nb=2\nkey=lower\n");
  ASSERT_EQ(1u, fake.launches.size());
  EXPECT_EQ("\"C:\\Program Files\\Tesselo1.exe\"", fake.launches[0].program);
  // The library gives the program's folder as the working folder.
  EXPECT_EQ("C:\\Program Files\\", fake.launches[0].directory);
  // The library's own trace shows the text it encrypted: the refused pair is
  // missing, and Key and key are one parameter holding the later value.
  std::smatch encrypted;
  ASSERT_TRUE(std::regex_search(g_trace, encrypted, std::regex("Encrypt: ([^\n]*)\n"))) << g_trace;
  EXPECT_EQ(std::string::npos, encrypted[1].str().find("Big4097"));
  EXPECT_NE(std::string::npos, encrypted[1].str().find(";A=1;"));
  EXPECT_NE(std::string::npos, encrypted[1].str().find(";b=2"));
  EXPECT_NE(std::string::npos, encrypted[1].str().find("=lower;"));
  EXPECT_EQ(std::string::npos, encrypted[1].str().find("upper"));
  EXPECT_EQ(fake.RunEnv(), (std::map<std::string, std::string>{})) << "the variables go after the launch";
}

TEST(LaunchUpdateWizardTest, EmptyMapStillLaunchesAndAFailedLaunchIsFalse) {
  zktest::FakeRunEnv fake;
  EXPECT_TRUE(LaunchUpdateWizard(L"C:\\windows\\", StarterPairMap()));
  fake.launchSucceeds = false;
  EXPECT_FALSE(LaunchUpdateWizard(L"C:\\windows\\", StarterPairMap()));
  EXPECT_EQ(2u, fake.launches.size());
}

}  // namespace
