// Tests of the wizard's shared helpers on Windows: string-table texts and
// their formatting, the trace, message boxes (through the box seam and as
// real boxes read by the box watcher) and the file and folder helpers.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "_Common/zkcommonfunc_win.h"
#include "framework/winapp.h"
#include "tests/support/peer.h"

namespace {

// The test's string table (testdata/commonfunc/strings.rc), UTF-8.
const char kFormat[] = "파일 %s 의 크기는 %d 바이트입니다.";
const char kConnectionFailed[] = "연결에 실패하였습니다.";
const char kErrorCaption[] = "오류";
const char kOnlyInProgram[] = "실행 파일에만 있습니다.";
const char kDefaultCaption[] = "게임 업데이트 마법사";
// Texts of the resource module without caption (testdata/commonfunc/nocaption.rc).
const char kModuleFormat[] = "모듈 %s %d";
const UINT kMissingId = 105;

std::string Convert(const std::string& text, UINT from, UINT to) {
  int n = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  n = WideCharToMultiByte(to, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(to, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
  return out;
}
std::string Utf8(const CStringA& ansi) { return Convert(ansi.Str(), CP_ACP, CP_UTF8); }
std::string Ansi(const char* utf8) { return Convert(utf8, CP_UTF8, CP_ACP); }

// The module that the tests make the resource-module override; none at start.
HMODULE g_override_module = nullptr;
HINSTANCE OverrideModule() { return g_override_module; }

// Every test starts from the program's own string table, override and trace off.
class CommonFuncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Reset();
    calls_.calls().resourceModuleOverride = OverrideModule;
  }
  void TearDown() override {
    Reset();
    if (module_) FreeLibrary(module_);
  }
  static void Reset() {
    AfxSetResourceHandle(GetModuleHandleW(nullptr));
    g_override_module = nullptr;
    g_bDebugTraceEnabled = FALSE;
  }
  HMODULE NoCaptionModule() {
    if (!module_) module_ = LoadLibraryA((zktest::ProgramFolder() + "zkcommonfunc_nocaption.dll").c_str());
    EXPECT_NE(nullptr, module_);
    return module_;
  }

  ScopedZKCommonFuncCalls calls_;

 private:
  HMODULE module_ = nullptr;
};

using ResourceStringTest = CommonFuncTest;

TEST_F(ResourceStringTest, LoadsFromTheFrameworkModuleAndKeepsOutWhenMissing) {
  const struct {
    UINT id;
    const char* text;
  } cases[] = {{100, kFormat}, {101, kConnectionFailed}, {102, kErrorCaption}, {57300, kDefaultCaption}};
  for (const auto& c : cases) {
    CStringA out("stale");
    EXPECT_TRUE(LoadResString(out, c.id)) << c.id;
    EXPECT_EQ(c.text, Utf8(out)) << c.id;
  }
  CStringA kept("kept");
  EXPECT_FALSE(LoadResString(kept, kMissingId));
  EXPECT_EQ("kept", kept.Str());
  EXPECT_EQ(AfxGetResourceHandle(), GetResourceInstance());
}

TEST_F(ResourceStringTest, OverrideModuleComesFirstThenTheFramework) {
  HMODULE module = NoCaptionModule();
  g_override_module = module;
  EXPECT_EQ(module, GetResourceInstance());
  const struct {
    UINT id;
    const char* text;
  } cases[] = {{100, kModuleFormat}, {104, kOnlyInProgram}, {57300, kDefaultCaption}};
  for (const auto& c : cases) {
    CStringA out;
    EXPECT_TRUE(LoadResString(out, c.id)) << c.id;
    EXPECT_EQ(c.text, Utf8(out)) << c.id;
  }
  CStringA kept("kept");
  EXPECT_FALSE(LoadResString(kept, kMissingId));
  EXPECT_EQ("kept", kept.Str());
}

TEST_F(ResourceStringTest, FormatUsesTheResourceInstanceOnly) {
  CStringA out;
  FormatResString(out, 100, "Quillan1.zip", 4096);
  EXPECT_EQ("파일 Quillan1.zip 의 크기는 4096 바이트입니다.", Utf8(out));

  g_override_module = NoCaptionModule();
  FormatResString(out, 100, "a", -1);
  EXPECT_EQ("모듈 a -1", Utf8(out));
  // Unlike LoadResString, formatting does not fall back to the framework.
  CStringA kept("kept");
  FormatResString(kept, 104);
  EXPECT_EQ("kept", kept.Str());
  g_override_module = nullptr;
  FormatResString(kept, kMissingId, 1);
  EXPECT_EQ("kept", kept.Str());
}

TEST_F(ResourceStringTest, FormatCutsLongTextsToTheBufferAndKeepsWholeCharacters) {
  const std::string korean = Ansi("가");  // two bytes in code page 949
  ASSERT_EQ(2u, korean.size());
  std::string doubles;
  for (int i = 0; i < 600; ++i) doubles += korean;
  const struct {
    std::string argument;
    std::string expected;
  } cases[] = {
      {std::string(3000, 'x'), std::string(1023, 'x')},
      {std::string(1023, 'y'), std::string(1023, 'y')},
      {std::string(1022, 'z'), std::string(1022, 'z')},
      {doubles, doubles.substr(0, 1022)},                 // 1023 would split a character
      {"x" + doubles, ("x" + doubles).substr(0, 1023)},  // here 1023 ends on a whole one
  };
  for (const auto& c : cases) {
    CStringA out;
    FormatResString(out, 103, c.argument.c_str());
    EXPECT_EQ(c.expected, out.Str()) << c.argument.size();
  }
}

// Collects what OutputDebugStringA raises for a debugger.
std::string g_debug_output;
LONG CALLBACK CatchDebugOutput(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
  if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
    g_debug_output += reinterpret_cast<const char*>(record->ExceptionInformation[1]);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

using DebugTraceTest = CommonFuncTest;

TEST_F(DebugTraceTest, WritesOnlyWhileTheSwitchIsOn) {
  PVOID handler = AddVectoredExceptionHandler(1, CatchDebugOutput);
  ASSERT_NE(nullptr, handler);
  g_debug_output.clear();
  // Off, as the programs leave it: nothing written, the arguments not even
  // read (formatting this text pointer would fault).
  DebugTrace("added:  filename[%s]", reinterpret_cast<const char*>(16));
  EXPECT_EQ("", g_debug_output);

  g_bDebugTraceEnabled = TRUE;
  DebugTrace("added:  filename[%s]  filehash[%s]", "Quillan1.exe", "AB12");
  EXPECT_EQ("added:  filename[Quillan1.exe]  filehash[AB12]", g_debug_output);  // no line end added
  g_debug_output.clear();
  DebugTrace("%s", std::string(5000, 'x').c_str());
  EXPECT_EQ(std::string(2047, 'x'), g_debug_output);
  RemoveVectoredExceptionHandler(handler);
}

// What the box seam received.
struct SeenBox {
  HWND owner;
  std::string text, caption;
  UINT style;
} g_seen;

int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  g_seen = {owner, text ? text : "<null>", caption ? caption : "<null>", style};
  return IDRETRY;
}

class MessageBoxSeamTest : public CommonFuncTest {
 protected:
  void SetUp() override {
    CommonFuncTest::SetUp();
    calls_.calls().messageBoxA = RecordBox;
    g_seen = {};
  }
};

TEST_F(MessageBoxSeamTest, CaptionStyleAndResult) {
  const HWND owner = reinterpret_cast<HWND>(0x5678);  // borrowed, never used as a window
  const struct {
    const char* caption;
    UINT style;
    const char* shown_caption;
    UINT shown_style;
  } cases[] = {
      {nullptr, MB_OK, kDefaultCaption, 0x10000},
      {"", MB_YESNO | MB_ICONQUESTION, kDefaultCaption, 0x10024},
      {"Caption", MB_ICONERROR, "Caption", 0x10010},
      {"Caption", MB_SETFOREGROUND | MB_OKCANCEL, "Caption", 0x10001},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IDRETRY, ShowMessageBox(owner, "text", c.caption, c.style));
    EXPECT_EQ(owner, g_seen.owner);
    EXPECT_EQ("text", g_seen.text);
    EXPECT_EQ(c.shown_caption, Utf8(CStringA(g_seen.caption.c_str())));
    EXPECT_EQ(c.shown_style, g_seen.style);
  }
  // The error boxes take the owner last and add the error icon.
  EXPECT_EQ(IDRETRY, ShowErrorBox("e", "c", owner));
  EXPECT_EQ(owner, g_seen.owner);
  EXPECT_EQ("e", g_seen.text);
  EXPECT_EQ("c", g_seen.caption);
  EXPECT_EQ(0x10010u, g_seen.style);
}

