// Checks that the self-update batch file holds exactly its four commands.
#include "starter/updatebatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kSystem[] = L"C:\\windows\\system32\\";

TEST(UpdateBatch, WritesTheFourCommandsWithQuotedPaths) {
  // taskkill by its whole path in the system folder: a bare name would be
  // looked up in the current folder and along PATH.
  std::vector<std::wstring> lines;
  ASSERT_TRUE(BuildUpdateBatchLines(L"C:\\windows\\", kSystem, L"1.0.0.5", L"2.0.0.1", L"abc", &lines));
  std::vector<std::wstring> expected = {
      L"\"C:\\windows\\system32\\taskkill.exe\" /im Lumora1.exe /f",
      L"del \"C:\\windows\\_moveLumora1.exe\"",
      L"\"C:\\windows\\Lumora1.exe\" \"?SVersion=1.0.0.5,UVersion=2.0.0.1,publish=abc\"",
      L"del \"C:\\windows\\Lumora1.bat\"",
  };
  EXPECT_EQ(lines, expected);
}

TEST(UpdateBatch, KeepsHarmlessValuesAsReceived) {
  // Blanks, '=' and other printable characters stay literal inside quotes.
  std::vector<std::wstring> lines;
  ASSERT_TRUE(BuildUpdateBatchLines(L"D:\\Program Files (x86)\\Win\\", L"D:\\Program Files (x86)\\Win\\System32\\",
                                    L" 1.0 ", L"x=y", L"p@ss (1) [2]~;'`$#*?/\\:", &lines));
  EXPECT_EQ(lines[0], L"\"D:\\Program Files (x86)\\Win\\System32\\taskkill.exe\" /im Lumora1.exe /f");
  EXPECT_EQ(lines[2],
            L"\"D:\\Program Files (x86)\\Win\\Lumora1.exe\" \"?SVersion= 1.0 ,UVersion=x=y,"
            L"publish=p@ss (1) [2]~;'`$#*?/\\:\"");
}

TEST(UpdateBatch, RefusesValuesTheInterpreterWouldAct) {
  const wchar_t* hostile[] = {
      L"1\" & calc & \"",  L"1&calc",       L"1|calc",     L"1<in",        L"1>out",
      L"1^",               L"%COMSPEC%",    L"%1",         L"!PATH!",      L"1\r\ncalc",
      L"1\ncalc",          L"1\rcalc",      L"1\tx",       L"1\x1a",       L"1\x7f",
      L"1\x00e9",          L"1\xff02",      L"1\xff05",    L"\x3000",      L"\"",
  };
  for (const wchar_t* value : hostile) {
    std::wstring text(value);
    for (int slot = 0; slot < 3; ++slot) {
      std::wstring values[3] = {L"1.0.0.5", L"2.0.0.1", L"abc"};
      values[slot] = text;
      std::vector<std::wstring> lines = {L"left over"};
      EXPECT_FALSE(BuildUpdateBatchLines(L"C:\\windows\\", kSystem, values[0], values[1], values[2], &lines))
          << "slot " << slot << " value " << text;
      EXPECT_TRUE(lines.empty());
    }
  }
}

TEST(UpdateBatch, RefusesHostileFoldersButAllowsNonAsciiNames) {
  const wchar_t* hostile[] = {L"C:\\a\"&calc&\"\\", L"C:\\%windir%\\", L"C:\\a!b!\\", L"C:\\a^\\", L"C:\\a\r\ncalc\\",
                              L"C:\\windows", L""};
  std::vector<std::wstring> lines;
  for (const wchar_t* folder : hostile) {
    EXPECT_FALSE(BuildUpdateBatchLines(folder, kSystem, L"1", L"2", L"p", &lines)) << folder;
    EXPECT_FALSE(BuildUpdateBatchLines(L"C:\\windows\\", folder, L"1", L"2", L"p", &lines)) << "system " << folder;
  }
  EXPECT_TRUE(BuildUpdateBatchLines(L"C:\\\xC708\xB3C4\xC6B0\\", L"C:\\\xC708\xB3C4\xC6B0\\system32\\", L"1", L"2",
                                    L"p", &lines));
}

TEST(UpdateBatch, EmbeddedNulIsRefused) {
  std::vector<std::wstring> lines;
  EXPECT_FALSE(BuildUpdateBatchLines(L"C:\\windows\\", kSystem, std::wstring(L"1\0&calc", 7), L"2", L"p", &lines));
}

}  // namespace
