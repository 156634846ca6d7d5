// Fuzz entry of the patch script's parser: a whole script body with its file
// lists, as the download hands it over.
//
// Input: a byte of installed version, the program name up to the first '\n',
// then the body. Checks: a refusal names its reason; the file list holds
// each name once (letter case ignored), every name and hash and the
// process-wide folders stay terminated within their arrays.
#include <string>

#include "tests/support/fuzzsupport.h"
#include "updatewizard/patchscript.h"
#include "updatewizard/patchscriptdownload.h"

namespace {

bool TerminatedWithin(const char* text, size_t size) { return std::memchr(text, '\0', size) != nullptr; }

void CheckLists(const PatchFileLists& lists) {
  int listed = 0;
  for (const PatchFileEntry* entry = lists.m_pFirstEntry; entry; entry = entry->pNext) {
    ZK_FUZZ_CHECK(TerminatedWithin(entry->szName, sizeof entry->szName));
    ZK_FUZZ_CHECK(TerminatedWithin(entry->szHash, sizeof entry->szHash));
    for (const PatchFileEntry* later = entry->pNext; later; later = later->pNext) {
      ZK_FUZZ_CHECK(CStringA(entry->szName).CompareNoCase(later->szName) != 0);
    }
    ++listed;
  }
  ZK_FUZZ_CHECK(lists.m_nEntryCount >= 0 && lists.m_nEntryCount <= listed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zkfuzz::Input input(data, size);
  const int installed_version = input.Byte();
  const std::string name = input.Field('\n');
  const std::string body = input.Rest();

  CSentenceParse parser;
  PatchFileLists lists;
  unsigned failure = 12345;
  const int result = ParsePatchScriptBody(body.c_str(), name.c_str(), parser, &lists, installed_version, &failure);
  if (result == 1) ZK_FUZZ_CHECK(failure == 0);
  else ZK_FUZZ_CHECK(failure != 0 || !parser.m_strError.IsEmpty());
  CheckLists(lists);
  ZK_FUZZ_CHECK(TerminatedWithin(g_szInstallRootFolder, sizeof g_szInstallRootFolder));
  ZK_FUZZ_CHECK(TerminatedWithin(g_szUninstallDisplayName, sizeof g_szUninstallDisplayName));
  return 0;
}
