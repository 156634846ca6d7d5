// Triple-DES algorithm classes and the module facade.
#include "zkrunparammodulelib/zktdesmodule.h"

#include <new>

int CZKTDESAlgorithm::SetKey(const char* keyText, int padding) {
  if (m_keyed) return TDES_ALREADY_KEYED;
  int result = TDESKeyFromText(keyText, m_key);
  if (result != TDES_CORE_OK) return result;
  result = TDESExpandKeys(m_key, m_schedules);
  if (result != TDES_CORE_OK) return result;
  m_keyed = 1;
  m_padding = padding == TDES_PADDING_PKCS5 ? 1 : 0;
  if (m_ivFromKey) TDESCopyBlock(m_iv, m_key);
  return TDES_OK;
}

int CZKTDESAlgorithm::EncryptRaw(unsigned char* block) {
  if (!m_keyed) return TDES_NOT_READY;
  return TDESEncryptEDE(m_schedules, block);
}

int CZKTDESAlgorithm::DecryptRaw(unsigned char* block) {
  if (!m_keyed) return TDES_NOT_READY;
  return TDESDecryptEDE(m_schedules, block);
}

int CZKTDESAlgorithm::EncryptData(IZKTDESBufferInput* input, IZKTDESBufferOutput* output) {
  if (!m_keyed) return TDES_NOT_READY;
  if (input == nullptr || output == nullptr) return TDES_NULL_ARGUMENT;
  if (input->IsEmpty()) return TDES_NO_INPUT;
  if (input->GetRemainingBytes() > output->GetRemainingBytes()) return TDES_OUTPUT_TOO_SMALL;
  const unsigned char* chain = m_iv;
  while (input->HasFullBlock()) {
    unsigned char* in = nullptr;
    unsigned char* out = nullptr;
    int result = input->GetBlock(&in);
    if (result == TDES_OK) result = output->GetBlock(&out);
    if (result == TDES_OK) result = EncryptBlock(out, in, chain);
    if (result == TDES_OK) result = input->ReleaseBlock(in);
    if (result == TDES_OK) result = output->ReleaseBlock(out);
    if (result != TDES_OK) return result;
    chain = out;
  }
  unsigned char* tail = nullptr;
  int length = 0;
  int result = input->GetLastBlock(&tail, &length);
  if (result != TDES_OK) return result;
  if (length > 8 || length < 0) return TDES_NOT_WHOLE_BLOCKS;
  if (!m_padding) return length != 0 ? TDES_NOT_WHOLE_BLOCKS : TDES_OK;
  if (length != 0 && tail == nullptr) return TDES_NO_TAIL;
  unsigned char* out = nullptr;
  result = output->GetBlock(&out);
  if (result != TDES_OK) return result;
  // PKCS#5: a length that is a multiple of 8 gets a whole block of 0x08.
  for (int i = 0; i < 8; ++i) out[i] = i < length ? tail[i] : static_cast<unsigned char>(8 - length);
  result = EncryptBlock(out, out, chain);
  if (result != TDES_OK) return result;
  return output->ReleaseBlock(out);
}

int CZKTDESAlgorithm::DecryptData(IZKTDESBufferInput* input, IZKTDESBufferOutput* output) {
  if (!m_keyed) return TDES_NOT_READY;
  if (input == nullptr || output == nullptr) return TDES_NULL_ARGUMENT;
  if (input->IsEmpty()) return TDES_NO_INPUT;
  if (input->GetRemainingBytes() > output->GetRemainingBytes()) return TDES_OUTPUT_TOO_SMALL;
  const unsigned char* chain = m_iv;
  while (input->GetRemainingBytes() > 8) {
    unsigned char* in = nullptr;
    unsigned char* out = nullptr;
    int result = input->GetBlock(&in);
    if (result == TDES_OK) result = output->GetBlock(&out);
    if (result == TDES_OK) result = DecryptBlock(out, in, chain);
    if (result == TDES_OK) result = input->ReleaseBlock(in);
    if (result == TDES_OK) result = output->ReleaseBlock(out);
    if (result != TDES_OK) return result;
    // The previous ciphertext block stays intact: in the input's memory, or
    // in the staging block that the next block does not use.
    chain = in;
  }
  unsigned char* in = nullptr;
  int result = input->GetBlock(&in);
  if (result != TDES_OK) return result;
  unsigned char last[8];
  result = DecryptBlock(last, in, chain);
  if (result != TDES_OK) return result;
  int keep = 8;
  if (m_padding) {
    // Every padding byte is checked, as PKCS#5 writes them: a correct sender
    // always writes 1 to 8 bytes of that value, while a block decrypted under
    // a wrong key ends in a byte of at most 8 once in 28 tries, and taking
    // that byte alone let such garbage through.
    const int pad = last[7];
    if (pad < 1 || pad > 8) return TDES_BAD_PADDING;
    for (int i = 8 - pad; i < 7; ++i) {
      if (last[i] != pad) return TDES_BAD_PADDING;
    }
    keep = 8 - pad;
  }
  result = output->Write(last, keep);
  if (result != TDES_OK) return result;
  return input->ReleaseBlock(in);
}

