// The patch-script download under Wine against a patch server that lies
// about the body or keeps sending: the script's size limit holds, each case
// ends as the attempt's "(0x05)" failure with its box, and the program goes on.
#include "updatewizard/patchscript_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "_Common/zkcommonfunc_win.h"
#include "tests/support/recorded_boxes.h"
#include "tests/support/testenv.h"
#include "tests/support/wizard_texts.h"

namespace {

// The patch script's own text, in code page 949 as the box shows it.
std::string Text(unsigned id) {
  const char* text = wizardtexts::PatchScriptCp949(id);
  if (!text) ADD_FAILURE() << "no literal text for id " << id;
  return text ? text : "";
}

std::string FaultUrl(const char* name) {
  return "http://127.0.0.1:" + zktest::Env("ZK_PATCH_FAULT_PORT") + "/" + name + "/CorvaliseAvatar.htm";
}

std::vector<zktest::RecordedBox>& g_boxes = zktest::RecordedBoxes();

class PatchScriptFaultTest : public ::testing::Test {
 protected:
  zktest::RecordingBoxes boxes_;
};

TEST_F(PatchScriptFaultTest, BodiesBeyondTheScriptLimitFailAsReadFailures) {
  struct Case {
    const char* server_case;
    const char* why;
  } cases[] = {
      // Announces 2,000,000,000 bytes and sends a valid script followed by
      // 16 MiB of comment lines: refused before a byte is read, where the body
      // buffer once grew with whatever came. (Wine's WinINet reads what is
      // queued of an unread body when the request is closed, so a server
      // that sent all 2 GB would hold the test for minutes, not the program
      // in a way a test could tell apart.)
      {"announces2g", "a declared length far above the limit"},
      {"overlimit", "a whole script one byte above the limit"},
      {"negative", "a negative declared length"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    g_boxes.clear();
    CSentenceParse parser;
    EXPECT_EQ(DownloadPatchScript("Big", FaultUrl(c.server_case).c_str(), parser, nullptr, 0, 0), 0);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].text, Text(7) + " (0x05)");
    EXPECT_EQ(g_boxes[0].caption, Text(8));  // "에러"
    EXPECT_TRUE(parser.m_strProgramName.IsEmpty()) << "nothing of a refused body is parsed";
  }
}

TEST_F(PatchScriptFaultTest, AScriptOfExactlyTheLimitIsReadWhole) {
  CSentenceParse parser;
  EXPECT_EQ(DownloadPatchScript("Big", FaultUrl("atlimit").c_str(), parser, nullptr, 0, 0), 1);
  EXPECT_TRUE(g_boxes.empty());
  EXPECT_STREQ(parser.m_strWizardVersion.GetString(), "1.0.0.9");
  // The header, three keys and the 64-byte comment lines that fill it up.
  EXPECT_EQ(parser.m_nLineCount, 4 + (4 * 1024 * 1024 - 105 + 63) / 64);
}

TEST_F(PatchScriptFaultTest, TheRetryingDownloadEndsWithTheFailureToo) {
  CSentenceParse parser;
  CStringA address = FaultUrl("announces2g").c_str();
  EXPECT_EQ(DownloadPatchScriptRetry("CorvaliseAvatar", address, parser, nullptr, 0), 0);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].text, Text(7) + " (0x05)");
}

}  // namespace
