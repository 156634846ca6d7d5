// The framework HTTP getter on the framework's internet classes, and the size probe.
#include "_Common/zkgethttp.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Always from the server, never into the cache, with a no-cache pragma,
// reusing an open connection to the same server.
const DWORD kRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
const DWORD kConnectTimeoutMs = 10000;

template <typename T>
std::basic_string<T> Widen(const char* ascii) {
  std::basic_string<T> text;
  for (; *ascii; ++ascii) text += static_cast<T>(*ascii);
  return text;
}

template <typename T>
void CloseQuietly(std::unique_ptr<T>& object) {
  try {
    if (object) object->Close();
  } catch (...) {
  }
  try {
    object.reset();
  } catch (...) {
    object.release();
  }
}

}  // namespace

template <typename T>
TZKGetHTTP<T>::TZKGetHTTP(const T* agent, ZKRedirects redirects)
    : m_session(agent, 1, PRE_CONFIG_INTERNET_ACCESS, nullptr, nullptr, 0), m_redirects(redirects) {
  m_session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeoutMs);
}

template <typename T>
TZKGetHTTP<T>::~TZKGetHTTP() {
  Close();
}

template <typename T>
void TZKGetHTTP<T>::Close() {
  CloseQuietly(m_file);
  CloseQuietly(m_connection);
}

template <typename T>
int TZKGetHTTP<T>::Open(const T* url, int64_t offset) {
  int code = Connect(url);
  if (code == ZKGETHTTP_OK) code = AddRangeHeader(offset);
  if (code == ZKGETHTTP_OK) code = SendAndCheckStatus();
  return code;
}

template <typename T>
int TZKGetHTTP<T>::Connect(const T* url) {
  if (!url || !*url) return ZKGETHTTP_BAD_ARGUMENT;
  unsigned long service = AFX_INET_SERVICE_UNK;
  CStringT<T> server, object;
  INTERNET_PORT port = 0;
  if (!AfxParseURL(url, service, server, object, port) || service != AFX_INET_SERVICE_HTTP)
    return ZKGETHTTP_NOT_HTTP_URL;
  Close();
  const std::basic_string<T> verb = Widen<T>("GET"), version = Widen<T>("HTTP/1.1");
  const DWORD flags = kRequestFlags | (m_redirects == ZKRedirects::kRefuse ? INTERNET_FLAG_NO_AUTO_REDIRECT : 0);
  try {
    m_connection.reset(m_session.GetHttpConnection(server.GetString(), port, nullptr, nullptr));
    if (m_connection) {
      m_file.reset(m_connection->OpenRequest(verb.c_str(), object.GetString(), nullptr, 1, nullptr, version.c_str(),
                                             flags));
    }
  } catch (const CInternetException&) {
    Close();
    return ZKGETHTTP_CANT_CONNECT;
  }
  if (!m_connection || !m_file) {
    Close();
    return ZKGETHTTP_CANT_CONNECT;
  }
  return ZKGETHTTP_OK;
}

template <typename T>
int TZKGetHTTP<T>::AddRangeHeader(int64_t offset) {
  if (offset < 0) return ZKGETHTTP_BAD_ARGUMENT;
  if (!m_file) return ZKGETHTTP_NOT_OPEN;
  char header[64];
  std::snprintf(header, sizeof(header), "Range: bytes=%" PRId64 "-", offset);
  std::basic_string<T> text = Widen<T>(header);
  if (!m_file->AddRequestHeaders(text.c_str(), HTTP_ADDREQ_FLAG_ADD_IF_NEW, -1)) return ZKGETHTTP_CANT_ADD_RANGE;
  return ZKGETHTTP_OK;
}

template <typename T>
int TZKGetHTTP<T>::SendAndCheckStatus() {
  if (!m_file) return ZKGETHTTP_NOT_OPEN;
  DWORD status = 0;
  try {
    if (!m_file->SendRequest(static_cast<const T*>(nullptr), 0, nullptr, 0)) return ZKGETHTTP_CANT_SEND;
    if (!m_file->QueryInfoStatusCode(status)) return ZKGETHTTP_NO_STATUS;
  } catch (...) {
    return ZKGETHTTP_CANT_SEND;
  }
  return (status == 200 || status == 206) ? ZKGETHTTP_OK : ZKGETHTTP_STATUS_NOT_ACCEPTED;
}

template <typename T>
int TZKGetHTTP<T>::Read(void* buffer, uint32_t length, uint32_t& got) {
  if (!m_file) return ZKGETHTTP_NOT_OPEN;
  try {
    got = m_file->Read(buffer, length);
  } catch (const CInternetException&) {
    return ZKGETHTTP_RECEIVE_FAILED;
  }
  return ZKGETHTTP_OK;
}

template <typename T>
int TZKGetHTTP<T>::QueryContentLength(int64_t& length) {
  if (!m_file) return ZKGETHTTP_NOT_OPEN;
  char text[32] = {};
  DWORD size = sizeof(text);
  if (!m_file->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, text, &size)) return ZKGETHTTP_NO_CONTENT_LENGTH;
  text[sizeof(text) - 1] = '\0';
  length = std::strtoll(text, nullptr, 10);
  return ZKGETHTTP_OK;
}

template class TZKGetHTTP<char>;
template class TZKGetHTTP<wchar_t>;

int64_t ProbeUrlFileSize(const char* url, ZKRedirects redirects) {
  if (!url) return -1;
  try {
    CZKGetHTTP getter(nullptr, redirects);
    int64_t length = -1;
    if (getter.Open(url, 0) != ZKGETHTTP_OK) return -1;
    if (getter.GetContentLength(length) != ZKGETHTTP_OK) return -1;
    return length;
  } catch (const CInternetException&) {
    // No session could be opened.
    return -1;
  }
}
