// CZKRunParam and the global manager that keeps one store per object.
#include "zkrunparammodulelib/zkrunparam.h"

#include <new>

#include "zkrunparammodulelib/zkrunparamcodes.h"
#include "zkrunparammodulelib/zkrunparammodule.h"

namespace {

// Built ahead of the program's own globals, so that a global CZKRunParam
// finds it, and destroyed after them.
CZKRunParamModuleMan g_moduleMan __attribute__((init_priority(101)));

}  // namespace

CZKRunParamModuleMan& ZKRunParamModuleMan() { return g_moduleMan; }

// ---- CZKRunParam ----

CZKRunParam::CZKRunParam() { g_moduleMan.Register(this); }

CZKRunParam::~CZKRunParam() { g_moduleMan.Unregister(this); }

#if defined(ZK_RUNPARAM_RECEIVER)
int CZKRunParam::Load(const char* key, bool clearAfterLoad) { return g_moduleMan.Load(this, key, clearAfterLoad); }
#endif

int CZKRunParam::Execute(const char* programPath, int* launchResult, const char* key) {
  return g_moduleMan.Execute(this, programPath, launchResult, key);
}

int CZKRunParam::SetValue(const char* name, const char* value) { return g_moduleMan.SetValue(this, name, value); }

int CZKRunParam::RemoveValue(const char* name) { return g_moduleMan.RemoveValue(this, name); }

bool CZKRunParam::HasValue(const char* name) { return g_moduleMan.HasValue(this, name); }

const char* CZKRunParam::GetValue(const char* name) { return g_moduleMan.GetValue(this, name); }

// ---- CZKRunParamModuleMan ----

CZKRunParamModuleMan::~CZKRunParamModuleMan() { DeleteAllModules(); }

int CZKRunParamModuleMan::Register(const CZKRunParam* param) {
  if (!param) return ZK_RUNPARAM_INVALID;
  CZKRunParamModule* module = new (std::nothrow) CZKRunParamModule;
  if (!module) return ZK_RUNPARAM_OUT_OF_MEMORY;
  if (!modules.emplace(param, module).second) {
    delete module;
    return ZK_RUNPARAM_ALREADY_REGISTERED;
  }
  return 0;
}

int CZKRunParamModuleMan::Unregister(const CZKRunParam* param) {
  if (!param) return ZK_RUNPARAM_INVALID;
  auto found = modules.find(param);
  if (found == modules.end()) return ZK_RUNPARAM_NOT_REGISTERED;
  CZKRunParamModule* module = found->second;
  modules.erase(found);
  delete module;
  return 0;
}

int CZKRunParamModuleMan::FindModule(const CZKRunParam* param, CZKRunParamModule** module) {
  if (!param) return ZK_RUNPARAM_INVALID;
  auto found = modules.find(param);
  if (found == modules.end()) return ZK_RUNPARAM_NOT_REGISTERED;
  if (module) *module = found->second;
  return 0;
}

#if defined(ZK_RUNPARAM_RECEIVER)
int CZKRunParamModuleMan::Load(const CZKRunParam* param, const char* key, bool clearAfterLoad) {
  CZKRunParamModule* module = nullptr;
  int code = FindModule(param, &module);
  return code != 0 ? code : module->Load(key, clearAfterLoad);
}
#endif

bool CZKRunParamModuleMan::HasValue(const CZKRunParam* param, const char* name) {
  CZKRunParamModule* module = nullptr;
  return FindModule(param, &module) == 0 && module->HasValue(nullptr, name);
}

const char* CZKRunParamModuleMan::GetValue(const CZKRunParam* param, const char* name) {
  CZKRunParamModule* module = nullptr;
  return FindModule(param, &module) == 0 ? module->GetValue(nullptr, name) : nullptr;
}

int CZKRunParamModuleMan::SetValue(const CZKRunParam* param, const char* name, const char* value) {
  CZKRunParamModule* module = nullptr;
  int code = FindModule(param, &module);
  return code != 0 ? code : module->SetEntry(nullptr, name, value, false);
}

int CZKRunParamModuleMan::RemoveValue(const CZKRunParam* param, const char* name) {
  return SetValue(param, name, nullptr);
}

int CZKRunParamModuleMan::Execute(const CZKRunParam* param, const char* programPath, int* launchResult,
                                  const char* key) {
  CZKRunParamModule* module = nullptr;
  int code = FindModule(param, &module);
  return code != 0 ? code : module->Execute(programPath, launchResult, key);
}

void CZKRunParamModuleMan::DeleteAllModules() {
  for (auto& entry : modules) delete entry.second;
  modules.clear();
}
