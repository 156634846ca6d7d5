// Checks which addresses a web page may name as the starter's download base.
#include "starter/downloadbase.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kBases[] = L"http://dl.zkgames.test/web/ZKStarter/;http://Mirror.zkgames.test:8080/zk/";

TEST(DownloadBase, OnlyAddressesUnderATrustedBaseAreUsed) {
  struct Case {
    const wchar_t* url;
    bool trusted;
  } cases[] = {
      {L"http://dl.zkgames.test/web/ZKStarter/", true},
      {L"HTTP://DL.ZKGAMES.TEST/WEB/zkstarter/", true},  // A-Z compared ignoring case
      {L"http://mirror.zkgames.test:8080/zk/beta/", true},  // the second base, and a folder below it
      {L"http://dl.zkgames.test/web/ZKStarter", false},    // shorter than the base
      {L"http://dl.zkgames.test/web/", false},
      {L"http://evil.test/web/ZKStarter/", false},
      {L"http://dl.zkgames.test.evil.test/web/ZKStarter/", false},
      {L"http://mirror.zkgames.test:80800/zk/", false},
      {L"https://dl.zkgames.test/web/ZKStarter/", false},
      {L"", false},
      // Under a base, but able to leave its folder or its server.
      {L"http://dl.zkgames.test/web/ZKStarter/../../evil/", false},
      {L"http://dl.zkgames.test/web/ZKStarter/..\\evil/", false},
      {L"http://dl.zkgames.test/web/ZKStarter/\\evil/", false},
      {L"http://dl.zkgames.test/web/ZKStarter/%2e%2e/evil/", false},
      {L"http://dl.zkgames.test/web/ZKStarter/@evil.test/", false},
      {L"http://dl.zkgames.test/web/ZKStarter/x\r\nHost: evil.test/", false},
      {L"http://dl.zkgames.test/web/ZKStarter/\t/", false},
      {L"http://dl.zkgames.test/web/ZKStarter/\x7f/", false},
      // Look-alikes, as the pair text's code page 949 decodes them (A3AE, A1A5,
      // A3AF, A1AC, A3A5): a best-fit conversion to ANSI makes them ".", "..",
      // "/", "\" and "%" again.
      {L"http://dl.zkgames.test/web/ZKStarter/\uFF0E\uFF0E\uFF0Fevil/", false},
      {L"http://dl.zkgames.test/web/ZKStarter/\u2025\uFF0Fevil/", false},
      {L"http://dl.zkgames.test/web/ZKStarter/\uFF0E\uFF0E\uFF3Cevil/", false},
      {L"http://dl.zkgames.test/web/ZKStarter/\uFF052e\uFF052e/evil/", false},
      // Any other character above 0x7E, a Korean folder name included.
      {L"http://dl.zkgames.test/web/ZKStarter/\uD55C/", false},
      {L"http://dl.zkgames.test/web/ZKStarter/\u0080/", false},
      // "Pelto/" and the archive's name would become a query or a fragment.
      {L"http://dl.zkgames.test/web/ZKStarter/other.zip#", false},
      {L"http://dl.zkgames.test/web/ZKStarter/#", false},
      {L"http://dl.zkgames.test/web/ZKStarter/list.php?file=", false},
      {L"http://dl.zkgames.test/web/ZKStarter/?", false},
      {L"http://dl.zkgames.test/web/ZKStarter/a-b_c.~/", true},  // the rest of ASCII stays
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsTrustedDownloadBase(c.url, kBases), c.trusted) << c.url;
  }
}

TEST(DownloadBase, ListEntriesThatAreNoHttpFolderAreSkipped) {
  struct Case {
    const wchar_t* bases;
    const wchar_t* url;
    bool trusted;
  } cases[] = {
      // Without the final "/" a base would admit other ports and hosts.
      {L"http://dl.zkgames.test:1", L"http://dl.zkgames.test:10/", false},
      {L"http://dl.zkgames.test", L"http://dl.zkgames.test.evil.test/", false},
      {L"ftp://dl.zkgames.test/", L"ftp://dl.zkgames.test/", false},
      {L"http://", L"http://evil.test/", false},
      {L"/", L"/x/", false},
      {L";;http://dl.zkgames.test/a/;", L"http://dl.zkgames.test/a/", true},  // empty entries skipped
      {L"", L"http://dl.zkgames.test/a/", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsTrustedDownloadBase(c.url, c.bases), c.trusted) << c.bases << L" " << c.url;
  }
}

}  // namespace
