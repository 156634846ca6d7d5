// Tests of the hand-over over the in-memory system calls: variables, key, launch, bad payloads.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>

#include "zkrunparammodulelib/zkrunenv.h"
#include "zkrunparammodulelib/zkrunparam.h"
#include "zkrunparammodulelib/zkrunparamcodes.h"
#include "zkrunparammodulelib/zkrunparamfake_test.h"
#include "zkrunparammodulelib/zktdesmodule.h"

using NS_ZKRunParamModuleLib::_CZKString;
using zktest::FakeRunEnv;

namespace {

constexpr char kKey[] = "ZKKEY1234_0567";
// "<<" + default group + "=>>;" + "v=" + value + ";" is 38 characters and the value.
constexpr int kPayloadOverhead = 38;

std::string Encrypt(const std::string& plain, const char* key = kKey) {
  CZKTDESModule cipher;
  EXPECT_EQ(cipher.Init(key, TDES_MODE_CBC, TDES_PADDING_PKCS5), 0);
  std::string hex(TDESGetHexSize(plain.size()), '\0');
  int length = 0;
  EXPECT_EQ(cipher.EncryptToHex(plain.data(), static_cast<int>(plain.size()), &hex[0], static_cast<int>(hex.size()),
                                &length), 0);
  hex.resize(length);
  return hex;
}

// The hex text that a launched program received, joined from its DATA variables.
std::string ReceivedHex(const FakeRunEnv::Launch& launch) {
  std::string hex;
  std::string list = launch.environment.at("ZKRunEnv_ENUM");
  size_t at = 0;
  while (at <= list.size()) {
    size_t end = list.find('|', at);
    if (end == std::string::npos) end = list.size();
    hex += launch.environment.at(list.substr(at, end - at));
    at = end + 1;
  }
  return hex;
}

// Hands the launched program's environment to this process, as a child inherits it.
void BecomeReceiver(FakeRunEnv& fake, const FakeRunEnv::Launch& launch) {
  fake.variables = launch.environment;
  fake.commandLine = "\"C:\\x\\receiver.exe\" " + launch.parameters;
}

TEST(Execute, OneEntryReachesTheReceiverAndTheVariablesGo) {
  FakeRunEnv fake;
  fake.variables["Other"] = "kept";
  int launchResult = 0;
  {
    CZKRunParam sender;
    sender.SetValue("RunMode", "a=b;c%d");
    ASSERT_EQ(sender.Execute("C:\\Games\\receiver.exe", &launchResult, nullptr), 0);
  }
  EXPECT_EQ(launchResult, 42);
  ASSERT_EQ(fake.launches.size(), 1u);
  const FakeRunEnv::Launch& launch = fake.launches[0];
  EXPECT_EQ(launch.program, "C:\\Games\\receiver.exe");
  EXPECT_EQ(launch.directory, "C:\\Games\\");
  EXPECT_TRUE(std::regex_match(launch.parameters, std::regex("ZKKEY[0-9]{1,5}_[0-9]{4}"))) << launch.parameters;
  EXPECT_EQ(launch.environment.at("ZKRunEnv_ENUM"), "ZKRunEnv_DATA_1");
  EXPECT_EQ(launch.environment.at("ZKRunEnv_VER"), "0");
  EXPECT_EQ(ReceivedHex(launch),
            Encrypt("<<__defAult_sectIonNAMEbyBrumel=>>;RunMode=a%3db%3bc%25d;", launch.parameters.c_str()));
  EXPECT_TRUE(fake.RunEnv().empty());
  EXPECT_EQ(fake.variables.at("Other"), "kept");

  BecomeReceiver(fake, launch);
  CZKRunParam receiver;
  receiver.SetValue("Stale", "1");
  ASSERT_EQ(receiver.Load(nullptr, true), 0);
  EXPECT_STREQ(receiver.GetValue("runmode"), "a=b;c%d");
  EXPECT_FALSE(receiver.HasValue("Stale"));
  EXPECT_TRUE(fake.RunEnv().empty());
  EXPECT_EQ(fake.clipboardClears, 1);
}

TEST(Execute, SeveralGroupsRoundTrip) {
  FakeRunEnv fake;
  CZKRunParam receiver;
  // Groups only come from a payload: send one with three groups by hand.
  std::string hex = Encrypt("<<__defAult_sectIonNAMEbyBrumel=>>;A=1;<<Extra=>>;B=2;<<Zed=>>;C=%3b;");
  ASSERT_TRUE(StoreRunEnv(hex.c_str()));
  fake.commandLine = std::string("r.exe ") + kKey;
  ASSERT_EQ(receiver.Load(nullptr, false), 0);
  EXPECT_STREQ(receiver.GetValue("a"), "1");
  EXPECT_STREQ(receiver.GetValue("b"), "2");
  EXPECT_STREQ(receiver.GetValue("C"), ";");
  EXPECT_FALSE(fake.RunEnv().empty());  // no clearing asked for
  EXPECT_EQ(fake.clipboardClears, 0);

  // Sent on, the groups travel in the store's order.
  fake.launches.clear();
  ASSERT_EQ(receiver.Execute("next.exe", nullptr, kKey), 0);
  CZKTDESModule cipher;
  cipher.Init(kKey, TDES_MODE_CBC, TDES_PADDING_PKCS5);
  std::string sent = ReceivedHex(fake.launches.at(0));
  std::string plain(sent.size() / 2 + 1, '\0');
  int length = 0;
  ASSERT_EQ(cipher.DecryptFromHex(sent.c_str(), static_cast<int>(sent.size()), &plain[0],
                                  static_cast<int>(plain.size()), &length), 0);
  plain.resize(length);
  EXPECT_EQ(plain, "<<__defAult_sectIonNAMEbyBrumel=>>;A=1;<<Extra=>>;B=2;<<Zed=>>;C=%3b;");
}

TEST(StoreRunEnv, PiecesOf15360Characters) {
  struct Case {
    int payload;  // plain payload length
    size_t hexLength;
    const char* list;
    size_t lastPiece;
  } cases[] = {
      {7672, 15360, "ZKRunEnv_DATA_1", 15360},
      {7679, 15360, "ZKRunEnv_DATA_1", 15360},
      {7680, 15376, "ZKRunEnv_DATA_1|ZKRunEnv_DATA_2", 16},
      {23039, 46080, "ZKRunEnv_DATA_1|ZKRunEnv_DATA_2|ZKRunEnv_DATA_3", 15360},
  };
  for (const Case& c : cases) {
    FakeRunEnv fake;
    CZKRunParam sender;
    sender.SetValue("v", std::string(c.payload - kPayloadOverhead, 'x').c_str());
    ASSERT_EQ(sender.Execute("r.exe", nullptr, kKey), 0);
    const FakeRunEnv::Launch& launch = fake.launches.at(0);
    EXPECT_EQ(launch.environment.at("ZKRunEnv_ENUM"), c.list);
    std::string hex = ReceivedHex(launch);
    EXPECT_EQ(hex.size(), c.hexLength);
    std::string last = c.list;
    last = last.substr(last.rfind('|') + 1);
    EXPECT_EQ(launch.environment.at(last).size(), c.lastPiece);
    EXPECT_EQ(launch.directory, "");

    BecomeReceiver(fake, launch);
    CZKRunParam receiver;
    ASSERT_EQ(receiver.Load(nullptr, true), 0);
    EXPECT_EQ(std::string(receiver.GetValue("v")).size(), size_t(c.payload - kPayloadOverhead));
  }
}

TEST(Execute, EmptyStoreSendsNothing) {
  FakeRunEnv fake;
  // A hand-over left from earlier must not reach the program in place of nothing.
  ASSERT_TRUE(StoreRunEnv(Encrypt("a=1;").c_str()));
  CZKRunParam sender;
  ASSERT_EQ(sender.Execute("r.exe", nullptr, nullptr), 0);
  const FakeRunEnv::Launch& launch = fake.launches.at(0);
  EXPECT_TRUE(std::regex_match(launch.parameters, std::regex("ZKKEY[0-9]{1,5}_[0-9]{4}"))) << launch.parameters;
  EXPECT_EQ(launch.environment.count("ZKRunEnv_ENUM"), 0u);
  EXPECT_EQ(launch.environment.count("ZKRunEnv_DATA_1"), 0u);
  BecomeReceiver(fake, launch);
  CZKRunParam receiver;
  EXPECT_EQ(receiver.Load(nullptr, true), ZK_RUNPARAM_NO_PAYLOAD);
}

TEST(Execute, Failures) {
  FakeRunEnv fake;
  CZKRunParam sender;
  sender.SetValue("a", "1");
  EXPECT_EQ(sender.Execute(nullptr, nullptr, kKey), ZK_RUNPARAM_INVALID);
  EXPECT_TRUE(fake.launches.empty());

  // A weak DES key as the first eight characters.
  EXPECT_EQ(sender.Execute("r.exe", nullptr, "\x01\x01\x01\x01\x01\x01\x01\x01xyz"), ZK_RUNPARAM_CIPHER_INIT_FAILED);
  EXPECT_EQ(sender.Execute("r.exe", nullptr, ""), ZK_RUNPARAM_CIPHER_INIT_FAILED);
  EXPECT_TRUE(fake.launches.empty());

  fake.failSetCall = fake.setCalls + 2;  // after ClearRunEnv's two deletions, the first piece
  EXPECT_EQ(sender.Execute("r.exe", nullptr, kKey), ZK_RUNPARAM_ENV_NOT_SET);
  EXPECT_TRUE(fake.launches.empty());
  fake.failSetCall = -1;

  fake.launchSucceeds = false;
  int launchResult = 0;
  EXPECT_EQ(sender.Execute("r.exe", &launchResult, kKey), ZK_RUNPARAM_LAUNCH_FAILED);
  EXPECT_EQ(launchResult, 2);
  EXPECT_EQ(fake.launches.size(), 1u);
  EXPECT_TRUE(fake.RunEnv().empty());
}

TEST(ProgramDirectory, CutsTheFileName) {
  struct Case {
    const char* path;
    const char* directory;
  } cases[] = {
      {"C:\\Games\\Quillan1.exe", "C:\\Games\\"},
      {"Tesselo1.exe", ""},
      {"\"C:\\Program Files\\Q\\Quillan1.exe\"", "C:\\Program Files\\Q\\"},
      {"C:\\a\\b\\", "C:\\a\\b\\"},
      {"", ""},
  };
  for (const Case& c : cases) {
    _CZKString directory;
    ProgramDirectory(c.path, &directory);
    EXPECT_STREQ(directory.GetText(), c.directory) << c.path;
  }
  std::string longPath = "C:\\" + std::string(250, 'd') + "\\" + std::string(20, 'f') + "\\x.exe";
  _CZKString directory;
  ProgramDirectory(longPath.c_str(), &directory);
  EXPECT_EQ(std::string(directory.GetText()), longPath.substr(0, 254));  // the last backslash within 259
}

TEST(GetCommandLineKey, ArgumentOne) {
  struct Case {
    const char* line;
    const char* key;  // NULL: none
  } cases[] = {
      {"receiver.exe ZKKEY1_0002", "ZKKEY1_0002"},
      {"\"C:\\a b\\r.exe\" \"key with blank\" more", "key with blank"},
      {"r.exe    spaced   next", "spaced"},
      {"\"C:\\r.exe\"key", "key"},
      {"r.exe", nullptr},
      {"r.exe   ", nullptr},
      {"\"C:\\open quote", nullptr},
      {"", nullptr},
      {"r.exe \"unterminated key", "unterminated key"},
      {"r.exe\tkey", nullptr},
  };
  FakeRunEnv fake;
  for (const Case& c : cases) {
    fake.commandLine = c.line;
    const char* key = GetCommandLineKey();
    if (c.key) EXPECT_STREQ(key, c.key) << c.line;
    else EXPECT_EQ(key, nullptr) << c.line;
  }
}

TEST(Load, BadHandOvers) {
  std::string good = Encrypt("<<__defAult_sectIonNAMEbyBrumel=>>;a=1;");
  std::string damaged = good;
  damaged[good.size() - 3] = damaged[good.size() - 3] == '0' ? '1' : '0';
  std::string notHex = good;
  notHex[5] = 'g';
  struct Case {
    const char* what;
    std::map<std::string, std::string> variables;
    const char* key;
    int code;
  } cases[] = {
      {"nothing", {}, kKey, ZK_RUNPARAM_NO_PAYLOAD},
      {"empty list", {{"ZKRunEnv_ENUM", ""}}, kKey, ZK_RUNPARAM_NO_PAYLOAD},
      {"list of empty names", {{"ZKRunEnv_ENUM", "||"}}, kKey, ZK_RUNPARAM_NO_PAYLOAD},
      {"missing piece", {{"ZKRunEnv_ENUM", "ZKRunEnv_DATA_1"}}, kKey, ZK_RUNPARAM_NO_PAYLOAD},
      {"list too long", {{"ZKRunEnv_ENUM", std::string(15360, 'x')}, {"x", good}}, kKey, ZK_RUNPARAM_NO_PAYLOAD},
      {"wrong key", {{"ZKRunEnv_ENUM", "D"}, {"D", good}}, "ZKKEY9_9999", ZK_RUNPARAM_DECRYPT_FAILED},
      {"weak key", {{"ZKRunEnv_ENUM", "D"}, {"D", good}}, "\x01\x01\x01\x01\x01\x01\x01\x01", ZK_RUNPARAM_CIPHER_INIT_FAILED},
      {"damaged", {{"ZKRunEnv_ENUM", "D"}, {"D", damaged}}, kKey, ZK_RUNPARAM_DECRYPT_FAILED},
      {"truncated", {{"ZKRunEnv_ENUM", "D"}, {"D", good.substr(0, good.size() - 16)}}, kKey, ZK_RUNPARAM_DECRYPT_FAILED},
      {"cut mid-block", {{"ZKRunEnv_ENUM", "D"}, {"D", good.substr(0, good.size() - 5)}}, kKey, ZK_RUNPARAM_DECRYPT_FAILED},
      {"odd length", {{"ZKRunEnv_ENUM", "D"}, {"D", good + "a"}}, kKey, 0},
      {"one character", {{"ZKRunEnv_ENUM", "D"}, {"D", "a"}}, kKey, ZK_RUNPARAM_DECRYPT_FAILED},
      {"not hex", {{"ZKRunEnv_ENUM", "D"}, {"D", notHex}}, kKey, ZK_RUNPARAM_DECRYPT_FAILED},
      {"pieces out of order", {{"ZKRunEnv_ENUM", "B|A"}, {"A", good.substr(0, 32)}, {"B", good.substr(32)}}, kKey,
       ZK_RUNPARAM_DECRYPT_FAILED},
      {"no entry", {{"ZKRunEnv_ENUM", "D"}, {"D", Encrypt("<<G=>>;")}}, kKey, ZK_RUNPARAM_BAD_PAYLOAD},
      {"empty name", {{"ZKRunEnv_ENUM", "D"}, {"D", Encrypt("%20=1;")}}, kKey, ZK_RUNPARAM_INVALID},
  };
  for (const Case& c : cases) {
    FakeRunEnv fake;
    fake.variables = c.variables;
    CZKRunParam receiver;
    EXPECT_EQ(receiver.Load(c.key, true), c.code) << c.what;
    if (c.code != 0) {
      EXPECT_EQ(fake.clipboardClears, 0) << c.what;
    }
  }
}

TEST(Load, KeyFromTheCommandLine) {
  FakeRunEnv fake;
  CZKRunParam receiver;
  fake.commandLine = "receiver.exe";
  EXPECT_EQ(receiver.Load(nullptr, true), ZK_RUNPARAM_NO_KEY);
  fake.commandLine = "receiver.exe \"\"";
  EXPECT_EQ(receiver.Load(nullptr, true), ZK_RUNPARAM_NO_KEY);
  fake.commandLine = std::string("receiver.exe ") + kKey;
  EXPECT_EQ(receiver.Load(nullptr, true), ZK_RUNPARAM_NO_PAYLOAD);
}

TEST(Load, HugeOrRepeatedListsEndInCodes) {
  FakeRunEnv fake;
  std::string good = Encrypt("<<__defAult_sectIonNAMEbyBrumel=>>;a=1;");
  // Thousands of names in the list, each a real variable: the joined text is not one payload.
  std::string list;
  for (int i = 0; i < 1500; ++i) {
    std::string name = "V" + std::to_string(i);
    list += (i ? "|" : "") + name;
    fake.variables[name] = good;
  }
  ASSERT_LT(list.size(), 15360u);
  fake.variables["ZKRunEnv_ENUM"] = list;
  CZKRunParam receiver;
  // Each copy's last block still carries good padding, so the text decrypts
  // to garbage and pieces of the payload; it must end in a code of the parse.
  int code = receiver.Load(kKey, true);
  EXPECT_TRUE(code == 0 || code == ZK_RUNPARAM_BAD_PAYLOAD || code == ZK_RUNPARAM_INVALID) << code;

  // One variable named over and over.
  list.clear();
  for (int i = 0; i < 1000; ++i) list += (i ? "|" : "") + std::string("D");
  fake.variables["ZKRunEnv_ENUM"] = list;
  fake.variables["D"] = std::string(32000, 'a');
  EXPECT_EQ(receiver.Load(kKey, true), ZK_RUNPARAM_DECRYPT_FAILED);
}

TEST(ClearRunEnv, DeletesWhatTheListNames) {
  FakeRunEnv fake;
  fake.variables = {{"ZKRunEnv_ENUM", "A||B"}, {"ZKRunEnv_VER", "0"}, {"A", "1"}, {"B", "2"}, {"C", "3"}};
  EXPECT_TRUE(ClearRunEnv());
  EXPECT_EQ(fake.variables.size(), 1u);
  EXPECT_EQ(fake.variables.count("C"), 1u);
}

#if !defined(_WIN32)
// The wire format against an independent Triple-DES: OpenSSL decrypts what the sender stored.
TEST(Execute, OpenSslReadsTheStoredPayload) {
  // A skip would count as a pass: openssl is a dependency of the tests.
  ASSERT_EQ(system("openssl version >/dev/null 2>&1"), 0) << "openssl missing";
  FakeRunEnv fake;
  CZKRunParam sender;
  sender.SetValue("B", "2");
  sender.SetValue("a", "x;y");
  sender.SetValue("Long", std::string(9000, 'L').c_str());  // two pieces
  ASSERT_EQ(sender.Execute("r.exe", nullptr, nullptr), 0);
  const FakeRunEnv::Launch& launch = fake.launches.at(0);
  std::string key = launch.parameters;
  key.resize(24, ' ');
  char keyHex[49], ivHex[17];
  for (int i = 0; i < 24; ++i) snprintf(keyHex + 2 * i, 3, "%02x", static_cast<unsigned char>(key[i]));
  memcpy(ivHex, keyHex, 16);
  ivHex[16] = '\0';
  std::string hexFile = testing::TempDir() + "runparam_wire.hex";
  std::string outFile = testing::TempDir() + "runparam_wire.txt";
  std::ofstream(hexFile) << ReceivedHex(launch);
  std::string command = "xxd -r -p " + hexFile + " | openssl enc -d -des-ede3-cbc -K " + keyHex + " -iv " + ivHex +
                        " -out " + outFile;
  ASSERT_EQ(system(command.c_str()), 0) << command;
  std::ifstream in(outFile, std::ios::binary);
  std::string plain((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(plain, "<<__defAult_sectIonNAMEbyBrumel=>>;a=x%3by;B=2;Long=" + std::string(9000, 'L') + ";");
  remove(hexFile.c_str());
  remove(outFile.c_str());
}
#endif

}  // namespace

namespace {

// Damaged hand-overs from a fixed-seed generator: every one ends in a code, none in a crash.
TEST(Load, RandomDamageEndsInCodes) {
  std::string plain = "<<__defAult_sectIonNAMEbyBrumel=>>;a=1;b=x%3by;<<G=>>;c=2;";
  std::string good = Encrypt(plain);
  unsigned state = 12345;
  auto next = [&state]() { return state = state * 1103515245u + 12345u, (state >> 16) & 0x7fff; };
  const char digits[] = "0123456789abcdefXYZ|; ";
  for (int round = 0; round < 400; ++round) {
    std::string hex = good;
    switch (round % 4) {
      case 0: hex[next() % hex.size()] = digits[next() % (sizeof digits - 1)]; break;
      case 1: hex.resize(next() % hex.size()); break;
      case 2: hex.insert(next() % hex.size(), std::string(1 + next() % 20, digits[next() % 16])); break;
      default: hex = Encrypt(plain.substr(0, 1 + next() % plain.size())); break;
    }
    FakeRunEnv fake;
    fake.variables = {{"ZKRunEnv_ENUM", "ZKRunEnv_DATA_1"}, {"ZKRunEnv_DATA_1", hex}};
    CZKRunParam receiver;
    int code = receiver.Load(kKey, true);
    EXPECT_TRUE(code == 0 || code == ZK_RUNPARAM_NO_PAYLOAD || code == ZK_RUNPARAM_DECRYPT_FAILED ||
                code == ZK_RUNPARAM_BAD_PAYLOAD || code == ZK_RUNPARAM_INVALID)
        << code << " " << hex;
    if (code != 0) {
      EXPECT_FALSE(fake.RunEnv().empty());  // a failed load leaves the hand-over in place
    }
  }
}

// Wrong keys, from a seeded run of 4000, under which the padding of the
// decrypted garbage ended in a byte of at most 8 and the garbage parsed: each
// loaded a store of garbage with 0 while only the last padding byte was read.
TEST(Load, WrongKeysFailInTheDecryption) {
  const std::string good = Encrypt(
      "<<__defAult_sectIonNAMEbyBrumel=>>;AvatarURL=http://patch1.zkgames.test:30109/CorvaliseAvatar.htm;"
      "ProgName=Corvalise;RunMode=1;");
  const char* const wrongKeys[] = {
      "ZKKEY11072_5319", "ZKKEY25381_1345", "ZKKEY6768_5315", "ZKKEY17071_4390", "ZKKEY15817_7171",
      "ZKKEY4292_1008", "ZKKEY22040_6777", "ZKKEY16566_5368", "ZKKEY31738_9400", "ZKKEY13501_8463",
      "ZKKEY3273_7980", "ZKKEY9361_2945", "ZKKEY4170_7787", "ZKKEY25818_8682", "ZKKEY1366_0479",
      "ZKKEY2476_6484", "ZKKEY17152_4000", "ZKKEY25978_9140", "ZKKEY32112_6948", "ZKKEY30611_1740",
      "ZKKEY22649_5344", "ZKKEY24950_6802", "ZKKEY10230_4324", "ZKKEY9657_0403", "ZKKEY20677_9307",
      "ZKKEY7681_8317", "ZKKEY32517_2002", "ZKKEY6072_1267", "ZKKEY580_9766", "ZKKEY20028_3786",
      "ZKKEY21711_7033",
  };
  for (const char* key : wrongKeys) {
    FakeRunEnv fake;
    fake.variables = {{"ZKRunEnv_ENUM", "ZKRunEnv_DATA_1"}, {"ZKRunEnv_DATA_1", good}};
    CZKRunParam receiver;
    EXPECT_EQ(receiver.Load(key, true), ZK_RUNPARAM_DECRYPT_FAILED) << key;
    EXPECT_FALSE(fake.RunEnv().empty()) << key;  // the hand-over stays for the right receiver
  }
}

}  // namespace
