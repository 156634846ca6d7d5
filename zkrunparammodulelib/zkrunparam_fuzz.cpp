// Fuzz entry of the hand-over's receiving side: the payload parse, the %XX
// unescape and a whole Load through the environment seam.
//
// Input: a first byte picks the road (modulo 4), the rest is its text.
//   0  a payload: parsed, written back, parsed again, written back the same
//      (where the grammar allows).
//   1  a value: unescaped as a reference does, escaped again, unescaped back;
//      escaping into too little room writes nothing past it.
//   2  environment variables: the command line, ZKRunEnv_ENUM and the
//      pieces ZKRunEnv_DATA_1.. (fields split at '\n') read by Load.
//   3  a key and a payload: sent the sender's way, then loaded under the key; what Load
//      stores is what parsing the payload stores.
#include <algorithm>
#include <string>

#include "tests/support/fuzzsupport.h"
#include "zkrunparammodulelib/zkrunenv.h"
#include "zkrunparammodulelib/zkrunparamcodes.h"
#include "tests/support/fakerunenv.h"
#include "zkrunparammodulelib/zkrunparammodule.h"

namespace {

std::string WithoutNul(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  return text;
}

// The payload of a store, "" for none.
std::string Payload(CZKRunParamModule& module) {
  const int length = module.SerialisedLength();
  if (length == 0) return std::string();
  std::string payload(static_cast<size_t>(length) + 1, '\0');
  int written = -1;
  ZK_FUZZ_CHECK(module.Serialise(&payload[0], length + 1, &written) == 0);
  ZK_FUZZ_CHECK(written == length);
  payload.resize(static_cast<size_t>(written));
  return payload;
}

// A store's payload, received, gives the same store. The grammar can tell
// entries from group lines only in a store of one group whose entry names do
// not begin with "<<" (an entry <<x=>> reads as a group line), so other
// payloads are only received; and a group without a written entry leaves a
// bare group line at the end, which fails as it must.
void CheckSentOn(CZKRunParamModule& module) {
  const std::string payload = Payload(module);
  CZKRunParamModule again;
  const int code = again.Parse(payload.c_str());
  if (payload.find("<<", 1) != std::string::npos) return;
  if (payload.find("=>>;") + 4 == payload.size()) {
    ZK_FUZZ_CHECK(code == ZK_RUNPARAM_BAD_PAYLOAD);
    return;
  }
  ZK_FUZZ_CHECK(code == 0 && Payload(again) == payload);
}

void CheckPayload(const std::string& text) {
  CZKRunParamModule module;
  if (module.Parse(text.c_str()) == 0) CheckSentOn(module);
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(c | 0x20);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string ReferenceUnescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && Hex(text[i + 1]) >= 0 && Hex(text[i + 2]) >= 0) {
      out += static_cast<char>(Hex(text[i + 1]) * 16 + Hex(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string TextOf(const CZKRunParamModuleValue& value) { return value.GetText() ? value.GetText() : ""; }

void CheckUnescape(const std::string& text) {
  CZKRunParamModuleValue value(text.c_str(), true);
  const std::string decoded = TextOf(value);
  const std::string expected = ReferenceUnescape(text);
  // A decoded %00 ends the text there.
  ZK_FUZZ_CHECK(decoded == expected.substr(0, expected.find('\0')));

  CZKRunParamModuleValue plain(decoded.c_str(), false);
  const int escaped_length = plain.EscapedLength();
  if (escaped_length == 0) return;
  std::string escaped(static_cast<size_t>(escaped_length) + 1, '\0');
  ZK_FUZZ_CHECK(plain.WriteEscaped(&escaped[0], escaped_length + 1) == escaped_length);
  escaped.resize(static_cast<size_t>(escaped_length));
  ZK_FUZZ_CHECK(escaped.find_first_of("=;") == std::string::npos);
  CZKRunParamModuleValue back(escaped.c_str(), true);
  ZK_FUZZ_CHECK(TextOf(back) == decoded);

  const size_t small = escaped.size() % 7;
  zkfuzz::GuardedBuffer room(small);
  ZK_FUZZ_CHECK(plain.WriteEscaped(room.data(), static_cast<int>(small)) == 0);
  ZK_FUZZ_CHECK(room.UntouchedFrom(0));
}

void CheckEnvironmentLoad(zkfuzz::Input& input) {
  zktest::FakeRunEnv environment;
  environment.commandLine = WithoutNul(input.Field('\n'));
  environment.variables[ZK_RUNENV_ENUM] = WithoutNul(input.Field('\n'));
  for (int piece = 1; input.Left() > 0; ++piece) {
    environment.variables[std::string(ZK_RUNENV_DATA) + "_" + std::to_string(piece)] = WithoutNul(input.Field('\n'));
  }
  CZKRunParamModule module;
  if (module.Load(nullptr, true) != 0) return;
  ZK_FUZZ_CHECK(environment.variables.count(ZK_RUNENV_ENUM) == 0);
  CheckSentOn(module);
}

void CheckSentLoad(zkfuzz::Input& input) {
  const std::string key = WithoutNul(input.Field('\n'));
  const std::string text = WithoutNul(input.Rest());
  CZKRunParamModule parsed;
  const int parse_code = parsed.Parse(text.c_str());

  zktest::FakeRunEnv environment;
  CZKRunParamModule sender;
  if (key.empty() || text.empty() || sender.EncryptAndStore(key.c_str(), text.c_str(), static_cast<int>(text.size())) != 0) {
    return;
  }
  CZKRunParamModule receiver;
  const int load_code = receiver.Load(key.c_str(), true);
  ZK_FUZZ_CHECK(load_code == parse_code);
  if (load_code == 0) {
    ZK_FUZZ_CHECK(Payload(receiver) == Payload(parsed));
    // Nothing of the hand-over outlives a successful Load.
    ZK_FUZZ_CHECK(environment.RunEnv().empty());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zkfuzz::Input input(data, size);
  switch (input.Byte() % 4) {
    case 0:
      CheckPayload(WithoutNul(input.Rest()));
      break;
    case 1:
      CheckUnescape(WithoutNul(input.Rest()));
      break;
    case 2:
      CheckEnvironmentLoad(input);
      break;
    default:
      CheckSentLoad(input);
      break;
  }
  return 0;
}
