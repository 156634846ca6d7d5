// The run-parameter store: groups, entries, %XX escaping, the payload writer and its parser.
#include "zkrunparammodulelib/zkrunparammodule.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "zkrunparammodulelib/zkrunparamcodes.h"
#include "zkrunparammodulelib/zkrunparamtrace.h"


using NS_ZKRunParamModuleLib::_CZKString;

namespace {

bool IsEscaped(char ch) { return ch == '%' || ch == '=' || ch == ';'; }

int HexValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

// Length of text once decoded: each "%" and two hex digits becomes one byte.
size_t DecodedLength(const char* text) {
  size_t length = 0;
  while (*text) {
    if (text[0] == '%' && HexValue(text[1]) >= 0 && HexValue(text[2]) >= 0) text += 3;
    else ++text;
    ++length;
  }
  return length;
}

void Decode(const char* text, char* out) {
  while (*text) {
    if (text[0] == '%' && HexValue(text[1]) >= 0 && HexValue(text[2]) >= 0) {
      *out++ = static_cast<char>(HexValue(text[1]) * 16 + HexValue(text[2]));
      text += 3;
    } else {
      *out++ = *text++;
    }
  }
  *out = '\0';
}

char* DuplicateText(const char* text) {
  size_t length = strlen(text) + 1;
  char* copy = static_cast<char*>(malloc(length));
  if (copy) memcpy(copy, text, length);
  return copy;
}

}  // namespace

int ZKCompareNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    int x = static_cast<unsigned char>(*a);
    int y = static_cast<unsigned char>(*b);
    if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
    if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
    if (x != y || x == 0) return x - y;
  }
}

bool CZKRunParamModuleKeyLess::operator()(const CZKRunParamModuleKey& a, const CZKRunParamModuleKey& b) const {
  bool less;
  if (a.text == b.text) less = false;
  else if (!a.text) less = true;
  else if (!b.text) less = false;
  else less = ZKCompareNoCase(a.text, b.text) < 0;
  ZK_TRACE("Compare %s %s\n", a.text, b.text);
  return less;
}

// ---- values and entries ----

CZKRunParamModuleValue::CZKRunParamModuleValue(const char* text, bool decode) { SetText(text, decode); }

bool CZKRunParamModuleValue::SetText(const char* text, bool decode) {
  escapedLengthValid = 0;
  if (!decode || !text) {
    Assign(text);
    return !text || GetText() != nullptr;
  }
  size_t length = DecodedLength(text);
  if (length >= INT32_MAX) return false;
  // An empty text decodes to no text at all: GetValue then reports NULL.
  if (length == 0) {
    Empty();
    return true;
  }
  // Decoded apart first: the text may be this value's own.
  _CZKString decoded;
  char* out = decoded.GetBuffer(static_cast<int>(length));
  if (!out) return false;
  Decode(text, out);
  TakeOver(&decoded);
  return true;
}

int CZKRunParamModuleValue::EscapedLength() {
  if (escapedLengthValid) return escapedLength;
  int length = 0;
  for (const char* text = GetText(); text && *text; ++text) length += IsEscaped(*text) ? 3 : 1;
  escapedLength = length;
  escapedLengthValid = 1;
  return length;
}

int CZKRunParamModuleValue::WriteEscaped(char* destination, int size) {
  if (!destination || IsEmpty() || EscapedLength() >= size) return 0;
  static const char kDigits[] = "0123456789abcdef";
  int written = 0;
  for (const char* text = GetText(); *text; ++text) {
    unsigned char ch = static_cast<unsigned char>(*text);
    if (IsEscaped(*text)) {
      destination[written++] = '%';
      destination[written++] = kDigits[ch >> 4];
      destination[written++] = kDigits[ch & 15];
    } else {
      destination[written++] = *text;
    }
  }
  return written;
}

CZKRunParamModuleData::CZKRunParamModuleData(const char* entryName, bool decode)
    : name(entryName, decode), value(nullptr, false) {
  name.Trim(' ');
}

bool CZKRunParamModuleData::IsIncomplete() const { return name.IsEmpty() || value.IsEmpty(); }

bool CZKRunParamModuleData::SetValueText(const char* text, bool decode) { return value.SetText(text, decode); }

// ---- the module ----

CZKRunParamModule::~CZKRunParamModule() { Clear(); }

const char* CZKRunParamModule::GroupOfName(const char* name) const {
  auto found = nameGroups.find(CZKRunParamModuleKey{name});
  if (found != nameGroups.end() && found->second) return found->second;
  return ZK_RUNPARAM_DEFAULT_GROUP;
}