TEST_F(MessageBoxSeamTest, TextsByIdMissingOnesStayEmpty) {
  const struct {
    UINT text_id, caption_id;
    const char* text;
    const char* caption;
  } cases[] = {
      {101, 102, kConnectionFailed, kErrorCaption},
      {101, kMissingId, kConnectionFailed, kDefaultCaption},
      {kMissingId, 0, "", kDefaultCaption},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IDRETRY, ShowMessageBoxById(nullptr, c.text_id, c.caption_id, MB_OKCANCEL));
    EXPECT_EQ(c.text, Utf8(CStringA(g_seen.text.c_str())));
    EXPECT_EQ(c.caption, Utf8(CStringA(g_seen.caption.c_str())));
    EXPECT_EQ(0x10001u, g_seen.style);
    EXPECT_EQ(IDRETRY, ShowErrorBoxById(c.text_id, c.caption_id, nullptr));
    EXPECT_EQ(c.text, Utf8(CStringA(g_seen.text.c_str())));
    EXPECT_EQ(c.caption, Utf8(CStringA(g_seen.caption.c_str())));
    EXPECT_EQ(0x10010u, g_seen.style);
  }
}

TEST_F(MessageBoxSeamTest, NoOwnerMeansTheMainWindowOfTheApplicationThread) {
  ShowErrorBox("t", "c", nullptr);
  EXPECT_EQ(nullptr, g_seen.owner);  // no application object
  CWinApp app;
  ShowErrorBox("t", "c", nullptr);
  EXPECT_EQ(nullptr, g_seen.owner);  // no main window
  CWnd window(reinterpret_cast<HWND>(0x1234));  // borrowed, never used as a window
  app.m_pMainWnd = &window;
  ShowErrorBox("t", "c", nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(0x1234), g_seen.owner);
  ShowErrorBox("t", "c", reinterpret_cast<HWND>(0x5678));
  EXPECT_EQ(reinterpret_cast<HWND>(0x5678), g_seen.owner);
  // A worker thread has no main window: its boxes have no owner.
  g_seen.owner = reinterpret_cast<HWND>(1);
  std::thread([] { ShowErrorBox("t", "c", nullptr); }).join();
  EXPECT_EQ(nullptr, g_seen.owner);
  app.m_pMainWnd = nullptr;
}

