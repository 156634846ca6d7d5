// Tests of reading version resources, on small modules built with
// different version blocks (see testdata/version).
#include "_Common/fileversioninfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::wstring DataPath(const wchar_t* fileName) {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring path(module);
  path.erase(path.rfind(L'\\') + 1);
  return path + L"versiondata\\" + fileName;
}

std::string ToAnsi(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &ansi[0], size, nullptr, nullptr);
  return ansi;
}

// What the tests need of each form: paths and expected texts in its width,
// converted by the platform rather than by the framework.
template <typename Char>
struct Form;

template <>
struct Form<char> {
  static std::string Path(const wchar_t* fileName) { return ToAnsi(DataPath(fileName)); }
  static std::string Text(const wchar_t* text) { return ToAnsi(text); }
};

template <>
struct Form<wchar_t> {
  static std::wstring Path(const wchar_t* fileName) { return DataPath(fileName); }
  static std::wstring Text(const wchar_t* text) { return text; }
};

template <typename Char>
using Values = std::vector<CStringT<Char> CFileVersionInfoT<Char>::*>;

template <typename Char>
Values<Char> AllStringValues() {
  using Info = CFileVersionInfoT<Char>;
  return {&Info::CompanyName,    &Info::FileDescription, &Info::FileVersion,
          &Info::InternalName,   &Info::LegalCopyright,  &Info::OriginalFileName,
          &Info::ProductName,    &Info::ProductVersion,  &Info::Comments,
          &Info::LegalTrademarks, &Info::PrivateBuild,   &Info::SpecialBuild};
}

template <typename Char>
void ExpectEmpty(const CFileVersionInfoT<Char>& info) {
  VS_FIXEDFILEINFO zero;
  std::memset(&zero, 0, sizeof(zero));
  EXPECT_EQ(std::memcmp(&info.FixedFileInfo, &zero, sizeof(zero)), 0);
  for (auto field : AllStringValues<Char>()) EXPECT_TRUE((info.*field).IsEmpty());
}

LANGID g_userLanguage = 0;
LANGID WINAPI FakeUserLanguage() { return g_userLanguage; }

// Restores the real platform calls after each test.
class VersionCallsTest : public ::testing::Test {
 protected:
  void SetUserLanguage(LANGID language) {
    g_userLanguage = language;
    Calls().getUserDefaultLangID = FakeUserLanguage;
  }
  FileVersionInfoCalls& Calls() { return calls_.calls(); }

 private:
  ScopedFileVersionInfoCalls calls_;
};

template <typename Char>
class FileVersionInfoTest : public VersionCallsTest {};

using Forms = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(FileVersionInfoTest, Forms);

