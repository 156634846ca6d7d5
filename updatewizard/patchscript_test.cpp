// Tests of the patch-script parser, its file lists and the attempt plan.
#include "updatewizard/patchscript.h"
#include "updatewizard/patchscriptdownload.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

CStringA Text(unsigned id) {
  CStringA text;
  LoadPatchScriptText(id, text);
  return text;
}

std::string LineError(int line, unsigned id) {
  CStringA text;
  text.Format("Line %d : %s", line, Text(id).GetString());
  return text.GetString();
}

const char kHeader[] = "[CorvaliseUpdateFile]\n";

// Feeds lines one by one; returns the number of the first refused line, 0 when all were taken.
int Feed(CSentenceParse& parser, const std::vector<const char*>& lines, int installed = 0,
         PatchFileLists* lists = nullptr) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (!parser.ParseLine(lines[i], installed, lists)) return static_cast<int>(i) + 1;
  return 0;
}

TEST(SentenceParseTest, StartsWithTheDocumentedValues) {
  CSentenceParse parser;
  EXPECT_EQ(parser.m_nHeaderSeen, 0);
  EXPECT_EQ(parser.m_clrWizardBackColor, 0xEAEAEBu);
  EXPECT_EQ(parser.m_clrWizardText, 0u);
  EXPECT_EQ(parser.m_clrWizardLineColor, 0xD4CFD0u);
  EXPECT_EQ(parser.m_clrWizardDisableTextColor, 0xC4C4C4u);
}

struct ValueCase {
  const char* line;
  CStringA CSentenceParse::*field;
  const char* expected;
};

TEST(SentenceParseTest, StoresTrimmedValuesWithoutComments) {
  const ValueCase cases[] = {
      {"ProgramName  Corvalise Avatar \t; the comment", &CSentenceParse::m_strProgramName, "Corvalise Avatar"},
      {"programname\tlower", &CSentenceParse::m_strProgramName, "lower"},
      {"  PROGRAMNAME upper  \r\n", &CSentenceParse::m_strProgramName, "upper"},
      {"ProgramName", &CSentenceParse::m_strProgramName, "ProgramName"},
      {"WizardFile http://host:1/a b.zip;x", &CSentenceParse::m_strWizardFile, "http://host:1/a b.zip"},
      {"WizardVersion 1, 0, 0, 3", &CSentenceParse::m_strWizardVersion, "1, 0, 0, 3"},
      {"UpdateBaseURL u", &CSentenceParse::m_strUpdateBaseURL, "u"},
      {"ExtraBaseURL e", &CSentenceParse::m_strExtraBaseURL, "e"},
      {"WizardBackImageURL w", &CSentenceParse::m_strWizardBackImageURL, "w"},
      {"ExtraIconFileURL a", &CSentenceParse::m_strExtraIconFileURL, "a"},
      {"ExtraIconFileName b", &CSentenceParse::m_strExtraIconFileName, "b"},
      {"ExtraIconURL c", &CSentenceParse::m_strExtraIconURL, "c"},
      {"ExtraIconDesc \xc4\xda\xb8\xa3 d", &CSentenceParse::m_strExtraIconDesc, "\xc4\xda\xb8\xa3 d"},
      {"ExtraIconVersion 7", &CSentenceParse::m_strExtraIconVersion, "7"},
      {"RootProgFolder C:\\Games", &CSentenceParse::m_strRootProgFolder, "C:\\Games\\"},
      {"RootProgFolder C:\\Games\\", &CSentenceParse::m_strRootProgFolder, "C:\\Games\\\\"},
      {"UninstDisplayName Un", &CSentenceParse::m_strUninstDisplayName, "Un"},
      {"FullInstallFileHash h", &CSentenceParse::m_strFullInstallFileHash, "h"},
      // The value is the rest of the line: inner blanks and a vertical tab stay.
      {"DisplayName a\vb  c", &CSentenceParse::m_strDisplayName, "a\vb  c"},
  };
  for (const ValueCase& c : cases) {
    CSentenceParse parser;
    ASSERT_EQ(Feed(parser, {kHeader, c.line}), 0) << c.line;
    EXPECT_EQ(std::string((parser.*c.field).GetString()), c.expected) << c.line;
  }
}