// Owners of the dialog boxes that the calling thread creates.
HWND g_box_owner;
LRESULT CALLBACK RecordBoxOwner(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND) {
    char name[16] = "";
    GetClassNameA(reinterpret_cast<HWND>(wparam), name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0) g_box_owner = reinterpret_cast<CBT_CREATEWNDA*>(lparam)->lpcs->hwndParent;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

using RealMessageBoxTest = CommonFuncTest;

TEST_F(RealMessageBoxTest, CaptionsTextsAndResults) {
  zktest::BoxWatch watch(4);
  EXPECT_EQ(IDOK, ShowMessageBox(nullptr, Ansi(kConnectionFailed).c_str(), "", MB_OK));
  EXPECT_EQ(IDOK, ShowErrorBoxById(101, 102, nullptr));
  // The watcher presses OK where there is one, else Cancel.
  EXPECT_EQ(IDOK, ShowMessageBoxById(nullptr, kMissingId, kMissingId, MB_OKCANCEL | MB_ICONQUESTION));
  EXPECT_EQ(IDCANCEL, ShowMessageBox(nullptr, "retry?", "ZK", MB_RETRYCANCEL));
  EXPECT_EQ(std::string("CAPTION:") + kDefaultCaption + "\nTEXT:" + kConnectionFailed + "\n" +
                "CAPTION:" + kErrorCaption + "\nTEXT:" + kConnectionFailed + "\n" +
                "CAPTION:" + kDefaultCaption + "\nTEXT:\n" +
                "CAPTION:ZK\nTEXT:retry?\n",
            watch.Wait());
}

TEST_F(RealMessageBoxTest, MissingCaptionStringGivesZKWizard) {
  AfxSetResourceHandle(NoCaptionModule());
  zktest::BoxWatch watch(2);
  ShowErrorBox("a", nullptr, nullptr);
  ShowMessageBoxById(nullptr, 101, kMissingId, MB_OK);
  EXPECT_EQ(std::string("CAPTION:ZKWizard\nTEXT:a\nCAPTION:ZKWizard\nTEXT:모듈의 연결 실패\n"), watch.Wait());
}

TEST_F(RealMessageBoxTest, MainWindowOwnsTheBox) {
  HWND main_window = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, main_window);
  CWinApp app;
  CWnd window(main_window);
  app.m_pMainWnd = &window;
  HHOOK hook = SetWindowsHookExA(WH_CBT, RecordBoxOwner, nullptr, GetCurrentThreadId());
  ASSERT_NE(nullptr, hook);
  g_box_owner = nullptr;
  zktest::BoxWatch watch(1);
  ShowErrorBox("owned", "c", nullptr);
  EXPECT_EQ("CAPTION:c\nTEXT:owned\n", watch.Wait());
  EXPECT_EQ(main_window, g_box_owner);
  UnhookWindowsHookEx(hook);
  app.m_pMainWnd = nullptr;
  DestroyWindow(main_window);
}

