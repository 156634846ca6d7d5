// The hand-over of a store: the sender's Execute and the receiver's Load.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "zkrunparammodulelib/zkrunenv.h"
#include "zkrunparammodulelib/zkrunparamcodes.h"
#include "zkrunparammodulelib/zkrunparammodule.h"
#include "zkrunparammodulelib/zkrunparamtrace.h"
#include "zkrunparammodulelib/zktdesmodule.h"


using NS_ZKRunParamModuleLib::_CZKString;

namespace {

constexpr int kKeyRoom = 16;

struct FreeDeleter {
  void operator()(char* block) const { free(block); }
};
using HeapText = std::unique_ptr<char, FreeDeleter>;

HeapText Allocate(size_t size) { return HeapText(static_cast<char*>(malloc(size))); }

}  // namespace

int CZKRunParamModule::GetRunKey(const char** key, bool fromCommandLine) {
  if (!key) return ZK_RUNPARAM_INVALID;
  if (*key) return 0;
  if (fromCommandLine) {
    runKey.Assign(GetCommandLineKey());
    if (runKey.IsEmpty()) return ZK_RUNPARAM_NO_KEY;
    *key = runKey.GetText();
    return 0;
  }
  srand(static_cast<unsigned>(time(nullptr)));
  // The key keeps to 15 characters also where rand() reaches beyond 32767.
  int first = rand() & 0x7fff;
  int second = rand() & 0x7fff;
  runKey.Empty();
  char* room = runKey.GetBuffer(kKeyRoom);
  if (!room) return ZK_RUNPARAM_KEY_ROOM;
  snprintf(room, kKeyRoom, "ZKKEY%d_%04d", second, first % 10000);
  *key = runKey.GetText();
  return 0;
}

int CZKRunParamModule::EncryptAndStore(const char* key, const char* payload, int length) {
  if (!key || !payload || length <= 0) return ZK_RUNPARAM_INVALID;
  CZKTDESModule cipher;
  if (cipher.Init(key, TDES_MODE_CBC, TDES_PADDING_PKCS5) != 0) return ZK_RUNPARAM_CIPHER_INIT_FAILED;
  ZK_TRACE("---------------------------------------------\n");
  ZK_TRACE("Encrypt: %s\n", payload);
  unsigned hexSize = TDESGetHexSize(static_cast<unsigned>(length));
  HeapText hex = Allocate(hexSize);
  if (!hex || cipher.EncryptToHex(payload, length, hex.get(), static_cast<int>(hexSize), nullptr) != 0) {
    return ZK_RUNPARAM_ENCRYPT_FAILED;
  }
  ClearRunEnv();
  if (!StoreRunEnv(hex.get())) return ZK_RUNPARAM_ENV_NOT_SET;
  ZK_TRACE("New\t: %s\n", hex.get());
  return 0;
}

int CZKRunParamModule::Execute(const char* programPath, int* launchResult, const char* key) {
  if (!programPath) return ZK_RUNPARAM_INVALID;
  int code = GetRunKey(&key, false);
  if (code != 0) return code;

  int length = SerialisedLength();
  if (length == 0) {
    // An empty store sends nothing; no hand-over left over from earlier may go in its place.
    ClearRunEnv();
  } else {
    HeapText payload = Allocate(static_cast<size_t>(length) + 1);
    int written = 0;
    if (!payload) code = ZK_RUNPARAM_OUT_OF_MEMORY;
    else code = Serialise(payload.get(), length + 1, &written);
    if (code == 0) code = EncryptAndStore(key, payload.get(), written);
  }

  if (code == 0) {
    _CZKString directory;
    ProgramDirectory(programPath, &directory);
    int result = 0;
    bool started = ZKRunEnvCurrentCalls().launch(programPath, key, directory.GetText() ? directory.GetText() : "", &result);
    if (launchResult) *launchResult = result;
    if (!started) code = ZK_RUNPARAM_LAUNCH_FAILED;
  }
  // The variables exist only while the program is being started.
  ClearRunEnv();
  return code;
}

#if defined(ZK_RUNPARAM_RECEIVER)

int CZKRunParamModule::ReadAndDecrypt(const char* key, char* buffer, int size, int* outLength) {
  if (!key || !buffer || size <= 0) return ZK_RUNPARAM_INVALID;
  int hexSize = GetRunEnvSize() + 1;
  if (hexSize < 2) return ZK_RUNPARAM_NO_PAYLOAD;
  HeapText hex = Allocate(static_cast<size_t>(hexSize));
  int hexLength = 0;
  if (!hex || !ReadRunEnv(hex.get(), hexSize, &hexLength)) return ZK_RUNPARAM_PAYLOAD_UNREADABLE;
  CZKTDESModule cipher;
  if (cipher.Init(key, TDES_MODE_CBC, TDES_PADDING_PKCS5) != 0) return ZK_RUNPARAM_CIPHER_INIT_FAILED;
  if (static_cast<unsigned>(size) < TDESGetPlainBufferSize(static_cast<unsigned>(hexLength))) {
    return ZK_RUNPARAM_OUTPUT_TOO_SMALL;
  }
  int plainLength = 0;
  if (cipher.DecryptFromHex(hex.get(), hexLength, buffer, size, &plainLength) != 0) {
    return ZK_RUNPARAM_DECRYPT_FAILED;
  }
  if (outLength) *outLength = plainLength;
  return 0;
}

int CZKRunParamModule::Load(const char* key, bool clearAfterLoad) {
  int code = GetRunKey(&key, true);
  if (code != 0) return code;
  int size = GetRunEnvSize() / 2 + 1;
  if (size < 2) return ZK_RUNPARAM_NO_PAYLOAD;
  HeapText plain = Allocate(static_cast<size_t>(size) + 1);
  if (!plain) return ZK_RUNPARAM_OUT_OF_MEMORY;
  code = ReadAndDecrypt(key, plain.get(), size, nullptr);
  if (code != 0) return code;
  Clear();
  code = Parse(plain.get());
  if (code != 0) return code;
  if (clearAfterLoad) {
    ZKRunEnvCurrentCalls().clearClipboardFormat();
    ClearRunEnv();
  }
  return 0;
}

#endif
