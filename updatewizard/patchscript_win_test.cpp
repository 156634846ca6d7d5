// Tests of the patch-script download under Wine against nginx and a closed
// port: the fallback, the checks and the boxes each failure shows. nginx's top
// folder lacks the scripts; its folder "second/" is the list's second root.
#include "updatewizard/patchscript_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "_Common/zkcommonfunc_win.h"
#include "tests/support/peer.h"
#include "tests/support/recorded_boxes.h"
#include "tests/support/wizard_texts.h"

namespace {

std::vector<zktest::RecordedBox>& g_boxes = zktest::RecordedBoxes();

using zktest::Env;

std::string Root(const char* port_variable) { return "http://127.0.0.1:" + Env(port_variable) + "/"; }
std::string First() { return Root("ZK_PATCH_NGINX_PORT"); }
std::string Second() { return Root("ZK_PATCH_NGINX_PORT") + "second/"; }
std::string Closed() { return Root("ZK_PATCH_CLOSED_PORT"); }

// The message's own bytes (code page 949), independent of the string table.
std::string Text(unsigned id) {
  const char* text = wizardtexts::PatchScriptCp949(id);
  if (!text) ADD_FAILURE() << "no literal text for id " << id;
  return text ? text : "";
}

// nginx's access log (Unix path under Wine's Z: drive), once it holds every
// request that nginx answered before.
std::string AccessLog() {
  const std::string log = zktest::HostPath(Env("ZK_PATCH_STATE") + "/access.log");
  EXPECT_TRUE(zktest::SyncAccessLog(std::stoi(Env("ZK_PATCH_NGINX_PORT")), log));
  return zktest::ReadFileBytes(log);
}

class PatchScriptDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override { g_strPatchServerList = (Closed() + ";" + Second()).c_str(); }

  zktest::RecordingBoxes boxes_;
};

TEST_F(PatchScriptDownloadTest, ReadsTheAvatarScriptOnTheWorkerThreadWithoutBoxes) {
  CSentenceParse parser;
  CStringA address = (Second() + "patch/CorvaliseAvatar.htm").c_str();
  int result = 0;
  std::thread worker([&] { result = DownloadPatchScriptRetry("CorvaliseAvatar", address, parser, nullptr, 0); });
  worker.join();
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(g_boxes.empty());
  EXPECT_STREQ(parser.m_strWizardFile.GetString(), "http://127.0.0.1/Common/Quillan1.zip");
  EXPECT_STREQ(parser.m_strWizardVersion.GetString(), "1, 0, 0, 6");
  // SHA-1("abc"), encrypted with openssl enc under the built-in key and IV.
  EXPECT_STREQ(parser.m_strWizardFileHash.GetString(), "A9993E364706816ABA3E25717850C26C9CD0D89D");
}

TEST_F(PatchScriptDownloadTest, FallsBackPastA404AndAClosedRoot) {
  CSentenceParse parser;
  CStringA address = (First() + "patch/Game.htm").c_str();
  EXPECT_EQ(DownloadPatchScriptRetry("Game", address, parser, nullptr, 0), 1);
  EXPECT_TRUE(g_boxes.empty());
  EXPECT_EQ(std::string(address.GetString()), Second() + "patch/Game.htm");
  EXPECT_STREQ(parser.m_strWizardVersion.GetString(), "2");
  EXPECT_NE(AccessLog().find("GET /patch/Game.htm 404"), std::string::npos);
  EXPECT_NE(AccessLog().find("GET /second/patch/Game.htm 200"), std::string::npos);
  EXPECT_NE(AccessLog().find("agent=My Session"), std::string::npos);
}

