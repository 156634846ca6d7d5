// Version resource of a program file: its fixed file information and twelve
// string values of one translation, in an ANSI and a wide-character form.
#pragma once

#include <windows.h>

#include <type_traits>

#include "framework/cstring.h"
#include "framework/seam.h"

// The platform calls of the version reader, so that tests reach failures that
// real files cannot produce; tests replace entries through ScopedCallsOverride.
struct FileVersionInfoCalls {
  // The size of a file's version resource, ANSI and wide.
  decltype(&::GetFileVersionInfoSizeA) getFileVersionInfoSizeA;
  decltype(&::GetFileVersionInfoSizeW) getFileVersionInfoSizeW;
  // Reads a file's version resource into a block, ANSI and wide.
  decltype(&::GetFileVersionInfoA) getFileVersionInfoA;
  decltype(&::GetFileVersionInfoW) getFileVersionInfoW;
  // Finds one value in a read block, ANSI and wide.
  decltype(&::VerQueryValueA) verQueryValueA;
  decltype(&::VerQueryValueW) verQueryValueW;
  // The user's language, which chooses the translation.
  decltype(&::GetUserDefaultLangID) getUserDefaultLangID;
};

// The calls in use; the program never changes them.
FileVersionInfoCalls& FileVersionInfoCurrentCalls();
// The platform's own calls.
FileVersionInfoCalls FileVersionInfoPlatformCalls();
using ScopedFileVersionInfoCalls =
    ScopedCallsOverride<FileVersionInfoCalls, &FileVersionInfoCurrentCalls, &FileVersionInfoPlatformCalls>;

// The version information of one file. Char is char for the ANSI form (the
// update wizard) and wchar_t for the wide form (the starter); both read the
// same fields the same way.
template <typename Char>
class CFileVersionInfoT {
 public:
  using String = CStringT<Char>;

  // Creates an empty object.
  CFileVersionInfoT();
  virtual ~CFileVersionInfoT();

  // Zeroes the fixed block and empties all twelve string values.
  virtual void Clear();

  // Replaces the contents with the version information of the file at path.
  // Returns FALSE, leaving the object empty, when the file has no readable
  // version information; TRUE otherwise, even when the fixed block, the
  // translation table or single string values are missing (they stay empty).
  BOOL LoadFromFile(const Char* path);

  // Returns a copy of FileVersion (its spaces already removed). ANSI form only.
  template <typename C = Char, typename = typename std::enable_if<std::is_same<C, char>::value>::type>
  String GetFileVersionText() const {
    return FileVersion;
  }

  // Stores in *translation the first entry of the table (tableSize bytes)
  // whose language id equals language; when none does and allowPrimaryMatch
  // is set, the first entry of the same primary language. FALSE when none.
  static BOOL SelectTranslation(LPCVOID table, UINT tableSize, WORD language, DWORD* translation,
                                BOOL allowPrimaryMatch);

  // The resource's root block; all zero when the file has none.
  VS_FIXEDFILEINFO FixedFileInfo;
  // The string values of the chosen translation, named as they are queried.
  String CompanyName;
  String FileDescription;
  String FileVersion;  // with every space removed
  String InternalName;
  String LegalCopyright;
  String OriginalFileName;
  String ProductName;
  String ProductVersion;
  String Comments;
  String LegalTrademarks;
  String PrivateBuild;
  String SpecialBuild;

 private:
  void ReadStringValues(const void* block, DWORD translation);
};

extern template class CFileVersionInfoT<char>;
extern template class CFileVersionInfoT<wchar_t>;

using CFileVersionInfoA = CFileVersionInfoT<char>;
using CFileVersionInfoW = CFileVersionInfoT<wchar_t>;

// The form that goes with the program's framework strings.
#ifdef ZK_UNICODE_CSTRING
using CFileVersionInfo = CFileVersionInfoW;
#else
using CFileVersionInfo = CFileVersionInfoA;
#endif
