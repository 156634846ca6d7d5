// The update wizard's start-up checks: avatar root, trusted update hosts,
// cookie values and text, and browser name.
#include "updatewizard/wizardapp.h"

#include <gtest/gtest.h>

namespace {

const char kRoot[] = "http://patch1.zkgames.test:30109/";
const char kSuffixes[] = ".zkgames.test;.zkportal.test;.zkplay.test";

// Lead bytes of the Korean code page (949).
bool KoreanLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

TEST(WizardAppTest, AvatarAddressMustBeginWithTheRoot) {
  struct Case {
    const char* address;
    int code;
  } cases[] = {
      {"http://patch1.zkgames.test:30109/CorvaliseAvatar.htm", 0},
      {"HTTP://PATCH1.ZKGAMES.TEST:30109/x", 0},  // letter case is ignored
      {"http://patch1.zkgames.test:30109/", 0},
      {"http://patch1.zkgames.test:30109", 2002},   // shorter than the root
      {"http://patch1.zkgames.test:3010/x", 2002},  // another port
      {"http://patch1.zkgames.test:30110/x", 2002},
      {"http://evil.test/http://patch1.zkgames.test:30109/", 2002},
      {"http://patch1.zkgames.test:301090/x", 2002},  // the root's final "/" counts
      {"", 2002},
      {nullptr, 2002},
      // Under the root, but able to leave it once decoded or split.
      {"http://patch1.zkgames.test:30109/a/../../CorvaliseAvatar.htm", 2002},
      {"http://patch1.zkgames.test:30109/%2e%2e/CorvaliseAvatar.htm", 2002},
      {"http://patch1.zkgames.test:30109/..\\x\\CorvaliseAvatar.htm", 2002},
      {"http://patch1.zkgames.test:30109/@evil.test/CorvaliseAvatar.htm", 2002},
      {"http://patch1.zkgames.test:30109/x.htm\r\nHost: evil.test", 2002},
      {"http://patch1.zkgames.test:30109/\xA3\xAE\xA3\xAE\xA3\xAFx.htm", 2002},  // 949's "．．／"
      // A fragment is never sent: "x.txt#.htm" would fetch x.txt as the
      // script and as the hash list alike.
      {"http://patch1.zkgames.test:30109/x.txt#.htm", 2002},
      // The script's address may carry a query for the portal's server.
      {"http://patch1.zkgames.test:30109/CorvaliseAvatar.htm?v=20240101&game=1", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckAvatarUrl(c.address, kRoot), c.code) << (c.address ? c.address : "null");
}

TEST(WizardAppTest, UpdateHostMustEndInATrustedSuffix) {
  struct Case {
    const char* address;
    int code;
  } cases[] = {
      {"http://www.zkgames.test/update", 0},
      {"http://a.b.zkportal.test:8080/x?y=1", 0},
      {"https://game.zkplay.test", 0},
      {"http://zkgames.test/", 2002},                // no leading label, no dot to match
      {"http://www.zkgames.test.evil.test/", 2002},  // suffix inside, not at the end
      {"http://x.zkgames.test.zkgames.test/", 2002},  // only the first occurrence counts
      {"http://www.ZKGAMES.TEST/", 2002},            // case-sensitive
      {"http://www.evil.test/.zkgames.test", 2002},  // the path is no part of the host
      {"", 2002},
      {"not an address", 2002},
      {"www.zkgames.test", 2002},
      {nullptr, 2002},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckUpdateUrlHost(c.address, kSuffixes, KoreanLead), c.code) << (c.address ? c.address : "null");
}

TEST(WizardAppTest, FirstOccurrenceStepsOverDoubleByteCharacters) {
  // "\xB0.z" holds ".z" at offset 1 only when 0xB0 is taken as a single byte.
  EXPECT_EQ(FindFirstOccurrence("\xB0.zz.z", ".z", KoreanLead), 4);
  EXPECT_EQ(FindFirstOccurrence("\xB0.zz.z", ".z", nullptr), 1);
  EXPECT_EQ(FindFirstOccurrence("abc", "d", KoreanLead), -1);
  EXPECT_EQ(FindFirstOccurrence("dllhost", "dllhost", KoreanLead), 0);
}

TEST(WizardAppTest, CookieValuesWithAttributesOrControlCharactersAreRefused) {
  struct Case {
    const char* value;
    bool plain;
  } cases[] = {
      {"auth-1", true},
      {"a=b,c d", true},
      {"", true},
      {"\xB0\xA1\x80\xFF", true},  // bytes of the code page above 0x7F
      {"attacker-session; expires=Fri, 01 Jan 2038 00:00:00 GMT", false},
      {";", false},
      {"a\rb", false},
      {"a\nSet-Cookie: b=c", false},
      {"a\tb", false},
      {"\x01", false},
      {"a\x1F", false},
      {"a\x7F", false},
      {nullptr, false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsPlainCookieValue(c.value), c.plain) << (c.value ? c.value : "null");
}

TEST(WizardAppTest, CookieTextAndBrowserName) {
  EXPECT_STREQ(FormatPortalCookie("SSOValidate", "a=b", "zkgames.test").GetString(),
               "SSOValidate=a=b; path=/; domain=.zkgames.test");
  struct Case {
    const char* path;
    const char* version;
    const char* name;
  } cases[] = {
      {"c:\\program files\\web\\firefox.exe", "91.0.2", "firefox 91.0.2"},
      {"c:\\windows\\explorer.exe", "", "explorer "},  // no version block: a trailing space
      {"c:\\a.b\\runner", "1", "runner 1"},
      {"", "", " "},
  };
  for (const Case& c : cases) EXPECT_STREQ(BrowserNameFromPath(c.path, c.version).GetString(), c.name) << c.path;
}

}  // namespace