TEST(SentenceParseTest, ProgramNameFillsOnlyEmptyFolderAndDisplayName) {
  CSentenceParse parser;
  ASSERT_EQ(Feed(parser, {kHeader, "DisplayName Shown", "ProgramName Prog", "ProgramName Second"}), 0);
  EXPECT_STREQ(parser.m_strBaseClientFolder.GetString(), "Prog");
  EXPECT_STREQ(parser.m_strDisplayName.GetString(), "Shown");
  EXPECT_STREQ(parser.m_strProgramName.GetString(), "Second");
}

struct ErrorCase {
  std::vector<const char*> lines;
  int failing_line;
  unsigned text;
};

TEST(SentenceParseTest, RefusesMalformedLinesWithTheirMessage) {
  const std::string long_line = "ProgramName " + std::string(1012, 'x');  // 1024 bytes
  const ErrorCase cases[] = {
      {{"ProgramName x"}, 1, kPatchTextNoHeader},
      {{"; comment", "", "{"}, 3, kPatchTextNoHeader},
      {{"[CorvaliseUpdateFileX]"}, 1, kPatchTextNoHeader},
      {{kHeader, "NoSuchKey 1"}, 2, kPatchTextUnknownSyntax},
      {{kHeader, "ProgramName x", "{"}, 3, kPatchTextBadGroupOpen},
      {{kHeader, "}"}, 2, kPatchTextBadGroupClose},
      {{kHeader, "UpdateFileList", "{"}, 2, kPatchTextNoVersion},
      {{kHeader, "UpdateFileList v7"}, 2, kPatchTextNoVersion},
      {{kHeader, "MinUpdateVersion x"}, 2, kPatchTextNoVersion},
      {{kHeader, "ExtraFileList -1"}, 2, kPatchTextNoVersion},
      {{kHeader, nullptr}, 2, kPatchTextNullString},
      {{kHeader, long_line.c_str()}, 2, kPatchTextUnknownSyntax},
      {{kHeader, "InstallFileList", "{", "}", "a.dll"}, 5, kPatchTextUnknownSyntax},
  };
  for (const ErrorCase& c : cases) {
    CSentenceParse parser;
    EXPECT_EQ(Feed(parser, c.lines), c.failing_line);
    EXPECT_EQ(std::string(parser.m_strError.GetString()), LineError(c.failing_line, c.text));
  }
}

TEST(SentenceParseTest, TakesALineOfTheLongestLength) {
  const std::string line = "ProgramName " + std::string(1011, 'x') + "\r\n";  // 1023 bytes before CR LF
  CSentenceParse parser;
  EXPECT_EQ(Feed(parser, {kHeader, line.c_str()}), 0);
  EXPECT_EQ(parser.m_strProgramName.GetLength(), 1011);
}

TEST(SentenceParseTest, KeepsValuesAndCounterAcrossReads) {
  CSentenceParse parser;
  ASSERT_EQ(Feed(parser, {kHeader, "ProgramName One", "WizardFile f"}), 0);
  // A second read starts without a header line: the first read's header still counts.
  EXPECT_EQ(Feed(parser, {"ProgramName Two", "Bad"}), 2);
  EXPECT_EQ(std::string(parser.m_strError.GetString()), LineError(5, kPatchTextUnknownSyntax));
  EXPECT_STREQ(parser.m_strWizardFile.GetString(), "f");
  EXPECT_STREQ(parser.m_strProgramName.GetString(), "Two");
}

struct ColourCase {
  const char* text;
  COLORREF expected;
};

