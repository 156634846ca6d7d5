// The hand-over's environment variables and the command-line key, over replaceable system calls.
#include "zkrunparammodulelib/zkrunenv.h"

#include <cstdint>
#include <cstring>

#include "zkrunparammodulelib/zkrunparamcodes.h"

using NS_ZKRunParamModuleLib::_CZKString;

namespace {

// Reads a variable whole; false when it is missing or empty.
bool ReadVariable(const char* name, _CZKString* out) {
  ZKRunEnvCalls& calls = ZKRunEnvCurrentCalls();
  unsigned size = 256;
  for (int attempt = 0; attempt < 4; ++attempt) {
    char* room = out->GetBuffer(static_cast<int>(size));
    if (!room) return false;
    unsigned got = calls.getVariable(name, room, size + 1);
    if (got == 0) return false;
    if (got <= size) {
      room[got] = '\0';
      out->SetCachedLength(static_cast<int>(got));
      return true;
    }
    size = got;  // it may change between calls; try again with the size asked for
  }
  return false;
}

// Reads ZKRunEnv_ENUM as the receiver may: missing, empty or 15360 characters and more is no list.
bool ReadNameList(_CZKString* list) {
  char* room = list->GetBuffer(ZK_RUNENV_PIECE);
  if (!room) return false;
  unsigned got = ZKRunEnvCurrentCalls().getVariable(ZK_RUNENV_ENUM, room, ZK_RUNENV_PIECE);
  if (got == 0 || got >= ZK_RUNENV_PIECE) return false;
  room[got] = '\0';
  return true;
}

// Calls visit for each non-empty "|"-separated name of list (the text is cut in place).
template <typename Visit>
bool ForEachName(char* list, Visit visit) {
  char* at = list;
  while (*at) {
    char* end = strchr(at, '|');
    if (end) *end = '\0';
    if (*at && !visit(static_cast<const char*>(at))) return false;
    if (!end) break;
    at = end + 1;
  }
  return true;
}

}  // namespace

bool StoreRunEnv(const char* hexText) {
  if (!hexText) return false;
  ZKRunEnvCalls& calls = ZKRunEnvCurrentCalls();
  _CZKString list, name, piece;
  size_t left = strlen(hexText);
  const char* at = hexText;
  for (int k = 1; left > 0; ++k) {
    size_t length = left < size_t(ZK_RUNENV_PIECE) ? left : size_t(ZK_RUNENV_PIECE);
    char* room = piece.GetBuffer(static_cast<int>(length));
    if (!room || !name.Format("%s_%d", ZK_RUNENV_DATA, k)) return false;
    memcpy(room, at, length);
    room[length] = '\0';
    if (!calls.setVariable(name.GetText(), room)) return false;
    if (k > 1) list.Append("|");
    list.Append(name.GetText());
    at += length;
    left -= length;
  }
  if (!calls.setVariable(ZK_RUNENV_ENUM, list.GetText() ? list.GetText() : "")) return false;
  return calls.setVariable(ZK_RUNENV_VER, "0");
}

bool ClearRunEnv() {
  ZKRunEnvCalls& calls = ZKRunEnvCurrentCalls();
  // The whole list, however long, so that nothing named in it is left behind.
  _CZKString list;
  if (ReadVariable(ZK_RUNENV_ENUM, &list)) {
    ForEachName(list.GetAt(0), [&](const char* name) {
      calls.setVariable(name, nullptr);
      return true;
    });
  }
  bool version = calls.setVariable(ZK_RUNENV_VER, nullptr);
  bool names = calls.setVariable(ZK_RUNENV_ENUM, nullptr);
  return version && names;
}

int GetRunEnvSize() {
  _CZKString list;
  if (!ReadNameList(&list)) return 0;
  ZKRunEnvCalls& calls = ZKRunEnvCurrentCalls();
  int64_t total = 0;
  ForEachName(list.GetAt(0), [&](const char* name) {
    total += calls.getVariable(name, nullptr, 0);
    return true;
  });
  // No real hand-over comes near this; a list that adds up to more is not one.
  if (total > 0x3fffffff) return 0;
  return static_cast<int>(total);
}

bool ReadRunEnv(char* buffer, int size, int* outLength) {
  if (!buffer || size <= 0) return false;
  _CZKString list;
  if (!ReadNameList(&list)) return false;
  ZKRunEnvCalls& calls = ZKRunEnvCurrentCalls();
  int pos = 0;
  bool read = ForEachName(list.GetAt(0), [&](const char* name) {
    unsigned room = static_cast<unsigned>(size - pos);
    if (room == 0) return false;
    unsigned got = calls.getVariable(name, buffer + pos, room);
    if (got >= room) return false;
    pos += static_cast<int>(got);
    return true;
  });
  if (!read) return false;
  buffer[pos] = '\0';
  if (outLength) *outLength = pos;
  return true;
}

int FindCommandLineArgument(const char* commandLine, int index, _CZKString* out) {
  if (!out) return ZK_RUNPARAM_MISSING_TEXT;
  if (!commandLine) return ZK_RUNPARAM_NO_ARGUMENT;
  const char* at = commandLine;
  for (int i = 0;; ++i) {
    while (*at == ' ') ++at;
    if (*at == '\0') return ZK_RUNPARAM_NO_ARGUMENT;
    const char* start = at;
    char stop = ' ';
    if (*at == '"') {
      ++start;
      stop = '"';
    }
    const char* end = strchr(start, stop);
    bool last = end == nullptr;
    if (last) end = start + strlen(start);
    if (i == index) {
      char* room = out->GetBuffer(static_cast<int>(end - start));
      if (!room) return ZK_RUNPARAM_KEY_ROOM;
      memcpy(room, start, end - start);
      room[end - start] = '\0';
      out->SetCachedLength(static_cast<int>(end - start));
      return 0;
    }
    if (last) return ZK_RUNPARAM_NO_ARGUMENT;
    at = end + 1;
  }
}

const char* GetCommandLineKey() {
  static _CZKString key;
  key.Empty();
  if (FindCommandLineArgument(ZKRunEnvCurrentCalls().commandLine(), 1, &key) != 0) {
    key.Empty();
    return nullptr;
  }
  return key.GetText();
}

void ProgramDirectory(const char* programPath, _CZKString* out) {
  out->Empty();
  if (!programPath) return;
  size_t length = strnlen(programPath, 259);
  const char* cut = nullptr;
  for (const char* at = programPath; at < programPath + length; ++at) {
    if (*at == '\\') cut = at + 1;
  }
  const char* start = programPath;
  // A quoted program path: the folder is the one inside the quotes.
  if (*start == '"' && cut) ++start;
  size_t keep = cut ? static_cast<size_t>(cut - start) : 0;
  char* room = out->GetBuffer(static_cast<int>(keep));
  if (!room) return;
  memcpy(room, start, keep);
  room[keep] = '\0';
  out->SetCachedLength(static_cast<int>(keep));
}

ZKRunEnvCalls& ZKRunEnvCurrentCalls() {
  static ZKRunEnvCalls calls = ZKRunEnvPlatformCalls();
  return calls;
}
