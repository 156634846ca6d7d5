// Run parameters that a program hands to a program it starts, and the manager of their stores.
#pragma once

#include <map>

class CZKRunParamModule;

// A caller's run parameters; its address names its store in the global manager.
class CZKRunParam {
 public:
  CZKRunParam();
  virtual ~CZKRunParam();
  CZKRunParam(const CZKRunParam&) = delete;
  CZKRunParam& operator=(const CZKRunParam&) = delete;

#if defined(ZK_RUNPARAM_RECEIVER)
  // Replaces the parameters by those handed over (key NULL: command-line argument 1); 0 or a code.
  int Load(const char* key, bool clearAfterLoad);
#endif
  // Starts programPath with the parameters handed over (key NULL: generated); 0 or a code.
  int Execute(const char* programPath, int* launchResult, const char* key);
  // Sets name to value (NULL removes it); 0 or a code.
  int SetValue(const char* name, const char* value);
  // Removes name; 0 or a code.
  int RemoveValue(const char* name);
  // True when a parameter of that name exists.
  bool HasValue(const char* name);
  // The value of name, or NULL; valid until the parameter changes.
  const char* GetValue(const char* name);
};

// Maps each CZKRunParam to its store; one global instance.
class CZKRunParamModuleMan {
 public:
  CZKRunParamModuleMan() = default;
  virtual ~CZKRunParamModuleMan();
  CZKRunParamModuleMan(const CZKRunParamModuleMan&) = delete;
  CZKRunParamModuleMan& operator=(const CZKRunParamModuleMan&) = delete;

  // Gives param a store; 5001, 5002 or 5101 on failure.
  int Register(const CZKRunParam* param);
  // Deletes the store of param; 5001 or 5004 on failure.
  int Unregister(const CZKRunParam* param);
  // The store of param in *module; 5001 or 5004 on failure.
  int FindModule(const CZKRunParam* param, CZKRunParamModule** module);
#if defined(ZK_RUNPARAM_RECEIVER)
  int Load(const CZKRunParam* param, const char* key, bool clearAfterLoad);
#endif
  bool HasValue(const CZKRunParam* param, const char* name);
  const char* GetValue(const CZKRunParam* param, const char* name);
  int SetValue(const CZKRunParam* param, const char* name, const char* value);
  int RemoveValue(const CZKRunParam* param, const char* name);
  int Execute(const CZKRunParam* param, const char* programPath, int* launchResult, const char* key);
  // Deletes every store.
  void DeleteAllModules();

 private:
  std::map<const CZKRunParam*, CZKRunParamModule*> modules;
};

// The process's one manager, built before any other global object.
CZKRunParamModuleMan& ZKRunParamModuleMan();