TEST(SentenceParseTest, ParsesColoursAsRedGreenBlue) {
  const ColourCase cases[] = {
      {"FF8000", 0x0080FF}, {"ff8000", 0x0080FF}, {"  0000FF \t", 0xFF0000}, {"123456", 0x563412},
      {"12345", 0x503412},  // the missing sixth digit counts as 0
      {"GG1234", 0x341200},  // not a hex digit: 0
      {"1234", CSentenceParse::kInvalidColour}, {"", CSentenceParse::kInvalidColour},
  };
  for (const ColourCase& c : cases) EXPECT_EQ(CSentenceParse::ParseColour(c.text), c.expected) << c.text;

  CSentenceParse parser;
  ASSERT_EQ(Feed(parser, {kHeader, "WizardBackColor FF8000", "WizardText 010203", "WizardLineColor 12345",
                          "WizardDisableTextColor 123"}), 0);
  EXPECT_EQ(parser.m_clrWizardBackColor, 0x0080FFu);
  EXPECT_EQ(parser.m_clrWizardText, 0x030201u);
  EXPECT_EQ(parser.m_clrWizardLineColor, 0x503412u);
  EXPECT_EQ(parser.m_clrWizardDisableTextColor, 0xC4C4C4u);  // too short: left as it was
}

struct FlagCase {
  const char* value;
  int expected;
};

TEST(SentenceParseTest, FlagsTakeYesOrOneOnly) {
  const FlagCase cases[] = {{"yes", 1}, {"YES", 1}, {"1", 1}, {"no", 0}, {"2", 0}, {"01", 0}, {"yess", 0}};
  for (const FlagCase& c : cases) {
    g_nIsURLShortCut = 0;
    g_nInstallParameter = 0;
    CSentenceParse parser;
    std::string zip = std::string("EXEZipFile ") + c.value, shortcut = std::string("IsURLShortCut ") + c.value;
    std::string install = std::string("InstallParam ") + c.value;
    ASSERT_EQ(Feed(parser, {kHeader, zip.c_str(), shortcut.c_str(), install.c_str()}), 0);
    EXPECT_EQ(parser.m_nEXEZipFile, c.expected) << c.value;
    EXPECT_EQ(g_nIsURLShortCut, c.expected) << c.value;
    EXPECT_EQ(parser.m_nInstallParameter, c.expected) << c.value;
    EXPECT_EQ(g_nInstallParameter, c.expected) << c.value;
  }
  // Another value leaves a set flag as it was.
  CSentenceParse parser;
  ASSERT_EQ(Feed(parser, {kHeader, "EXEZipFile 1", "EXEZipFile no", "InstallParameter yes"}), 0);
  EXPECT_EQ(parser.m_nEXEZipFile, 1);
  EXPECT_EQ(parser.m_nInstallParameter, 1);
}

TEST(SentenceParseTest, WritesTheProcessWideValues) {
  CSentenceParse parser;
  const std::string long_folder = "RootProgFolder " + std::string(200, 'r');
  ASSERT_EQ(Feed(parser, {kHeader, "RootProgFolder D:\\Play", "UninstDisplayName Removal", "IconFileName f.ico",
                          "IconName n", "IconTarget t", "IconDesc d", "ShowDefStartPageSet 12x"}), 0);
  EXPECT_STREQ(g_szInstallRootFolder, "D:\\Play\\");
  EXPECT_STREQ(g_szUninstallDisplayName, "Removal");
  EXPECT_STREQ(IconFileName.GetString(), "f.ico");
  EXPECT_STREQ(IconName.GetString(), "n");
  EXPECT_STREQ(IconTarget.GetString(), "t");
  EXPECT_STREQ(IconDesc.GetString(), "d");
  EXPECT_EQ(g_nShowDefStartPageSet, 12);
  ASSERT_EQ(Feed(parser, {"ShowDefStartPageSet none", "UninstDisplayName U", long_folder.c_str()}), 0);
  EXPECT_EQ(g_nShowDefStartPageSet, 0);
  EXPECT_STREQ(g_szUninstallDisplayName, "Removal");  // one byte: not taken over
  // A folder longer than the 96-byte buffer is cut inside it.
  EXPECT_EQ(std::string(g_szInstallRootFolder), std::string(95, 'r'));
}