TYPED_TEST(FileVersionInfoTest, ReadsFixedBlockAndAllTwelveValues) {
  using F = Form<TypeParam>;
  this->SetUserLanguage(0x0412);
  CFileVersionInfoT<TypeParam> info;
  ASSERT_TRUE(info.LoadFromFile(F::Path(L"korean.dll").c_str()));

  EXPECT_EQ(info.FixedFileInfo.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(info.FixedFileInfo.dwFileVersionMS, 0x00010002u);
  EXPECT_EQ(info.FixedFileInfo.dwFileVersionLS, 0x00030004u);
  EXPECT_EQ(info.FixedFileInfo.dwProductVersionMS, 0x00050006u);
  EXPECT_EQ(info.FixedFileInfo.dwProductVersionLS, 0x00070008u);
  EXPECT_EQ(info.FixedFileInfo.dwFileType, static_cast<DWORD>(VFT_DLL));

  const wchar_t* expected[] = {L"한빛 게임즈", L"업데이트 도우미", L"2,1,0,15",    L"korean",
                               L"저작권 (C) 2024", L"korean.dll", L"한빛 런처", L"2, 1, 0, 15",
                               L"설명",          L"상표",          L"private build",
                               L"special build"};
  auto fields = AllStringValues<TypeParam>();
  for (size_t i = 0; i < fields.size(); ++i)
    EXPECT_EQ((info.*fields[i]).Str(), F::Text(expected[i])) << "value " << i;
}

struct TranslationCase {
  const wchar_t* file;
  LANGID userLanguage;
  const wchar_t* companyName;
};

TYPED_TEST(FileVersionInfoTest, ReadsTheChosenTranslation) {
  using F = Form<TypeParam>;
  const TranslationCase cases[] = {
      {L"korean.dll", 0x0409, L"한빛 게임즈"},           // only entry, no rule matches
      {L"two_english.dll", 0x0409, L"American Maker"},   // exact, though listed second
      {L"two_english.dll", 0x0809, L"British Maker"},    // exact, listed first
      {L"two_english.dll", 0x0412, L"British Maker"},    // English by primary language
      {L"british.dll", 0x0409, L"British Maker"},        // primary-language match
      {L"neutral_korean.dll", 0x0412, L"한국 제작사"},   // exact after a neutral entry
      {L"neutral_korean.dll", 0x0409, L"Neutral Maker"}, // neutral language
  };
  for (const TranslationCase& c : cases) {
    this->SetUserLanguage(c.userLanguage);
    CFileVersionInfoT<TypeParam> info;
    ASSERT_TRUE(info.LoadFromFile(F::Path(c.file).c_str()));
    EXPECT_EQ(info.CompanyName.Str(), F::Text(c.companyName))
        << "language " << std::hex << c.userLanguage;
  }
}

TYPED_TEST(FileVersionInfoTest, MissingValuesStayEmpty) {
  using F = Form<TypeParam>;
  CFileVersionInfoT<TypeParam> info;
  ASSERT_TRUE(info.LoadFromFile(F::Path(L"british.dll").c_str()));
  EXPECT_EQ(info.ProductName.Str(), F::Text(L"British Product"));
  EXPECT_TRUE(info.FileVersion.IsEmpty());
  EXPECT_TRUE(info.SpecialBuild.IsEmpty());
  EXPECT_EQ(info.FixedFileInfo.dwFileVersionMS, 0x00040000u);
}

TYPED_TEST(FileVersionInfoTest, WithoutTranslationTableReadsOnlyTheFixedBlock) {
  using F = Form<TypeParam>;
  CFileVersionInfoT<TypeParam> info;
  ASSERT_TRUE(info.LoadFromFile(F::Path(L"korean.dll").c_str()));
  ASSERT_TRUE(info.LoadFromFile(F::Path(L"no_translation.dll").c_str()));
  EXPECT_EQ(info.FixedFileInfo.dwFileVersionMS, 0x00060005u);
  EXPECT_EQ(info.FixedFileInfo.dwFileVersionLS, 0x00040003u);
  for (auto field : AllStringValues<TypeParam>()) EXPECT_TRUE((info.*field).IsEmpty());
}

TYPED_TEST(FileVersionInfoTest, FileWithoutVersionInformationLeavesObjectEmpty) {
  using F = Form<TypeParam>;
  const wchar_t* unreadable[] = {L"noversion.dll", L"no_such_file.dll"};
  for (const wchar_t* file : unreadable) {
    CFileVersionInfoT<TypeParam> info;
    ASSERT_TRUE(info.LoadFromFile(F::Path(L"korean.dll").c_str()));
    EXPECT_FALSE(info.LoadFromFile(F::Path(file).c_str()));
    ExpectEmpty(info);
  }
}

TYPED_TEST(FileVersionInfoTest, ClearEmptiesEverything) {
  using F = Form<TypeParam>;
  CFileVersionInfoT<TypeParam> info;
  ExpectEmpty(info);
  ASSERT_TRUE(info.LoadFromFile(F::Path(L"korean.dll").c_str()));
  info.Clear();
  ExpectEmpty(info);
}

TEST(FileVersionInfoAnsi, FileVersionTextHasNoSpaces) {
  CFileVersionInfoA info;
  ASSERT_TRUE(info.LoadFromFile(Form<char>::Path(L"korean.dll").c_str()));
  EXPECT_EQ(info.GetFileVersionText().Str(), "2,1,0,15");
}

TEST(FileVersionInfoAnsi, SelectTranslationPrefersExactMatch) {
  const DWORD table[] = {0x04E40809, 0x04E40409};
  DWORD chosen = 0;
  EXPECT_TRUE(CFileVersionInfoA::SelectTranslation(table, sizeof(table), 0x0409, &chosen, FALSE));
  EXPECT_EQ(chosen, 0x04E40409u);
  EXPECT_FALSE(CFileVersionInfoA::SelectTranslation(table, 4, 0x0409, &chosen, FALSE));
  EXPECT_TRUE(CFileVersionInfoA::SelectTranslation(table, 4, 0x0409, &chosen, TRUE));
  EXPECT_EQ(chosen, 0x04E40809u);
}

// Failures that no real file produces, through replaced platform calls.
BOOL WINAPI FailingRead(LPCSTR, DWORD, DWORD, LPVOID) { return FALSE; }
DWORD WINAPI HugeSize(LPCSTR, LPDWORD) { return 0xFFFFFFF0u; }
BOOL WINAPI ShortRootBlock(LPCVOID block, LPCSTR name, LPVOID* value, PUINT length) {
  BOOL found = ::VerQueryValueA(block, name, value, length);
  if (found && std::strcmp(name, "\\") == 0) *length = 40;
  return found;
}
BOOL WINAPI PartialTranslationTable(LPCVOID block, LPCSTR name, LPVOID* value, PUINT length) {
  BOOL found = ::VerQueryValueA(block, name, value, length);
  if (found && std::strcmp(name, "\\VarFileInfo\\Translation") == 0) *length = 2;
  return found;
}

using FileVersionInfoFailureTest = VersionCallsTest;

TEST_F(FileVersionInfoFailureTest, ReadOrAllocationFailureGivesFalseAndEmpty) {
  Calls().getFileVersionInfoA = FailingRead;
  CFileVersionInfoA info;
  EXPECT_FALSE(info.LoadFromFile(Form<char>::Path(L"korean.dll").c_str()));
  ExpectEmpty(info);

  Calls().getFileVersionInfoSizeA = HugeSize;
  EXPECT_FALSE(info.LoadFromFile(Form<char>::Path(L"korean.dll").c_str()));
  ExpectEmpty(info);
}

TEST_F(FileVersionInfoFailureTest, RootBlockOfWrongLengthLeavesFixedBlockZero) {
  Calls().verQueryValueA = ShortRootBlock;
  SetUserLanguage(0x0412);
  CFileVersionInfoA info;
  ASSERT_TRUE(info.LoadFromFile(Form<char>::Path(L"korean.dll").c_str()));
  EXPECT_EQ(info.FixedFileInfo.dwSignature, 0u);
  EXPECT_EQ(info.FixedFileInfo.dwFileVersionMS, 0u);
  EXPECT_EQ(info.FileVersion.Str(), "2,1,0,15");
}

TEST_F(FileVersionInfoFailureTest, TranslationTableWithoutWholeEntryReadsNoValues) {
  Calls().verQueryValueA = PartialTranslationTable;
  CFileVersionInfoA info;
  ASSERT_TRUE(info.LoadFromFile(Form<char>::Path(L"korean.dll").c_str()));
  EXPECT_EQ(info.FixedFileInfo.dwFileVersionMS, 0x00010002u);
  EXPECT_TRUE(info.CompanyName.IsEmpty());
  EXPECT_TRUE(info.FileVersion.IsEmpty());
}

}  // namespace
