// Reading of a file's version resource through the platform's version API.
#include "_Common/fileversioninfo.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "_Common/fileversioninfo_translation.h"

FileVersionInfoCalls FileVersionInfoPlatformCalls() {
  return FileVersionInfoCalls{
      ::GetFileVersionInfoSizeA, ::GetFileVersionInfoSizeW, ::GetFileVersionInfoA,
      ::GetFileVersionInfoW,     ::VerQueryValueA,          ::VerQueryValueW,
      ::GetUserDefaultLangID,
  };
}

FileVersionInfoCalls& FileVersionInfoCurrentCalls() {
  static FileVersionInfoCalls calls = FileVersionInfoPlatformCalls();
  return calls;
}

namespace {

// The version API in the width of Char.
template <typename Char>
struct VersionApi;

template <>
struct VersionApi<char> {
  static DWORD Size(const char* path, DWORD* handle) {
    return FileVersionInfoCurrentCalls().getFileVersionInfoSizeA(path, handle);
  }
  static BOOL Read(const char* path, DWORD size, void* block) {
    return FileVersionInfoCurrentCalls().getFileVersionInfoA(path, 0, size, block);
  }
  static BOOL Query(const void* block, const char* name, void** value, UINT* length) {
    return FileVersionInfoCurrentCalls().verQueryValueA(block, name, value, length);
  }
};

template <>
struct VersionApi<wchar_t> {
  static DWORD Size(const wchar_t* path, DWORD* handle) {
    return FileVersionInfoCurrentCalls().getFileVersionInfoSizeW(path, handle);
  }
  static BOOL Read(const wchar_t* path, DWORD size, void* block) {
    return FileVersionInfoCurrentCalls().getFileVersionInfoW(path, 0, size, block);
  }
  static BOOL Query(const void* block, const wchar_t* name, void** value, UINT* length) {
    return FileVersionInfoCurrentCalls().verQueryValueW(block, name, value, length);
  }
};

// Query paths are ASCII; this widens them for the wide form.
template <typename Char>
std::basic_string<Char> QueryPath(const char* ascii) {
  std::basic_string<Char> path;
  for (; *ascii; ++ascii) path += static_cast<Char>(*ascii);
  return path;
}

// The text of a string value: up to its NUL, never past the length the
// platform reported (in characters).
template <typename Char>
CStringT<Char> ValueText(const void* value, UINT length) {
  const Char* text = static_cast<const Char*>(value);
  UINT count = 0;
  while (count < length && text[count] != 0) ++count;
  return CStringT<Char>(text, static_cast<int>(count));
}

template <typename Char>
struct StringValue {
  const char* name;
  CStringT<Char> CFileVersionInfoT<Char>::*field;
};

// The twelve string values in the order they are read.
template <typename Char>
const StringValue<Char> kStringValues[] = {
    {"CompanyName", &CFileVersionInfoT<Char>::CompanyName},
    {"FileDescription", &CFileVersionInfoT<Char>::FileDescription},
    {"FileVersion", &CFileVersionInfoT<Char>::FileVersion},
    {"InternalName", &CFileVersionInfoT<Char>::InternalName},
    {"LegalCopyright", &CFileVersionInfoT<Char>::LegalCopyright},
    {"OriginalFileName", &CFileVersionInfoT<Char>::OriginalFileName},
    {"ProductName", &CFileVersionInfoT<Char>::ProductName},
    {"ProductVersion", &CFileVersionInfoT<Char>::ProductVersion},
    {"Comments", &CFileVersionInfoT<Char>::Comments},
    {"LegalTrademarks", &CFileVersionInfoT<Char>::LegalTrademarks},
    {"PrivateBuild", &CFileVersionInfoT<Char>::PrivateBuild},
    {"SpecialBuild", &CFileVersionInfoT<Char>::SpecialBuild},
};

}  // namespace

template <typename Char>
CFileVersionInfoT<Char>::CFileVersionInfoT() {
  Clear();
}

template <typename Char>
CFileVersionInfoT<Char>::~CFileVersionInfoT() = default;

template <typename Char>
void CFileVersionInfoT<Char>::Clear() {
  std::memset(&FixedFileInfo, 0, sizeof(FixedFileInfo));
  for (const StringValue<Char>& value : kStringValues<Char>) (this->*value.field).Empty();
}

template <typename Char>
BOOL CFileVersionInfoT<Char>::LoadFromFile(const Char* path) {
  Clear();
  DWORD handle = 0;
  DWORD size = VersionApi<Char>::Size(path, &handle);
  if (size == 0) return FALSE;
  std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[size]);
  if (!block) return FALSE;
  if (!VersionApi<Char>::Read(path, size, block.get())) return FALSE;

  void* value = nullptr;
  UINT length = 0;
  if (VersionApi<Char>::Query(block.get(), QueryPath<Char>("\\").c_str(), &value, &length) &&
      length == sizeof(VS_FIXEDFILEINFO))
    std::memcpy(&FixedFileInfo, value, sizeof(FixedFileInfo));

  value = nullptr;
  length = 0;
  if (!VersionApi<Char>::Query(block.get(), QueryPath<Char>("\\VarFileInfo\\Translation").c_str(),
                               &value, &length))
    return TRUE;
  VersionTranslation translation = 0;
  // A table without a whole entry names no translation to read.
  if (ChooseTranslation(value, length, FileVersionInfoCurrentCalls().getUserDefaultLangID(), &translation))
    ReadStringValues(block.get(), translation);
  return TRUE;
}

template <typename Char>
void CFileVersionInfoT<Char>::ReadStringValues(const void* block, DWORD translation) {
  char prefix[32];
  std::snprintf(prefix, sizeof(prefix), "\\StringFileInfo\\%04X%04X\\",
                static_cast<unsigned>(translation & 0xFFFF), static_cast<unsigned>(translation >> 16));
  for (const StringValue<Char>& entry : kStringValues<Char>) {
    std::basic_string<Char> query = QueryPath<Char>(prefix) + QueryPath<Char>(entry.name);
    void* value = nullptr;
    UINT length = 0;
    if (VersionApi<Char>::Query(block, query.c_str(), &value, &length) && value)
      this->*entry.field = ValueText<Char>(value, length);
  }
  FileVersion.Remove(static_cast<Char>(' '));
}

template <typename Char>
BOOL CFileVersionInfoT<Char>::SelectTranslation(LPCVOID table, UINT tableSize, WORD language,
                                                DWORD* translation, BOOL allowPrimaryMatch) {
  VersionTranslation chosen = 0;
  if (!SelectTranslationEntry(table, tableSize, language, &chosen, allowPrimaryMatch != FALSE))
    return FALSE;
  *translation = chosen;
  return TRUE;
}

template class CFileVersionInfoT<char>;
template class CFileVersionInfoT<wchar_t>;