TEST(SentenceParseTest, DecryptsTheWizardFileHash) {
  // AES-128-CBC of SHA-1("abc") under the built-in key and IV, made with openssl enc.
  CSentenceParse parser;
  ASSERT_EQ(Feed(parser, {kHeader, "WizardFileHash 9f0SABnMfqK/07up2NYhofhF48X0wrf13lLogSfLcO0= ; sha1"}), 0);
  EXPECT_STREQ(parser.m_strWizardFileHash.GetString(), "A9993E364706816ABA3E25717850C26C9CD0D89D");
  // A value that does not decrypt is stored as what the decryption left: nothing.
  ASSERT_EQ(Feed(parser, {"WizardFileHash AAAA"}), 0);
  EXPECT_STREQ(parser.m_strWizardFileHash.GetString(), "");
}

TEST(SentenceParseTest, FillsTheFileListsOfNewerBlocks) {
  CSentenceParse parser;
  PatchFileLists lists;
  ASSERT_EQ(Feed(parser,
                 {kHeader, "ProgramName P", "FullInstallFileURL http://h/full.exe", "FullInstallFileHash fh",
                  "UpdateFileList 5", "{", "old.dll:h5, other.dll", "}",
                  "UpdateFileList 6", "MinUpdateVersion 3", "{", " c.dll:h6 ,, d.dll:h:x, ", "C.DLL:again",
                  "}", "ExtraFileList 2", "{", "extra.dll:e", "}",
                  "InstallFileList", "{", "i1.dll:ih1, i2.dll", "}",
                  "DeleteFileList", "{", "del1.dll, del:2", "}"},
                 5, &lists), 0);
  ASSERT_NE(lists.m_pFirstEntry, nullptr);
  const PatchFileEntry* first = lists.m_pFirstEntry;
  EXPECT_STREQ(first->szName, "c.dll");
  EXPECT_STREQ(first->szHash, "h6");
  EXPECT_EQ(first->nBlockVersion, 6);
  EXPECT_EQ(first->nFlag, 1);
  ASSERT_NE(first->pNext, nullptr);
  EXPECT_STREQ(first->pNext->szName, "d.dll");
  EXPECT_STREQ(first->pNext->szHash, "h:x");
  EXPECT_EQ(first->pNext->pNext, nullptr);  // "C.DLL" is the name of the first entry
  EXPECT_EQ(parser.m_nMinUpdateVersion, 3);
  EXPECT_EQ(parser.m_nHighestUpdateVersion, 6);
  EXPECT_EQ(parser.m_nInstalledVersionListed, 1);
  EXPECT_EQ(parser.m_nExtraFileListNumber, 2);
  EXPECT_EQ(parser.m_nKeyId, 0);
  EXPECT_EQ(parser.m_nListOpen, 0);
  EXPECT_STREQ(lists.m_strInstallUrl.GetString(), "http://h/full.exe");
  ASSERT_EQ(lists.m_installFiles.size(), 3u);
  EXPECT_STREQ(lists.m_installFiles[0].first.GetString(), "http://h/full.exe");
  EXPECT_STREQ(lists.m_installFiles[0].second.GetString(), "fh");
  EXPECT_STREQ(lists.m_installFiles[1].second.GetString(), "ih1");
  EXPECT_STREQ(lists.m_installFiles[2].first.GetString(), "i2.dll");
  EXPECT_STREQ(lists.m_installFiles[2].second.GetString(), "");
  ASSERT_EQ(lists.m_deleteFiles.size(), 2u);
  EXPECT_STREQ(lists.m_deleteFiles[1].GetString(), "del:2");
}

