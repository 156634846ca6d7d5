// The starter's run-parameter holder and the launch of the update wizard.
#pragma once

#include <map>

#include "starter/intake.h"
#include "zkrunparammodulelib/zkrunparam.h"
#include "zkrunparammodulelib/zkstring.h"

// Orders library strings by their texts: no text first, then an unsigned
// byte-by-byte comparison.
struct SecureKeyLess {
  bool operator()(const NS_ZKRunParamModuleLib::_CZKString& left,
                  const NS_ZKRunParamModuleLib::_CZKString& right) const;
};

// Run parameters that the starter hands to the update wizard.
class CParamData : public CZKRunParam {
 public:
  CParamData();
  ~CParamData() override;
  CParamData(const CParamData&) = delete;
  CParamData& operator=(const CParamData&) = delete;

  // Traces the pair, stores it as a run parameter (a secure value decrypted
  // first) and records it in the secure-value map; false, and nothing
  // stored, for a missing text, a failed decryption or a text over 4096 bytes.
  bool AddParam(const char* key, const char* value, int secureFlag);

  // Records value (as passed) under key when secureFlag is 1, else forgets key.
  void SetSecure(int secureFlag, const char* key, const char* value);

 private:
  std::map<NS_ZKRunParamModuleLib::_CZKString, NS_ZKRunParamModuleLib::_CZKString, SecureKeyLess> m_secureValues;
};

// Starts folder + Tesselo1.exe (the folder ends in a backslash) with every
// pair as a run parameter; true when the library's launch succeeded.
bool LaunchUpdateWizard(const CString& folder, const StarterPairMap& pairs);
