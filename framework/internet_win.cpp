// The framework's internet classes on WinINet.
#include "framework/internet.h"

#include <winsock2.h>

#include <string>

namespace zkframework {
namespace {

std::wstring& AgentOverride() {
  static std::wstring text;
  return text;
}
bool g_agent_overridden = false;

// String 57344 of a program's string table is its application title.
constexpr UINT kApplicationTitleId = 57344;

std::wstring ProgramBaseName() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, length < MAX_PATH ? length : 0);
  size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return name;
}

// The application name as the framework derives it: the program's title
// string when its string table has one, else its file name without folder
// and extension.
std::wstring ApplicationName() {
  const wchar_t* text = nullptr;
  int length = LoadStringW(GetModuleHandleW(nullptr), kApplicationTitleId, reinterpret_cast<wchar_t*>(&text), 0);
  if (length > 0 && text) return std::wstring(text, static_cast<size_t>(length));
  return ProgramBaseName();
}

}  // namespace

const wchar_t* InternetDefaultAgent() {
  if (!g_agent_overridden) {
    AgentOverride() = ApplicationName();
    g_agent_overridden = true;
  }
  return AgentOverride().c_str();
}

void SetInternetDefaultAgent(const wchar_t* name) {
  g_agent_overridden = name != nullptr;
  AgentOverride() = name ? name : L"";
}

}  // namespace zkframework

namespace {

[[noreturn]] void ThrowLastError(DWORD_PTR context) { throw CInternetException(GetLastError(), context); }

template <typename T>
BOOL FormatInternetMessage(DWORD error, T* text, UINT max_chars);

template <>
BOOL FormatInternetMessage<char>(DWORD error, char* text, UINT max_chars) {
  DWORD flags = FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  return FormatMessageA(flags, GetModuleHandleA("wininet.dll"), error, 0, text, max_chars, nullptr) != 0;
}

template <>
BOOL FormatInternetMessage<wchar_t>(DWORD error, wchar_t* text, UINT max_chars) {
  DWORD flags = FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  return FormatMessageW(flags, GetModuleHandleW(L"wininet.dll"), error, 0, text, max_chars, nullptr) != 0;
}

DWORD HeaderLength(int length) { return length < 0 ? static_cast<DWORD>(-1L) : static_cast<DWORD>(length); }

}  // namespace

// ---- CInternetException ----

BOOL CInternetException::GetErrorMessage(char* text, UINT max_chars) const {
  if (!text || max_chars == 0) return FALSE;
  text[0] = '\0';
  return FormatInternetMessage(m_dwError, text, max_chars);
}

BOOL CInternetException::GetErrorMessage(wchar_t* text, UINT max_chars) const {
  if (!text || max_chars == 0) return FALSE;
  text[0] = L'\0';
  return FormatInternetMessage(m_dwError, text, max_chars);
}

// ---- CHttpFile ----

CHttpFile::~CHttpFile() { Close(); }

void CHttpFile::Close() {
  if (m_request) InternetCloseHandle(m_request);
  m_request = nullptr;
}

BOOL CHttpFile::AddRequestHeaders(const char* headers, DWORD modifiers, int length) {
  if (!m_request || !headers) return FALSE;
  return HttpAddRequestHeadersA(m_request, headers, HeaderLength(length), modifiers);
}

BOOL CHttpFile::AddRequestHeaders(const wchar_t* headers, DWORD modifiers, int length) {
  if (!m_request || !headers) return FALSE;
  return HttpAddRequestHeadersW(m_request, headers, HeaderLength(length), modifiers);
}

BOOL CHttpFile::SendRequest(const char* headers, DWORD headers_length, void* optional, DWORD optional_length) {
  if (!m_request) return FALSE;
  return HttpSendRequestA(m_request, headers, headers ? headers_length : 0, optional, optional_length);
}

BOOL CHttpFile::SendRequest(const wchar_t* headers, DWORD headers_length, void* optional, DWORD optional_length) {
  if (!m_request) return FALSE;
  return HttpSendRequestW(m_request, headers, headers ? headers_length : 0, optional, optional_length);
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& status) const {
  if (!m_request) return FALSE;
  DWORD value = 0, size = sizeof(value);
  if (!HttpQueryInfoA(m_request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr))
    return FALSE;
  status = value;
  return TRUE;
}

BOOL CHttpFile::QueryInfo(DWORD level, char* buffer, DWORD* length, DWORD* index) const {
  if (!m_request || !buffer || !length) return FALSE;
  return HttpQueryInfoA(m_request, level, buffer, length, index);
}

BOOL CHttpFile::QueryInfo(DWORD level, wchar_t* buffer, DWORD* length, DWORD* index) const {
  if (!m_request || !buffer || !length) return FALSE;
  return HttpQueryInfoW(m_request, level, buffer, length, index);
}

UINT CHttpFile::Read(void* buffer, UINT count) {
  if (!m_request) throw CInternetException(ERROR_INVALID_HANDLE, m_context);
  DWORD got = 0;
  if (!InternetReadFile(m_request, buffer, count, &got)) ThrowLastError(m_context);
  return got;
}