TEST(PatchFileListsTest, RefusesNamesAlreadyListedIgnoringCase) {
  PatchFileLists lists;
  lists.AddFileEntry("A.dll", "1", 1, 1);
  EXPECT_EQ(lists.m_nEntryCount, 1);
  lists.AddFileEntry("b.dll", "2", 1, 1);
  lists.AddFileEntry("B.DLL", "3", 1, 1);  // same as the last entry
  lists.AddFileEntry("a.DLL", "4", 1, 1);  // same as the first entry
  EXPECT_EQ(lists.m_nEntryCount, 2);
  lists.ResetEntryCount();
  EXPECT_EQ(lists.m_nEntryCount, 0);
  const std::string long_name(100, 'n'), long_hash(80, 'h');
  lists.AddFileEntry(long_name.c_str(), long_hash.c_str(), 2, 1);
  const PatchFileEntry* last = lists.m_pFirstEntry->pNext->pNext;
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(std::string(last->szName), std::string(63, 'n'));
  EXPECT_EQ(std::string(last->szHash), std::string(63, 'h'));
  lists.SetFirstInstallHash("nothing to set");
  EXPECT_TRUE(lists.m_installFiles.empty());
  EXPECT_EQ(lists.AppendDeleteFile("x"), 1);
}

// The list against the plain rule, a walk of all earlier entries comparing
// with CompareNoCase, over a seeded table of names that collide in letter
// case, in double-byte characters and after the cut to 63 bytes.
TEST(PatchFileListsTest, KeepsTheFirstOfEachNameLikeAWalkOfTheList) {
  std::mt19937 random(8);
  const char alphabet[] = "aAbB\xB0\xC1.";
  PatchFileLists lists;
  std::vector<std::string> expected;
  for (int i = 0; i < 3000; ++i) {
    std::string name;
    size_t length = random() % 4 == 0 ? 60 + random() % 10 : 1 + random() % 4;
    while (name.size() < length) name += alphabet[random() % (sizeof alphabet - 1)];
    PatchFileLists single;  // the name as an entry stores it
    single.AddFileEntry(name.c_str(), "", 1, 1);
    const std::string stored = single.m_pFirstEntry->szName;
    bool listed = false;
    for (const std::string& earlier : expected)
      listed = listed || CStringA(earlier.c_str()).CompareNoCase(stored.c_str()) == 0;
    if (!listed) expected.push_back(stored);
    lists.AddFileEntry(name.c_str(), std::to_string(i).c_str(), 1 + i % 3, 1);
  }
  std::vector<std::string> actual;
  for (const PatchFileEntry* entry = lists.m_pFirstEntry; entry; entry = entry->pNext) actual.push_back(entry->szName);
  EXPECT_EQ(actual, expected);
}

TEST(SentenceParseTest, SkipsListItemsForTheInstalledBlockAndWithoutReceiver) {
  CSentenceParse parser;
  PatchFileLists lists;
  ASSERT_EQ(Feed(parser, {kHeader, "UpdateFileList 7", "{", "a.dll:1", "}"}, 7, &lists), 0);
  EXPECT_EQ(lists.m_pFirstEntry, nullptr);
  CSentenceParse bare;
  EXPECT_EQ(Feed(bare, {kHeader, "UpdateFileList 8", "{", "a.dll:1", "}"}, 0, nullptr), 0);
}

struct BodyCase {
  const char* body;
  const char* name;
  int result;
  unsigned failure;
};

TEST(PatchScriptBodyTest, RunsTheFinalChecks) {
  const BodyCase cases[] = {
      {"", "P", 0, kPatchTextNoScript},
      {"; only a comment\r\n\r\n   \n", "P", 0, kPatchTextNoScript},
      {"[CorvaliseUpdateFile]\r\n", "P", 0, kPatchTextNoProgramName},
      {"[CorvaliseUpdateFile]\nProgramName Other\nFullInstallFileURL u\n", "P", 0, kPatchTextWrongProgramName},
      {"[CorvaliseUpdateFile]\nProgramName P\n", "P", 0, kPatchTextNoInstallUrl},
      {"[CorvaliseUpdateFile]\r\nProgramName corvaliseAVATAR\r\nFullInstallFileURL u", "CorvaliseAvatar", 1, 0},
      {"\n<html>\n<head><title>404 Not Found</title></head>\n", "P", 0, 0},
  };
  for (const BodyCase& c : cases) {
    CSentenceParse parser;
    unsigned failure = 99;
    EXPECT_EQ(ParsePatchScriptBody(c.body, c.name, parser, nullptr, 0, &failure), c.result) << c.body;
    EXPECT_EQ(failure, c.failure) << c.body;
  }
  CSentenceParse parser;
  ParsePatchScriptBody("\n<html>\n", "P", parser, nullptr, 0, nullptr);
  EXPECT_EQ(std::string(parser.m_strError.GetString()), LineError(2, kPatchTextNoHeader));
}