TEST_F(PatchScriptDownloadTest, ShowsOnlyTheLastFailureOfAllAttempts) {
  CSentenceParse parser;
  g_strPatchServerList = (Closed() + ";" + First()).c_str();
  CStringA address = (First() + "patch/Missing.htm").c_str();
  EXPECT_EQ(DownloadPatchScriptRetry("Missing", address, parser, nullptr, 0), 0);
  EXPECT_EQ(std::string(address.GetString()), First() + "patch/Missing.htm");
  ASSERT_EQ(g_boxes.size(), 1u);
  // nginx's error page has a Content-Length and is parsed: "<html>" is no header.
  EXPECT_EQ(g_boxes[0].caption, Text(9));
  EXPECT_EQ(g_boxes[0].text.rfind("Line ", 0), 0u);
  EXPECT_NE(g_boxes[0].text.find(" : " + Text(5)), std::string::npos);
  EXPECT_EQ(g_boxes[0].style & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
}

TEST_F(PatchScriptDownloadTest, AnAvatarScriptGetsOneAttempt) {
  CSentenceParse parser;
  CStringA address = (First() + "patch/CorvaliseAvatar.htm").c_str();
  EXPECT_EQ(DownloadPatchScriptRetry("CorvaliseAvatar", address, parser, nullptr, 0), 0);
  EXPECT_EQ(std::string(address.GetString()), First() + "patch/CorvaliseAvatar.htm");
  EXPECT_EQ(g_boxes.size(), 1u);
}

struct FailureCase {
  std::string address;
  const char* name;
  std::string text;
  unsigned caption;
};

TEST_F(PatchScriptDownloadTest, EachFailureShowsItsMessage) {
  const std::string second = Second() + "patch/";
  const std::string download = Text(7);
  const FailureCase cases[] = {
      {second + "Empty.htm", "Empty", Text(10), 8},
      {second + "NoName.htm", "NoName", Text(11), 8},
      {second + "WrongName.htm", "WrongName", Text(12), 8},
      {second + "NoUrl.htm", "NoUrl", Text(13), 8},
      {second + "Bad.htm", "Bad", "Line 3 : " + Text(1), 9},
      {"ftp://127.0.0.1/patch/Game.htm", "Game", download + " (0x01)", 8},
      {"not an address", "Game", download + " (0x01)", 8},
      {Closed() + "patch/Game.htm", "Game", download + " (0x03)", 8},
  };
  for (const FailureCase& c : cases) {
    g_boxes.clear();
    CSentenceParse parser;
    EXPECT_EQ(DownloadPatchScript(c.name, c.address.c_str(), parser, nullptr, 0, 0), 0) << c.address;
    ASSERT_EQ(g_boxes.size(), 1u) << c.address;
    EXPECT_EQ(g_boxes[0].text, c.text) << c.address;
    EXPECT_EQ(g_boxes[0].caption, Text(c.caption)) << c.address;

    g_boxes.clear();
    CSentenceParse quiet_parser;
    EXPECT_EQ(DownloadPatchScript(c.name, c.address.c_str(), quiet_parser, nullptr, 0, 1), 0);
    EXPECT_TRUE(g_boxes.empty()) << c.address;
  }
}

TEST(PatchScriptTexts, EachMessageLoadsWithItsOwnBytes) {
  ASSERT_EQ(GetACP(), 949u) << "the texts are code page 949";
  for (const wizardtexts::Text& text : wizardtexts::kPatchScriptTexts) {
    CStringA loaded;
    LoadPatchScriptText(text.id, loaded);
    EXPECT_EQ(std::string(loaded.GetString()), text.cp949) << text.id;
  }
}

TEST_F(PatchScriptDownloadTest, ShowsTheLongInternetExceptionTextWhole) {
  // The box of an internet failure during the transfer: its text is longer
  // than the 256-character buffer of the other messages and must not be cut.
  ShowErrorBoxById(kPatchTextInternetException, kPatchTextErrorCaption, nullptr);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].text.size(), 261u);
  EXPECT_EQ(g_boxes[0].text, Text(57381));
  EXPECT_EQ(g_boxes[0].caption, Text(8));
  EXPECT_EQ(g_boxes[0].style & MB_ICONERROR, static_cast<UINT>(MB_ICONERROR));
}

}  // namespace
