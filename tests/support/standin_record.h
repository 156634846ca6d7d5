// What the stand-ins of started programs write down: the run parameters they
// were asked about, in a record file that appears whole under its name.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "zkrunparammodulelib/zkrunparam.h"

namespace zktest {

// One "NAME:<name>=<value>" or "NAME:<name> <none>" line for each of the
// "|"-separated names, looked up in params.
inline std::string NamesRecord(CZKRunParam& params, const std::string& names) {
  std::string record;
  for (size_t start = 0; start < names.size();) {
    size_t end = names.find('|', start);
    if (end == std::string::npos) end = names.size();
    std::string name = names.substr(start, end - start);
    const char* value = params.GetValue(name.c_str());
    record += "NAME:" + name + (params.HasValue(name.c_str()) ? "=" + std::string(value ? value : "") : " <none>") + "\n";
    start = end + 1;
  }
  return record;
}

// Writes the record beside path and moves it there, so that a reader waiting
// for the file never sees half of it.
inline void WriteRecordWhole(const std::string& path, const std::string& record) {
  std::string partial = path + ".part";
  if (FILE* out = fopen(partial.c_str(), "wb")) {
    fwrite(record.data(), 1, record.size(), out);
    fclose(out);
    MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

}  // namespace zktest
