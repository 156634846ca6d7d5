// The receiving side under a shortage of memory: with every allocation from
// the n-th on refused, the hand-over's Load and the clipboard reader end in
// their codes, never in an exception, and leave nothing behind. This program
// replaces the global operator new to refuse allocations on request.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "zkrunparammodulelib/zkcbdata.h"
#include "zkrunparammodulelib/zkrunparam.h"
#include "tests/support/fakerunenv.h"
#include "zkrunparammodulelib/zktdesmodule.h"

namespace {

bool g_refusing = false;
long g_allowed = 0;

// Refuses every allocation after the next `allowed` ones, until Allow().
void RefuseAfter(long allowed) {
  g_allowed = allowed;
  g_refusing = true;
}
void Allow() { g_refusing = false; }

}  // namespace

void* operator new(std::size_t size) {
  if (g_refusing && g_allowed-- <= 0) throw std::bad_alloc();
  void* block = std::malloc(size ? size : 1);
  if (!block) throw std::bad_alloc();
  return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& nothrow) noexcept { return operator new(size, nothrow); }
// Every block above comes from malloc, so free is its match; the compiler
// cannot see that through the replaced operator new.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

using zktest::FakeRunEnv;

constexpr char kKey[] = "ZKKEY1234_0567";

std::string Encrypt(const std::string& plain) {
  CZKTDESModule cipher;
  EXPECT_EQ(cipher.Init(kKey, TDES_MODE_CBC, TDES_PADDING_PKCS5), 0);
  std::string hex(TDESGetHexSize(plain.size()), '\0');
  int length = 0;
  EXPECT_EQ(cipher.EncryptToHex(plain.data(), static_cast<int>(plain.size()), &hex[0], static_cast<int>(hex.size()),
                                &length),
            0);
  hex.resize(length);
  return hex;
}

TEST(NoMemory, LoadEndsInACodeAtEveryRefusedAllocation) {
  // Groups, names recorded in other groups and several entries each, so that
  // every map of the store has to grow.
  std::string plain = "<<__defAult_sectIonNAMEbyBrumel=>>;";
  for (int i = 0; i < 6; ++i) plain += "Name" + std::to_string(i) + "=value" + std::to_string(i) + ";";
  plain += "<<Second=>>;";
  for (int i = 0; i < 6; ++i) plain += "Other" + std::to_string(i) + "=x%3by" + std::to_string(i) + ";";
  const std::string hex = Encrypt(plain);

  bool loaded = false;
  for (long allowed = 0; allowed < 100000 && !loaded; ++allowed) {
    SCOPED_TRACE(allowed);
    FakeRunEnv fake;
    fake.variables = {{"ZKRunEnv_ENUM", "ZKRunEnv_DATA_1"}, {"ZKRunEnv_DATA_1", hex}};
    CZKRunParam receiver;
    int code = -1;
    bool thrown = false;
    RefuseAfter(allowed);
    try {
      code = receiver.Load(kKey, true);
    } catch (...) {
      thrown = true;
    }
    Allow();
    ASSERT_FALSE(thrown) << "an exception left Load";
    if (code == 0) {
      loaded = true;
      EXPECT_STREQ(receiver.GetValue("Name5"), "value5");
      EXPECT_STREQ(receiver.GetValue("Other5"), "x;y5");
    } else {
      EXPECT_FALSE(fake.RunEnv().empty()) << "a failed load leaves the hand-over in place";
    }
  }
  EXPECT_TRUE(loaded);
}

// "Hello, clipboard" under the key text "passphrase" (see zkcbdata_test.cpp).
const char kHello[] = "934a2cf54449144b008ace0c44a07b27";
std::string g_block;

CBClipboardCalls ClipboardOf() {
  return CBClipboardCalls{
      [](const char*) { return 0xc123u; },
      [] { return true; },
      [](unsigned) -> void* { return &g_block; },
      [](void*, size_t* size) -> const char* {
        *size = g_block.size();
        return g_block.data();
      },
      [](void*) {},
      [](unsigned) {},
      [] {},
  };
}

TEST(NoMemory, TheClipboardIsReadWithoutAllocating) {
  // A block of a thousand segments, without a NUL, as another program may write it.
  g_block.clear();
  for (int i = 0; i < 1000; ++i) g_block += std::string(i ? "|" : "") + kHello;
  static char out[16001];
  ScopedCBClipboardCalls clipboard(ClipboardOf());
  RefuseAfter(0);
  int code = -1;
  bool thrown = false;
  try {
    code = ReadCBDataEx(out, sizeof out, "passphrase", true);
  } catch (...) {
    thrown = true;
  }
  Allow();
  ASSERT_FALSE(thrown);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(std::strlen(out), 16000u);
  EXPECT_EQ(std::string(out, 16), "Hello, clipboard");
}

}  // namespace