bool CZKRunParamModule::RecordNameGroup(const char* name, const char* group) {
  if (!name) return true;
  char* groupCopy = DuplicateText(group);
  if (!groupCopy) return false;
  auto found = nameGroups.find(CZKRunParamModuleKey{name});
  if (found != nameGroups.end()) {
    free(found->second);
    found->second = groupCopy;
    return true;
  }
  char* nameCopy = DuplicateText(name);
  if (!nameCopy) {
    free(groupCopy);
    return false;
  }
  // A received payload decides how many names there are: a map node that
  // cannot be had is a failed entry, not an exception out of Load.
  try {
    nameGroups.emplace(CZKRunParamModuleKey{nameCopy}, groupCopy);
  } catch (const std::bad_alloc&) {
    free(nameCopy);
    free(groupCopy);
    return false;
  }
  return true;
}

CZKRunParamModule::EntryMap* CZKRunParamModule::FindGroup(const char* group, const char* name, bool create) {
  if (!group) group = GroupOfName(name);
  ZK_TRACE("FindGroup  %s %d\n", group, create ? 1 : 0);
  EntryMap* entries = nullptr;
  auto found = groups.find(CZKRunParamModuleKey{group});
  if (found != groups.end()) {
    if (!create || RecordNameGroup(name, group)) entries = &found->second->entries;
  } else {
    ZK_TRACE(" not found\n");
    if (create) {
      // The name record may hold the very text that group points at: copy first.
      Group* made = new (std::nothrow) Group;
      if (made) made->name.Assign(group);
      if (made && made->name.GetText() && RecordNameGroup(name, made->name.GetText()) && InsertGroup(made)) {
        entries = &made->entries;
        ZK_TRACE(" created\n");
      } else {
        delete made;
      }
    }
  }
  ZK_TRACE("  map : %08x\n", static_cast<unsigned>(reinterpret_cast<uintptr_t>(entries)));
  return entries;
}

CZKRunParamModuleData* CZKRunParamModule::FindEntry(EntryMap* entries, const char* name, bool trim) {
  if (!entries || !name) return nullptr;
  if (!trim) {
    auto found = entries->find(CZKRunParamModuleKey{name});
    return found == entries->end() ? nullptr : found->second;
  }
  _CZKString trimmed(name);
  if (!trimmed.GetText()) return nullptr;
  trimmed.Trim(' ');
  auto found = entries->find(CZKRunParamModuleKey{trimmed.GetText()});
  return found == entries->end() ? nullptr : found->second;
}

CZKRunParamModuleData* CZKRunParamModule::LookupEntry(const char* group, const char* name, bool trim) {
  return FindEntry(FindGroup(group, name, false), name, trim);
}

int CZKRunParamModule::SetEntry(const char* group, const char* name, const char* value, bool decode) {
  EntryMap* entries = FindGroup(group, name, true);
  if (!entries) return ZK_RUNPARAM_NO_GROUP;
  CZKRunParamModuleValue trimmed(name, decode);
  trimmed.Trim(' ');
  if (trimmed.IsEmpty()) return ZK_RUNPARAM_INVALID;
  auto found = entries->find(CZKRunParamModuleKey{trimmed.GetText()});
  if (!value) {
    if (found != entries->end()) {
      CZKRunParamModuleData* entry = found->second;
      entries->erase(found);
      delete entry;
    }
    return 0;
  }
  if (found != entries->end()) {
    return found->second->SetValueText(value, decode) ? 0 : ZK_RUNPARAM_VALUE_NOT_STORED;
  }
  CZKRunParamModuleData* entry = new (std::nothrow) CZKRunParamModuleData(trimmed.GetText(), false);
  if (!entry || entry->name.IsEmpty()) {
    delete entry;
    return ZK_RUNPARAM_ENTRY_NOT_ALLOCATED;
  }
  if (!entry->SetValueText(value, decode)) {
    delete entry;
    return ZK_RUNPARAM_VALUE_NOT_STORED;
  }
  if (!InsertEntry(entries, entry)) {
    delete entry;
    return ZK_RUNPARAM_ENTRY_NOT_INSERTED;
  }
  return 0;
}

