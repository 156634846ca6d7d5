// The Triple-DES module's plain functions over the shared single-DES core.
#include "zkrunparammodulelib/zktdescore.h"

#include <cstring>

#include "zkcrypt/descore.h"

unsigned TDESGetPaddedSize(unsigned n) { return (n & ~7u) + 8; }

unsigned TDESGetHexSize(unsigned n) { return 2 * TDESGetPaddedSize(n) + 1; }

unsigned TDESGetPlainSize(unsigned n) { return n; }

unsigned TDESGetPlainBufferSize(unsigned hexLen) { return TDESGetPlainSize(hexLen / 2) + 1; }

int TDESKeyFromText(const char* keyText, unsigned char key24[24]) {
  if (keyText == nullptr || key24 == nullptr) return TDES_CORE_NULL;
  size_t n = 0;
  while (n < 24 && keyText[n] != '\0') ++n;
  std::memcpy(key24, keyText, n);
  std::memset(key24 + n, ' ', 24 - n);
  return TDES_CORE_OK;
}

int TDESExpandKeys(const unsigned char key24[24], TDESSchedule schedules[3]) {
  if (key24 == nullptr || schedules == nullptr) return TDES_CORE_NULL;
  for (int i = 0; i < 3; ++i) {
    const int result = DESExpandKey(key24 + 8 * i, schedules[i]);
    if (result != TDES_CORE_OK) return result;
  }
  return TDES_CORE_OK;
}

int DESCheckWeakKey(const unsigned char key8[8]) {
  if (key8 == nullptr) return TDES_CORE_NULL;
  return zkcrypt::DesIsWeakKey(key8) ? TDES_CORE_WEAK : TDES_CORE_OK;
}

int DESExpandKey(const unsigned char key8[8], TDESSchedule schedule) {
  if (key8 == nullptr || schedule == nullptr) return TDES_CORE_NULL;
  const int result = DESCheckWeakKey(key8);
  if (result != TDES_CORE_OK) return result;
  zkcrypt::DesKeySchedule(key8, schedule);
  return TDES_CORE_OK;
}

int DESEncryptBlock(const TDESSchedule schedule, unsigned char block[8]) {
  if (schedule == nullptr || block == nullptr) return TDES_CORE_NULL;
  zkcrypt::DesEncryptBlock(schedule, block);
  return TDES_CORE_OK;
}

int DESDecryptBlock(const TDESSchedule schedule, unsigned char block[8]) {
  if (schedule == nullptr || block == nullptr) return TDES_CORE_NULL;
  zkcrypt::DesDecryptBlock(schedule, block);
  return TDES_CORE_OK;
}

int TDESEncryptEDE(const TDESSchedule schedules[3], unsigned char block[8]) {
  if (schedules == nullptr || block == nullptr) return TDES_CORE_NULL;
  zkcrypt::DesEde3EncryptBlock(schedules[0], schedules[1], schedules[2], block);
  return TDES_CORE_OK;
}

int TDESDecryptEDE(const TDESSchedule schedules[3], unsigned char block[8]) {
  if (schedules == nullptr || block == nullptr) return TDES_CORE_NULL;
  zkcrypt::DesEde3DecryptBlock(schedules[0], schedules[1], schedules[2], block);
  return TDES_CORE_OK;
}

void TDESCopyBlock(unsigned char* dst, const unsigned char* src) {
  if (dst != src) std::memmove(dst, src, 8);
}

int TDESXorBlock(unsigned char* out, const unsigned char* a, const unsigned char* b, unsigned n) {
  if (n > 8) return 1;
  for (unsigned i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(a[i] ^ b[i]);
  return 0;
}