int CZKTDESAlgorithm_ECB::EncryptBlock(unsigned char* out, const unsigned char* in, const unsigned char*) {
  if (!IsKeyed()) return TDES_NOT_READY;
  if (out == nullptr || in == nullptr) return TDES_NULL_ARGUMENT;
  TDESCopyBlock(out, in);
  return EncryptRaw(out);
}

int CZKTDESAlgorithm_ECB::DecryptBlock(unsigned char* out, const unsigned char* in, const unsigned char*) {
  if (!IsKeyed()) return TDES_NOT_READY;
  if (out == nullptr || in == nullptr) return TDES_NULL_ARGUMENT;
  TDESCopyBlock(out, in);
  return DecryptRaw(out);
}

int CZKTDESAlgorithm_CBC::EncryptBlock(unsigned char* out, const unsigned char* in, const unsigned char* chain) {
  if (!IsKeyed()) return TDES_NOT_READY;
  if (out == nullptr || in == nullptr || chain == nullptr) return TDES_NULL_ARGUMENT;
  TDESXorBlock(out, in, chain, 8);
  return EncryptRaw(out);
}

int CZKTDESAlgorithm_CBC::DecryptBlock(unsigned char* out, const unsigned char* in, const unsigned char* chain) {
  if (!IsKeyed()) return TDES_NOT_READY;
  if (out == nullptr || in == nullptr || chain == nullptr) return TDES_NULL_ARGUMENT;
  // When out is the chain block itself the chain would be lost: work on a copy.
  unsigned char block[8];
  TDESCopyBlock(block, in);
  const int result = DecryptRaw(block);
  if (result != TDES_OK) return result;
  TDESXorBlock(out, block, chain, 8);
  return TDES_OK;
}

int CZKTDESModule::Init(const char* keyText, int mode, int padding) {
  if (IsReady()) return TDES_ALREADY_KEYED;
  Release();
  if (keyText == nullptr || keyText[0] == '\0') return TDES_NULL_ARGUMENT;
  if (mode == TDES_MODE_ECB) {
    m_algorithm.reset(new (std::nothrow) CZKTDESAlgorithm_ECB);
  } else if (mode == TDES_MODE_CBC) {
    m_algorithm.reset(new (std::nothrow) CZKTDESAlgorithm_CBC);
  } else {
    return TDES_BAD_MODE;
  }
  if (m_algorithm == nullptr) return TDES_NO_MEMORY;
  return m_algorithm->SetKey(keyText, padding);
}

int CZKTDESModule::Process(bool encrypt, IZKTDESBufferInput* input, IZKTDESBufferOutput* output, int* outLen) {
  if (!IsReady()) return TDES_NOT_READY;
  if (input == nullptr || output == nullptr) return TDES_NULL_ARGUMENT;
  const int result = encrypt ? m_algorithm->EncryptData(input, output) : m_algorithm->DecryptData(input, output);
  if (result == TDES_OK && outLen != nullptr) *outLen = static_cast<int>(output->GetProcessed());
  return result;
}

// Both entries keep the last character of the output for the NUL, so a
// result that would fill the output exactly fails (6 or 1003) instead of
// losing its terminator.
int CZKTDESModule::EncryptToHex(const char* data, int dataLen, char* hexOut, int hexOutSize, int* outLen) {
  if (data == nullptr || hexOut == nullptr) return TDES_NULL_ARGUMENT;
  CZKTDESBufferInput_BYTE input(data, dataLen > 0 ? static_cast<unsigned>(dataLen) : 0);
  CZKTDESBufferOutput_HSTR output(hexOut, hexOutSize > 0 ? static_cast<unsigned>(hexOutSize - 1) : 0);
  int n = 0;
  const int result = Process(true, &input, &output, &n);
  if (result != TDES_OK) return result;
  hexOut[n] = '\0';
  if (outLen != nullptr) *outLen = n;
  return TDES_OK;
}

int CZKTDESModule::DecryptFromHex(const char* hexIn, int hexLen, char* out, int outSize, int* outLen) {
  if (hexIn == nullptr || out == nullptr) return TDES_NULL_ARGUMENT;
  CZKTDESBufferInput_HSTR input(hexIn, hexLen > 0 ? static_cast<unsigned>(hexLen) : 0);
  CZKTDESBufferOutput_BYTE output(out, outSize > 0 ? static_cast<unsigned>(outSize - 1) : 0);
  int n = 0;
  const int result = Process(false, &input, &output, &n);
  if (result != TDES_OK) return result;
  out[n] = '\0';
  if (outLen != nullptr) *outLen = n;
  return TDES_OK;
}