bool CZKRunParamModule::InsertEntry(EntryMap* entries, CZKRunParamModuleData* entry) {
  if (!entries || !entry || entry->name.IsEmpty()) return false;
  try {
    return entries->emplace(CZKRunParamModuleKey{entry->name.GetText()}, entry).second;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool CZKRunParamModule::InsertGroup(Group* group) {
  try {
    return groups.emplace(CZKRunParamModuleKey{group->name.GetText()}, group).second;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool CZKRunParamModule::HasValue(const char* group, const char* name) {
  return LookupEntry(group, name, true) != nullptr;
}

const char* CZKRunParamModule::GetValue(const char* group, const char* name) {
  CZKRunParamModuleData* entry = LookupEntry(group, name, true);
  return entry ? entry->value.GetText() : nullptr;
}

void CZKRunParamModule::Clear() {
  for (auto& group : groups) {
    for (auto& entry : group.second->entries) delete entry.second;
    delete group.second;
  }
  groups.clear();
  for (auto& record : nameGroups) {
    free(const_cast<char*>(record.first.text));
    free(record.second);
  }
  nameGroups.clear();
}

// ---- the payload ----

namespace {

constexpr char kGroupOpen[] = "<<";
constexpr char kGroupClose[] = "=>>;";

}  // namespace

int CZKRunParamModule::SerialisedLength() {
  int64_t length = 0;
  for (auto& group : groups) {
    length += (sizeof kGroupOpen - 1) + strlen(group.first.text) + (sizeof kGroupClose - 1);
    for (auto& entry : group.second->entries) {
      CZKRunParamModuleData* data = entry.second;
      if (data->IsIncomplete()) continue;
      length += data->name.EscapedLength() + 1 + data->value.EscapedLength() + 1;
    }
  }
  // Values are capped by their callers far below this; a store that large cannot be sent.
  return length < INT32_MAX ? static_cast<int>(length) : INT32_MAX - 1;
}

int CZKRunParamModule::Serialise(char* buffer, int size, int* outLength) {
  if (!buffer || size <= 0) return ZK_RUNPARAM_PAYLOAD_FULL;
  int pos = 0;
  auto put = [&](const char* text) {
    size_t length = strlen(text);
    if (length >= static_cast<size_t>(size - pos)) return false;
    memcpy(buffer + pos, text, length);
    pos += static_cast<int>(length);
    return true;
  };
  for (auto& group : groups) {
    if (!put(kGroupOpen) || !put(group.first.text) || !put(kGroupClose)) return ZK_RUNPARAM_PAYLOAD_FULL;
    for (auto& entry : group.second->entries) {
      CZKRunParamModuleData* data = entry.second;
      if (data->IsIncomplete()) continue;
      int written = data->name.WriteEscaped(buffer + pos, size - pos);
      if (written == 0) return ZK_RUNPARAM_ENTRY_NOT_WRITTEN;
      pos += written;
      if (!put("=")) return ZK_RUNPARAM_PAYLOAD_FULL;
      written = data->value.WriteEscaped(buffer + pos, size - pos);
      if (written == 0) return ZK_RUNPARAM_ENTRY_NOT_WRITTEN;
      pos += written;
      if (!put(";")) return ZK_RUNPARAM_PAYLOAD_FULL;
    }
  }
  buffer[pos] = '\0';
  if (outLength) *outLength = pos;
  return 0;
}

int CZKRunParamModule::Parse(const char* text) {
  _CZKString group;  // none until the first group line
  const char* at = text;
  for (;;) {
    while (*at == ' ') ++at;
    if (*at == '\0') return 0;
    if (at[0] == '<' && at[1] == '<') {
      const char* close = strstr(at + 2, kGroupClose);
      if (!close) return ZK_RUNPARAM_BAD_PAYLOAD;
      _CZKString name;
      char* room = name.GetBuffer(static_cast<int>(close - (at + 2)));
      if (!room) return ZK_RUNPARAM_OUT_OF_MEMORY;
      memcpy(room, at + 2, close - (at + 2));
      room[close - (at + 2)] = '\0';
      group.TakeOver(&name);
      at = close + (sizeof kGroupClose - 1);
    }
    const char* equals = strchr(at, '=');
    if (!equals) return ZK_RUNPARAM_BAD_PAYLOAD;
    const char* valueStart = equals + 1;
    const char* semicolon = strchr(valueStart, ';');
    const char* valueEnd = semicolon ? semicolon : valueStart + strlen(valueStart);

    _CZKString name, value;
    char* nameRoom = name.GetBuffer(static_cast<int>(equals - at));
    char* valueRoom = value.GetBuffer(static_cast<int>(valueEnd - valueStart));
    if (!nameRoom || !valueRoom) return ZK_RUNPARAM_OUT_OF_MEMORY;
    memcpy(nameRoom, at, equals - at);
    nameRoom[equals - at] = '\0';
    memcpy(valueRoom, valueStart, valueEnd - valueStart);
    valueRoom[valueEnd - valueStart] = '\0';

    int code = SetEntry(group.GetText(), name.GetText(), value.GetText(), true);
    if (code != 0) return code;
    if (!semicolon) return 0;
    at = semicolon + 1;
  }
}
