// The store of one CZKRunParam: named groups of name/value entries, looked up ignoring case.
#pragma once

#include <map>

#include "zkrunparammodulelib/zkstring.h"

// Name of the group that holds every entry that was not read into another group.
#define ZK_RUNPARAM_DEFAULT_GROUP "__defAult_sectIonNAMEbyBrumel"

// A borrowed pointer to a NUL-terminated text, the key of the store's maps.
struct CZKRunParamModuleKey {
  const char* text;
};

// Orders keys: equal pointers are equal, NULL before any text, else by the
// texts compared ignoring ASCII letter case.
struct CZKRunParamModuleKeyLess {
  bool operator()(const CZKRunParamModuleKey& a, const CZKRunParamModuleKey& b) const;
};

// Compares two texts ignoring ASCII letter case, as the C runtime's _stricmp does.
int ZKCompareNoCase(const char* a, const char* b);

// A text of the store with its %XX-escaped length cached.
class CZKRunParamModuleValue : public NS_ZKRunParamModuleLib::_CZKString {
 public:
  CZKRunParamModuleValue(const char* text, bool decode);
  virtual ~CZKRunParamModuleValue() = default;

  // Sets the text, %XX-decoded when decode is set and text is not NULL; false when memory runs out.
  bool SetText(const char* text, bool decode);
  // The length of the escaped form of the text.
  int EscapedLength();
  // Writes the escaped text (no NUL); the count written, 0 when it does not fit in size - 1.
  int WriteEscaped(char* destination, int size);

 private:
  int escapedLength = 0;
  int escapedLengthValid = 0;
};

// One entry: a name, trimmed of blanks, and its value.
class CZKRunParamModuleData {
 public:
  CZKRunParamModuleData(const char* name, bool decode);
  // True when the name or the value is empty.
  bool IsIncomplete() const;
  // Sets the value, %XX-decoded when decode is set.
  bool SetValueText(const char* text, bool decode);

  CZKRunParamModuleValue name;
  CZKRunParamModuleValue value;
};

// The store: groups of entries and, for each name ever set, its last group.
class CZKRunParamModule {
 public:
  using EntryMap = std::map<CZKRunParamModuleKey, CZKRunParamModuleData*, CZKRunParamModuleKeyLess>;

  CZKRunParamModule() = default;
  ~CZKRunParamModule();
  CZKRunParamModule(const CZKRunParamModule&) = delete;
  CZKRunParamModule& operator=(const CZKRunParamModule&) = delete;

  // The group in which name was last set, else the default group.
  const char* GroupOfName(const char* name) const;
  // The entries of group (NULL: that of name); created when create is set; NULL when missing.
  EntryMap* FindGroup(const char* group, const char* name, bool create);
  // The entry of name in entries, the name first trimmed of blanks when trim is set.
  CZKRunParamModuleData* FindEntry(EntryMap* entries, const char* name, bool trim);
  // FindGroup without creating, then FindEntry.
  CZKRunParamModuleData* LookupEntry(const char* group, const char* name, bool trim);
  // Sets (value not NULL) or removes an entry; 0 or a library code.
  int SetEntry(const char* group, const char* name, const char* value, bool decode);
  // Adds entry under its name; false for an empty name or a name already present.
  bool InsertEntry(EntryMap* entries, CZKRunParamModuleData* entry);
  bool HasValue(const char* group, const char* name);
  const char* GetValue(const char* group, const char* name);
  // Deletes every entry, group and name record.
  void Clear();

  // The exact length of the serialised payload; 0 when there is no group.
  int SerialisedLength();
  // Writes the payload and a NUL into buffer; 0, 5107 or 5108.
  int Serialise(char* buffer, int size, int* outLength);
  // Reads a received payload into the store; 0 or the code that stopped it.
  int Parse(const char* text);

  // Sends the store to a program that it starts (generating a key when key is NULL); 0 or a code.
  int Execute(const char* programPath, int* launchResult, const char* key);
  // Points *key at the key to use: the given one, else one generated (sender) or
  // read from the command line (receiver); 0, 3203 or 5006.
  int GetRunKey(const char** key, bool fromCommandLine);
  // Encrypts the payload under key and stores its hex text in the environment; 0 or a code.
  int EncryptAndStore(const char* key, const char* payload, int length);
#if defined(ZK_RUNPARAM_RECEIVER)
  // Replaces the store by the hand-over in the environment (key NULL: from the command line).
  int Load(const char* key, bool clearAfterLoad);
  // Reads the hand-over's hex text and decrypts it into buffer (NUL-terminated); 0 or a code.
  int ReadAndDecrypt(const char* key, char* buffer, int size, int* outLength);
#endif

  // The run-parameter key that the module generated or read.
  NS_ZKRunParamModuleLib::_CZKString runKey;

 private:
  // A group owns its name text, so the group's key stays valid whatever
  // becomes of the name records.
  struct Group {
    NS_ZKRunParamModuleLib::_CZKString name;
    EntryMap entries;
  };
  using GroupMap = std::map<CZKRunParamModuleKey, Group*, CZKRunParamModuleKeyLess>;
  using NameGroupMap = std::map<CZKRunParamModuleKey, char*, CZKRunParamModuleKeyLess>;

  bool RecordNameGroup(const char* name, const char* group);
  // Adds a made group to groups; false when its map node cannot be had.
  bool InsertGroup(Group* group);

  GroupMap groups;
  NameGroupMap nameGroups;
};
