// Tests of the statistics report's request texts and system line.
#include "updatewizard/statisticsreport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const char kPage[] = "http://stats.test/cpage/ClientDownLoad/index_v2.asp";

// text as it goes into the query: blanks as %20, nothing else changed.
std::string Blanks(const std::string& text) {
  std::string out;
  for (char c : text) out += c == ' ' ? std::string("%20") : std::string(1, c);
  return out;
}

std::string Query(const std::string& address, const std::string& game, int grid, int launcher,
                  const std::string& file) {
  return address + "?GameCode=" + game +
         "&contentType=hashcheck&iRunType=0&IsPageStyle=0&IsAgree=0&IsAgreeStartPage=0&iReturnGridError=" +
         std::to_string(grid) + "&iReturnLauncherError=" + std::to_string(launcher) + "&strErrorFileName=" + file;
}

TEST(StatisticsAddress, MissingOrEmptyMeansTheBuiltInAddress) {
  const char* built_in = std::getenv("ZK_STATISTICS_URL");
  ASSERT_NE(built_in, nullptr);
  EXPECT_STREQ(DefaultStatisticsUrl(), built_in);
  EXPECT_NE(std::string(built_in).find("/cpage/ClientDownLoad/index_v2.asp"), std::string::npos);
  EXPECT_STREQ(StatisticsUrlOrDefault(nullptr), built_in);
  EXPECT_STREQ(StatisticsUrlOrDefault(""), built_in);
  EXPECT_STREQ(StatisticsUrlOrDefault(kPage), kPage);
}

struct RequestCase {
  const char* name;
  const char* url;
  const char* game;
  const char* path;
  int launcher;
  int grid;
  std::string expected;
};

TEST(StatisticsRequest, QueryKeysValuesAndFileText) {
  const std::string built_in = DefaultStatisticsUrl();
  const std::string line = "Windows 5.1.2600_Service Pack 3(32) , Browser:IE 8.0 , Avatar Ver:0";
  const RequestCase cases[] = {
      {"failed file sends its name only", kPage, "GAME01", "C:\\Users\\a\\AppData\\Roaming\\corvalise\\Quillan1.exe.zip",
       5011, 0, Query(kPage, "GAME01", 0, 5011, "Quillan1.exe.zip")},
      {"forward slashes separate too", kPage, "G", "C:/data/corvalise/Quillan1.exe.zip", 5011, 0,
       Query(kPage, "G", 0, 5011, "Quillan1.exe.zip")},
      {"a bare name stays", kPage, "G", "Quillan1.exe.zip", 7, 0, Query(kPage, "G", 0, 7, "Quillan1.exe.zip")},
      {"other grid errors also take the name", kPage, "G", "C:\\x\\y.zip", 5011, 12,
       Query(kPage, "G", 12, 5011, "y.zip")},
      {"system line goes whole, only its blanks escaped", kPage, "G", line.c_str(), 5011, 9999,
       Query(kPage, "G", 9999, 5011, Blanks(line))},
      {"system line with a backslash is not cut", kPage, "G", "a\\b (c)", 5011, 9999,
       Query(kPage, "G", 9999, 5011, "a\\b%20(c)")},
      {"empty address means the built-in one", "", "G", "C:\\q.zip", 5011, 0, Query(built_in, "G", 0, 5011, "q.zip")},
      {"missing address means the built-in one", nullptr, "G", "C:\\q.zip", 5011, 0,
       Query(built_in, "G", 0, 5011, "q.zip")},
      {"missing game code and path give empty values", kPage, nullptr, nullptr, 5011, 0, Query(kPage, "", 0, 5011, "")},
      {"missing system line gives an empty value", kPage, "G", nullptr, 5011, 9999, Query(kPage, "G", 9999, 5011, "")},
      {"query-changing characters are escaped", kPage, "A&B", "C:\\x\\a&b#c+d%e=f.zip", 5011, 0,
       Query(kPage, "A%26B", 0, 5011, "a%26b%23c%2Bd%25e=f.zip")},
      {"control bytes are escaped", kPage, "G", "x\r\ny\t.zip", 5011, 9999, Query(kPage, "G", 9999, 5011, "x%0D%0Ay%09.zip")},
      {"code-page bytes stay", kPage, "G", "C:\\\xB0\xD4\xC0\xD3\\\xC6\xC4\xC0\xCF.zip", 5011, 0,
       Query(kPage, "G", 0, 5011, "\xC6\xC4\xC0\xCF.zip")},
      {"negative errors", kPage, "G", "q.zip", -1, -2, Query(kPage, "G", -2, -1, "q.zip")},
  };
  for (const RequestCase& c : cases) {
    EXPECT_EQ(std::string(FormatStatisticsRequest(c.url, c.game, c.path, c.launcher, c.grid).GetString()), c.expected)
        << c.name;
  }
}

