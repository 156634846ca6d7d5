// Test peer: waits for message boxes, records caption and text, and dismisses them.
//   boxwatch <output file> [timeout in ms, default 20000] [number of boxes, default 1]
// Writes one record per box, in UTF-8: "CAPTION:<caption>\nTEXT:<text>\nSTYLE:<hex>\n".
// Ends when the number of boxes is reached (exit 0) or at the timeout (exit 1).
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

struct Search {
  std::set<HWND>* seen;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  // A message box is a dialog whose text is the static control 0xFFFF.
  if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF) &&
      !search->seen->count(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

std::string ToUtf8(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring WindowText(HWND window) {
  int n = GetWindowTextLengthW(window);
  std::wstring text(n + 1, L'\0');
  GetWindowTextW(window, &text[0], n + 1);
  text.resize(wcslen(text.c_str()));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 64;
  DWORD timeout = argc > 2 ? strtoul(argv[2], nullptr, 10) : 20000;
  int wanted = argc > 3 ? atoi(argv[3]) : 1;
  FILE* out = fopen(argv[1], "wb");
  if (!out) return 2;
  std::set<HWND> seen;
  int count = 0;
  DWORD start = GetTickCount();
  while (count < wanted && GetTickCount() - start < timeout) {
    Search search{&seen, nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (!search.found) { Sleep(20); continue; }
    HWND box = search.found;
    seen.insert(box);
    // A box is shown only after its dialog procedure has set caption and text.
    std::wstring caption = WindowText(box);
    std::wstring text = WindowText(GetDlgItem(box, 0xFFFF));
    LONG style = GetWindowLongW(box, GWL_STYLE);
    fprintf(out, "CAPTION:%s\nTEXT:%s\nSTYLE:%08lx\n", ToUtf8(caption).c_str(), ToUtf8(text).c_str(),
            static_cast<unsigned long>(style));
    fflush(out);
    ++count;
    // OK for boxes that have one, else Cancel, else close.
    if (GetDlgItem(box, IDOK)) PostMessageW(box, WM_COMMAND, IDOK, 0);
    else if (GetDlgItem(box, IDCANCEL)) PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    else PostMessageW(box, WM_CLOSE, 0, 0);
  }
  fclose(out);
  return count < wanted ? 1 : 0;
}
