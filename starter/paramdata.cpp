// The starter's run-parameter holder and the launch of the update wizard.
#include "starter/paramdata.h"

#include <windows.h>

#include <cstring>
#include <tuple>
#include <utility>

#include "zkcrypt/corecipher.h"

using NS_ZKRunParamModuleLib::_CZKString;

namespace {

const int kLongestValue = 4096;
const wchar_t kWizardFile[] = L"Tesselo1.exe";

void Trace(const char* text) {
  if (text) OutputDebugStringA(text);
}

}  // namespace

bool SecureKeyLess::operator()(const _CZKString& left, const _CZKString& right) const {
  const char* a = left.GetText();
  const char* b = right.GetText();
  if (!a || !b) return !a && b;
  return strcmp(a, b) < 0;  // strcmp compares as unsigned char
}

CParamData::CParamData() = default;

CParamData::~CParamData() { m_secureValues.clear(); }

bool CParamData::AddParam(const char* key, const char* value, int secureFlag) {
  Trace("[[[[[");
  Trace(key);
  Trace("-------------");
  Trace(value);
  Trace("]]]]]");
  if (!key || !value) return false;
  const char* text = value;
  _CZKString decrypted;
  if (secureFlag == 1) {
    int size = 3 * static_cast<int>(strlen(value)) + 33;
    char* room = decrypted.GetBuffer(size);
    if (!room) return false;
    memset(room, 0, static_cast<size_t>(size) + 1);
    if (!SecureDecrypt(value, room, static_cast<unsigned>(size))) return false;
    text = room;
  }
  if (strlen(text) > static_cast<size_t>(kLongestValue)) return false;
  if (SetValue(key, text) != 0) return false;
  SetSecure(secureFlag, key, value);
  return true;
}

void CParamData::SetSecure(int secureFlag, const char* key, const char* value) {
  if (!key) return;
  _CZKString probe(key);
  auto found = m_secureValues.find(probe);
  if (secureFlag != 1) {
    if (found != m_secureValues.end()) m_secureValues.erase(found);
    return;
  }
  if (found == m_secureValues.end()) {
    found = m_secureValues.emplace(std::piecewise_construct, std::forward_as_tuple(key), std::forward_as_tuple()).first;
  }
  found->second.Assign(value);
}

bool LaunchUpdateWizard(const CString& folder, const StarterPairMap& pairs) {
  CParamData params;
  for (const auto& pair : pairs) {
    char* key = WideToAnsi(pair.first);
    char* value = WideToAnsi(pair.second);
    params.AddParam(key, value, 0);  // a refused pair is left out
    delete[] key;
    delete[] value;
  }
  // By its full path: a bare name would let the program search find a
  // Tesselo1.exe in whatever folder this process was started from. Quoted,
  // since the Windows folder may hold blanks.
  char* program = WideToAnsi(CString(L"\"") + folder + kWizardFile + L"\"");
  int launched = 0;
  bool done = program && params.Execute(program, &launched, nullptr) == 0;
  delete[] program;
  return done;
}
