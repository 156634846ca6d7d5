// Tests of the update wizard's message boxes with the program's own string
// table: the texts, captions and code lines that a user sees, compared with
// the texts' own bytes rather than with what the table holds.
#include "updatewizard/wizardapp_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "_Common/zkcommonfunc_win.h"
#include "tests/support/recorded_boxes.h"
#include "tests/support/wizard_texts.h"

namespace {

namespace texts = wizardtexts;

std::vector<zktest::RecordedBox>& g_boxes = zktest::RecordedBoxes();

class WizardBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 949u) << "the texts are code page 949";
  }

  // Checks that exactly one box was shown, as the wizard shows all of its
  // boxes: no owner, the wizard's caption, an OK button only.
  void ExpectOneWizardBox(const std::string& text, const std::string& label) {
    ASSERT_EQ(g_boxes.size(), 1u) << label;
    EXPECT_EQ(g_boxes[0].text, text) << label;
    EXPECT_EQ(g_boxes[0].caption, texts::kCaption.cp949) << label;
    EXPECT_EQ(g_boxes[0].owner, nullptr) << label;
    EXPECT_EQ(g_boxes[0].style & 0xF, static_cast<UINT>(MB_OK)) << label;
  }

  zktest::RecordingBoxes boxes_;
};

TEST_F(WizardBoxTest, ErrorBoxesShowTheTextABlankLineAndTheCodesName) {
  struct Case {
    UINT id;
    int code;
    const texts::Text& text;
    const char* name;
  } cases[] = {
      {IDS_WIZARD_BAD_RUNPARAM, 2402, texts::kBadRunParameters, "NOT_ENOUGH_RUNPARAM"},
      {IDS_WIZARD_BAD_RUNPARAM, 2304, texts::kBadRunParameters, "INVALID_CB_FORMAT"},
      {IDS_WIZARD_BAD_URL, 2002, texts::kBadAddress, "INVALID_URL"},
      {IDS_WIZARD_ERROR, 5010, texts::kError, "UPDATEWIZARD_CANT_RENAME_WIZARDFILE"},
      {IDS_WIZARD_ERROR, 9000, texts::kError, "UNKNOWNERROR"},
      {IDS_WIZARD_ERROR, 3101, texts::kError, "WIZARDTHREAD_EXEC_INSTALL_TIMEOUT"},
      {IDS_WIZARD_ERROR, 5302, texts::kError, "Unknown Error Code(5302)"},
  };
  for (const Case& c : cases) {
    g_boxes.clear();
    ShowErrorCodeMessage(c.id, c.code);
    ExpectOneWizardBox(std::string(c.text.cp949) + texts::kCodeLine + c.name, std::to_string(c.code));
  }
}

TEST_F(WizardBoxTest, LaunchFailureBoxNamesTheProgramAndTheLaunchResult) {
  // What the final launch shows when Quillan1.exe cannot be started.
  CStringA text;
  FormatResString(text, IDS_WIZARD_CANT_START, "Quillan1.exe", 2);
  ShowWizardMessage(text);
  char expected[512];
  std::snprintf(expected, sizeof expected, texts::kCannotStart.cp949, "Quillan1.exe", 2);
  ExpectOneWizardBox(expected, "launch failure");
  EXPECT_EQ(g_boxes[0].text.find(texts::kCodeLine), std::string::npos);
}

TEST_F(WizardBoxTest, TextWithoutANameOrWithoutAStringShowsNoCodeLineOrNothing) {
  ShowTextWithCodeName(IDS_WIZARD_ERROR, "");
  ExpectOneWizardBox(texts::kError.cp949, "empty name");
  g_boxes.clear();
  ShowTextWithCodeName(21, "SUCCESS");  // no string 21 in the table
  ShowWizardMessage(nullptr);
  EXPECT_TRUE(g_boxes.empty());
}

TEST_F(WizardBoxTest, BoxWithoutCaptionTakesTheWizardsCaption) {
  ShowMessageBox(nullptr, "x", "", MB_OK);
  ShowMessageBox(nullptr, "y", nullptr, MB_OK);
  ASSERT_EQ(g_boxes.size(), 2u);
  for (const zktest::RecordedBox& box : g_boxes) {
    EXPECT_EQ(box.caption, texts::kCaption.cp949);
    EXPECT_TRUE(box.style & MB_SETFOREGROUND);
  }
}

}  // namespace