// A fresh folder below the temporary folder, removed with all it holds.
class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
    base_ = std::string(temp) + "zkcommonfunc_" + std::to_string(GetCurrentProcessId()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(base_);
    ASSERT_TRUE(CreateDirectoryA(base_.c_str(), nullptr));
    file_ = base_ + "\\file.txt";
    HANDLE handle = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    CloseHandle(handle);
  }
  void TearDown() override { std::filesystem::remove_all(base_); }
  static bool IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

  std::string base_, file_;
};

TEST_F(FolderTest, PathExistsAndDirectoryExists) {
  char before[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, before);
  const struct {
    std::string path;
    int exists;
    BOOL directory;
  } cases[] = {
      {"C:\\", -1, TRUE},
      {base_, -1, TRUE},
      {base_ + "\\", -1, TRUE},
      {file_, 1, FALSE},
      {file_ + "\\", 0, FALSE},
      {base_ + "\\missing", 0, FALSE},
      {base_ + "\\missing\\", 0, FALSE},
      {"", 0, FALSE},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.exists, PathExists(c.path.c_str())) << c.path;
    EXPECT_EQ(c.directory, DirectoryExists(c.path.c_str())) << c.path;
  }
  EXPECT_EQ(0, PathExists(nullptr));
  EXPECT_FALSE(DirectoryExists(nullptr));
  char after[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, after);
  EXPECT_STREQ(before, after);
}

TEST_F(FolderTest, CreatesTheMissingLevelsOfAChain) {
  ASSERT_TRUE(CreateDirectoryA((base_ + "\\a").c_str(), nullptr));
  const std::string chain = base_ + "\\a\\b\\c\\";
  EXPECT_TRUE(CreateDirectoryTree(chain.c_str()));
  EXPECT_TRUE(IsDirectory(base_ + "\\a\\b"));
  EXPECT_TRUE(IsDirectory(base_ + "\\a\\b\\c"));
  EXPECT_TRUE(CreateDirectoryTree(chain.c_str()));  // all there: TRUE at once
  EXPECT_TRUE(CreateDirectoryTree((base_ + "\\a\\b\\c\\\\\\").c_str()));

  // Forward slashes end a level too, also at the end of the path.
  EXPECT_TRUE(CreateDirectoryTree((base_ + "/d/e/").c_str()));
  EXPECT_TRUE(IsDirectory(base_ + "\\d\\e"));

  // Drives and an empty path count as done.
  for (const char* path : {"C:", "C:\\", "", "\\"}) EXPECT_TRUE(CreateDirectoryTree(path)) << path;
}

TEST_F(FolderTest, AFileInTheWayFails) {
  EXPECT_FALSE(CreateDirectoryTree(file_.c_str()));
  EXPECT_FALSE(CreateDirectoryTree((file_ + "\\").c_str()));
  EXPECT_FALSE(CreateDirectoryTree((file_ + "\\sub\\deeper").c_str()));
  EXPECT_FALSE(Exists(file_ + "\\sub"));
  EXPECT_FALSE(IsDirectory(file_));
}

TEST_F(FolderTest, RelativePathsStartAtTheCurrentDirectory) {
  char before[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, before);
  ASSERT_TRUE(SetCurrentDirectoryA(base_.c_str()));
  EXPECT_TRUE(CreateDirectoryTree("rel\\x"));
  EXPECT_EQ(-1, PathExists("rel\\x"));
  SetCurrentDirectoryA(before);
  EXPECT_TRUE(IsDirectory(base_ + "\\rel\\x"));
}

}  // namespace