TEST(StatisticsEscape, OnlyStructureAndControlCharacters) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"", ""},
      {"Windows 10 Pro 6.3.19041(64) , Browser:IE 11.0 , Avatar Ver:0",
       "Windows%2010%20Pro%206.3.19041(64)%20,%20Browser:IE%2011.0%20,%20Avatar%20Ver:0"},
      {"%20", "%2520"},
      {"&&##++", "%26%26%23%23%2B%2B"},
      {"\x01\x1F\x7F", "%01%1F%7F"},
      {"a=b?c/d;e", "a=b?c/d;e"},
  };
  for (const auto& c : cases) EXPECT_STREQ(EscapeStatisticsValue(c.in).GetString(), c.out) << c.in;
  EXPECT_STREQ(EscapeStatisticsValue(nullptr).GetString(), "");
}

TEST(SystemLine, VersionThresholdOfTheRegistryTexts) {
  const struct {
    unsigned major, minor;
    bool uses;
  } cases[] = {{5, 1, false}, {5, 9, false}, {6, 0, false}, {6, 1, false}, {6, 2, true}, {6, 3, true}, {10, 0, true}};
  for (const auto& c : cases) EXPECT_EQ(UsesCurrentVersionKey(c.major, c.minor), c.uses) << c.major << "." << c.minor;
}

SystemDescriptionParts Parts(unsigned major, unsigned minor, unsigned build, const char* service_pack, int bits) {
  SystemDescriptionParts parts;
  InitSystemDescriptionParts(parts, major, minor, build, service_pack);
  parts.bits = bits;
  return parts;
}

TEST(SystemLine, FormatOfItsParts) {
  SystemDescriptionParts registry = Parts(10, 0, 19045, "", 64);
  SetSystemText(registry.product, "Windows 10 Pro");
  SetSystemText(registry.version, "6.3");
  SetSystemText(registry.build, "19041.vb_release.191206-1406");
  SystemDescriptionParts defaults;
  InitSystemDescriptionParts(defaults, 6, 1, 7601, nullptr);
  const struct {
    const char* name;
    SystemDescriptionParts parts;
    const char* browser;
    int avatar;
    const char* expected;
  } cases[] = {
      {"XP with a service pack", Parts(5, 1, 2600, "Service Pack 3", 32), "IE 8.0", 0,
       "Windows 5.1.2600_Service Pack 3(32) , Browser:IE 8.0 , Avatar Ver:0"},
      {"defaults: Windows, no service pack, 32 bits", defaults, "chrome 1.2.3.4", 7,
       "Windows 6.1.7601_(32) , Browser:chrome 1.2.3.4 , Avatar Ver:7"},
      {"registry texts on 64 bits", registry, "IE 11.0", 0,
       "Windows 10 Pro 6.3.19041.vb_release.191206-1406_(64) , Browser:IE 11.0 , Avatar Ver:0"},
      {"missing browser", Parts(5, 1, 2600, "", 32), nullptr, 0, "Windows 5.1.2600_(32) , Browser: , Avatar Ver:0"},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(FormatSystemDescription(c.parts, c.browser, c.avatar).GetString(), c.expected) << c.name;
  }
}

TEST(SystemLine, LongLineKeepsItsFirst254Characters) {
  const SystemDescriptionParts parts = Parts(5, 1, 2600, "Service Pack 3", 32);
  const std::string head = "Windows 5.1.2600_Service Pack 3(32) , Browser:";
  for (size_t total : {253u, 254u, 255u, 300u}) {
    const std::string tail = " , Avatar Ver:0";
    const std::string browser(total - head.size() - tail.size(), 'b');
    const std::string whole = head + browser + tail;
    ASSERT_EQ(whole.size(), total);
    EXPECT_EQ(std::string(FormatSystemDescription(parts, browser.c_str(), 0).GetString()), whole.substr(0, 254))
        << total;
  }
}

TEST(SystemLine, TextsAreBoundedToTheirBuffers) {
  SystemDescriptionParts parts = Parts(5, 1, 2600, std::string(200, 's').c_str(), 32);
  EXPECT_EQ(std::string(parts.service_pack), "_" + std::string(126, 's'));
  SetSystemText(parts.product, std::string(300, 'p').c_str());
  EXPECT_EQ(std::string(parts.product), std::string(127, 'p'));
  SetSystemText(parts.product, nullptr);
  EXPECT_EQ(std::string(parts.product), std::string(127, 'p'));
}

}  // namespace