// ---- CHttpConnection ----

CHttpConnection::~CHttpConnection() { Close(); }

void CHttpConnection::Close() {
  if (m_connection) InternetCloseHandle(m_connection);
  m_connection = nullptr;
}

namespace {

// The ANSI and UTF-16 entry points of WinINet, so that one template serves both widths.
template <typename T>
struct WinInetCalls;

template <>
struct WinInetCalls<char> {
  static constexpr auto Open = InternetOpenA;
  static constexpr auto Connect = InternetConnectA;
  static constexpr auto OpenRequest = HttpOpenRequestA;
  static constexpr const char* kVersion = "HTTP/1.1";
};

template <>
struct WinInetCalls<wchar_t> {
  static constexpr auto Open = InternetOpenW;
  static constexpr auto Connect = InternetConnectW;
  static constexpr auto OpenRequest = HttpOpenRequestW;
  static constexpr const wchar_t* kVersion = L"HTTP/1.1";
};

template <typename T>
CHttpFile* OpenRequestT(HINTERNET connection, const T* verb, const T* object, const T* referer, DWORD_PTR context,
                        const T** accept_types, const T* version, DWORD flags) {
  if (!connection) throw CInternetException(ERROR_INVALID_HANDLE, context);
  HINTERNET request = WinInetCalls<T>::OpenRequest(connection, verb, object, version ? version : WinInetCalls<T>::kVersion,
                                                   referer, accept_types, flags, context);
  if (!request) ThrowLastError(context);
  return new CHttpFile(request, context);
}

template <typename T>
CHttpConnection* ConnectT(HINTERNET session, DWORD_PTR context, const T* server, INTERNET_PORT port, const T* user,
                          const T* password) {
  if (!session) throw CInternetException(ERROR_INVALID_HANDLE, context);
  HINTERNET connection =
      WinInetCalls<T>::Connect(session, server, port, user, password, INTERNET_SERVICE_HTTP, 0, context);
  if (!connection) ThrowLastError(context);
  return new CHttpConnection(connection, context);
}

}  // namespace

CHttpFile* CHttpConnection::OpenRequest(const char* verb, const char* object, const char* referer,
                                        DWORD_PTR context, const char** accept_types, const char* version,
                                        DWORD flags) {
  return OpenRequestT(m_connection, verb, object, referer, context, accept_types, version, flags);
}

CHttpFile* CHttpConnection::OpenRequest(const wchar_t* verb, const wchar_t* object, const wchar_t* referer,
                                        DWORD_PTR context, const wchar_t** accept_types, const wchar_t* version,
                                        DWORD flags) {
  return OpenRequestT(m_connection, verb, object, referer, context, accept_types, version, flags);
}

// ---- CInternetSession ----

// WinINet starts the sockets library on its own, but only while it needs it.
// The raw-socket getter shares the session's lifetime, so the session keeps
// the library started for as long as it exists.
static bool StartSockets() {
  WSADATA data;
  return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

CInternetSession::CInternetSession(const char* agent, DWORD_PTR context, DWORD access_type, const char* proxy,
                                   const char* proxy_bypass, DWORD flags)
    : m_context(context) {
  if (agent) {
    m_session = InternetOpenA(agent, access_type, proxy, proxy_bypass, flags);
  } else {
    // The application name is wide; the proxy texts go along converted.
    const CStringW wide_proxy(proxy), wide_bypass(proxy_bypass);
    m_session = InternetOpenW(zkframework::InternetDefaultAgent(), access_type, proxy ? wide_proxy.GetString() : nullptr,
                              proxy_bypass ? wide_bypass.GetString() : nullptr, flags);
  }
  if (!m_session) ThrowLastError(context);
  m_sockets_started = StartSockets();
}

CInternetSession::CInternetSession(const wchar_t* agent, DWORD_PTR context, DWORD access_type, const wchar_t* proxy,
                                   const wchar_t* proxy_bypass, DWORD flags)
    : m_context(context) {
  m_session = InternetOpenW(agent ? agent : zkframework::InternetDefaultAgent(), access_type, proxy, proxy_bypass,
                            flags);
  if (!m_session) ThrowLastError(context);
  m_sockets_started = StartSockets();
}

CInternetSession::~CInternetSession() {
  Close();
  if (m_sockets_started) WSACleanup();
}

void CInternetSession::Close() {
  if (m_session) InternetCloseHandle(m_session);
  m_session = nullptr;
}

BOOL CInternetSession::SetOption(DWORD option, DWORD value) {
  if (!m_session) return FALSE;
  return InternetSetOptionA(m_session, option, &value, sizeof(value));
}

CHttpConnection* CInternetSession::GetHttpConnection(const char* server, INTERNET_PORT port, const char* user,
                                                     const char* password) {
  return ConnectT(m_session, m_context, server, port, user, password);
}

CHttpConnection* CInternetSession::GetHttpConnection(const wchar_t* server, INTERNET_PORT port, const wchar_t* user,
                                                     const wchar_t* password) {
  return ConnectT(m_session, m_context, server, port, user, password);
}