TEST(PatchScriptAttemptsTest, PlansAttemptsAndRebuildsAddresses) {
  EXPECT_EQ(std::string(kPatchTestServerPrefix).size(), 17u);
  const std::string test_server = std::string(kPatchTestServerPrefix) + "5:80/p.htm";
  EXPECT_EQ(PatchScriptAttemptCount("CorvaliseAvatar", "http://a/p"), 1);
  EXPECT_EQ(PatchScriptAttemptCount("myAVATARx", "http://a/p"), 1);
  EXPECT_EQ(PatchScriptAttemptCount("Game", test_server.c_str()), 1);
  const std::string upper_scheme = "HTTP" + test_server.substr(4);  // the prefix compares case-sensitively
  EXPECT_EQ(PatchScriptAttemptCount("Game", upper_scheme.c_str()), 3);
  EXPECT_EQ(PatchScriptAttemptCount("Game", "http://a/p"), 3);

  const char* list = "http://r1:49254/;http://r2:28547/";
  EXPECT_STREQ(RebuildPatchScriptAddress("http://h:1/dir/p.htm", list, 0).GetString(), "http://r1:49254/dir/p.htm");
  EXPECT_STREQ(RebuildPatchScriptAddress("http://h:1/dir/p.htm", list, 1).GetString(), "http://r2:28547/dir/p.htm");
  EXPECT_STREQ(RebuildPatchScriptAddress("nohost", list, 0).GetString(), "http://r1:49254/nohost");
  EXPECT_STREQ(RebuildPatchScriptAddress("a/b", list, 1).GetString(), "http://r2:28547/b");
  EXPECT_STREQ(RebuildPatchScriptAddress("http://h/p", "", 1).GetString(), "p");
}

TEST(PatchScriptAttemptsTest, OnlyTheLastAttemptSpeaks) {
  struct Call {
    std::string address;
    int quiet;
  };
  std::vector<Call> calls;
  auto failing = [&calls](const char* address, int quiet) {
    calls.push_back({address, quiet});
    return 0;
  };
  CStringA address("http://first:1/patch/Game.htm");
  EXPECT_EQ(RunPatchScriptAttempts("Game", address, "http://r1/;http://r2/", failing), 0);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].address, "http://first:1/patch/Game.htm");
  EXPECT_EQ(calls[1].address, "http://r1/patch/Game.htm");
  EXPECT_EQ(calls[2].address, "http://r2/patch/Game.htm");
  EXPECT_EQ(calls[0].quiet + calls[1].quiet + calls[2].quiet, 2);
  EXPECT_EQ(calls[2].quiet, 0);
  EXPECT_STREQ(address.GetString(), "http://r2/patch/Game.htm");

  calls.clear();
  address = "http://first:1/patch/CorvaliseAvatar.htm";
  EXPECT_EQ(RunPatchScriptAttempts("CorvaliseAvatar", address, "http://r1/;http://r2/", failing), 0);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].quiet, 0);
  EXPECT_STREQ(address.GetString(), "http://first:1/patch/CorvaliseAvatar.htm");

  calls.clear();
  address = "http://first:1/p.htm";
  int tries = 0;
  EXPECT_EQ(RunPatchScriptAttempts("Game", address, "http://r1/;http://r2/",
                                   [&tries](const char*, int) { return ++tries == 2 ? 1 : 0; }), 1);
  EXPECT_EQ(tries, 2);
  EXPECT_STREQ(address.GetString(), "http://r1/p.htm");
}

}  // namespace
