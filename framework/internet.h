// The framework's internet classes over WinINet: session, HTTP connection,
// HTTP request, and the exception they throw.
//
// Each class owns one WinINet handle and closes it when it is closed or
// destroyed; copying is deleted. Texts may be given in either width: every
// call that takes a text has an 8-bit (ANSI) and a UTF-16 form.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "framework/interneturl.h"

// Thrown by the internet classes when a WinINet call fails.
class CInternetException {
 public:
  explicit CInternetException(DWORD error, DWORD_PTR context = 1) : m_dwError(error), m_dwContext(context) {}
  // Writes the system's message for the error (at most max_chars with the
  // NUL) into text; FALSE when the system has none.
  BOOL GetErrorMessage(char* text, UINT max_chars) const;
  BOOL GetErrorMessage(wchar_t* text, UINT max_chars) const;

  DWORD m_dwError;
  DWORD_PTR m_dwContext;
};

class CHttpConnection;
class CHttpFile;

// One HTTP request; reads the answer's body.
class CHttpFile {
 public:
  CHttpFile(HINTERNET request, DWORD_PTR context) : m_request(request), m_context(context) {}
  ~CHttpFile();
  CHttpFile(const CHttpFile&) = delete;
  CHttpFile& operator=(const CHttpFile&) = delete;

  // Adds header lines (each ended by CR LF, or a single line without) with
  // the HTTP_ADDREQ_FLAG_* modifiers; FALSE on failure.
  BOOL AddRequestHeaders(const char* headers, DWORD modifiers = HTTP_ADDREQ_FLAG_ADD_IF_NEW, int length = -1);
  BOOL AddRequestHeaders(const wchar_t* headers, DWORD modifiers = HTTP_ADDREQ_FLAG_ADD_IF_NEW, int length = -1);
  // Sends the request with optional extra headers and body; FALSE when the
  // request could not be sent or no answer arrived.
  BOOL SendRequest(const char* headers = nullptr, DWORD headers_length = 0, void* optional = nullptr,
                   DWORD optional_length = 0);
  BOOL SendRequest(const wchar_t* headers, DWORD headers_length = 0, void* optional = nullptr,
                   DWORD optional_length = 0);
  // The answer's numeric status; FALSE when it cannot be read.
  BOOL QueryInfoStatusCode(DWORD& status) const;
  // An answer header (HTTP_QUERY_* level) as text into buffer; length is
  // the buffer's size in bytes before and the text's length after the call.
  BOOL QueryInfo(DWORD level, char* buffer, DWORD* length, DWORD* index = nullptr) const;
  BOOL QueryInfo(DWORD level, wchar_t* buffer, DWORD* length, DWORD* index = nullptr) const;
  // Reads up to count body bytes; returns the number read, 0 at the end of
  // the body. Throws CInternetException when the read fails.
  UINT Read(void* buffer, UINT count);
  // Closes the request handle; safe to call twice.
  void Close();

  HINTERNET GetHandle() const { return m_request; }

 private:
  HINTERNET m_request;
  DWORD_PTR m_context;
};

// A connection to one HTTP server; makes requests.
class CHttpConnection {
 public:
  CHttpConnection(HINTERNET connection, DWORD_PTR context) : m_connection(connection), m_context(context) {}
  ~CHttpConnection();
  CHttpConnection(const CHttpConnection&) = delete;
  CHttpConnection& operator=(const CHttpConnection&) = delete;

  // Opens a request (verb such as "GET") for object. A null version means
  // "HTTP/1.1". The caller owns the result. Throws CInternetException when
  // WinINet refuses the request.
  CHttpFile* OpenRequest(const char* verb, const char* object, const char* referer = nullptr,
                         DWORD_PTR context = 1, const char** accept_types = nullptr, const char* version = nullptr,
                         DWORD flags = INTERNET_FLAG_EXISTING_CONNECT);
  CHttpFile* OpenRequest(const wchar_t* verb, const wchar_t* object, const wchar_t* referer = nullptr,
                         DWORD_PTR context = 1, const wchar_t** accept_types = nullptr,
                         const wchar_t* version = nullptr, DWORD flags = INTERNET_FLAG_EXISTING_CONNECT);
  // Closes the connection handle; safe to call twice.
  void Close();

 private:
  HINTERNET m_connection;
  DWORD_PTR m_context;
};

// A WinINet session with its agent text and options.
class CInternetSession {
 public:
  // Opens the session. A null agent means the framework's application name.
  // Throws CInternetException when WinINet cannot open a session. The
  // session also keeps the sockets library started for its lifetime.
  explicit CInternetSession(const char* agent = nullptr, DWORD_PTR context = 1,
                            DWORD access_type = PRE_CONFIG_INTERNET_ACCESS, const char* proxy = nullptr,
                            const char* proxy_bypass = nullptr, DWORD flags = 0);
  explicit CInternetSession(const wchar_t* agent, DWORD_PTR context = 1,
                            DWORD access_type = PRE_CONFIG_INTERNET_ACCESS, const wchar_t* proxy = nullptr,
                            const wchar_t* proxy_bypass = nullptr, DWORD flags = 0);
  ~CInternetSession();
  CInternetSession(const CInternetSession&) = delete;
  CInternetSession& operator=(const CInternetSession&) = delete;

  // Sets a numeric session option (INTERNET_OPTION_*); FALSE on failure.
  BOOL SetOption(DWORD option, DWORD value);
  // Connects to an HTTP server; the caller owns the result. Throws
  // CInternetException on failure.
  CHttpConnection* GetHttpConnection(const char* server, INTERNET_PORT port = INTERNET_INVALID_PORT_NUMBER,
                                     const char* user = nullptr, const char* password = nullptr);
  CHttpConnection* GetHttpConnection(const wchar_t* server, INTERNET_PORT port = INTERNET_INVALID_PORT_NUMBER,
                                     const wchar_t* user = nullptr, const wchar_t* password = nullptr);
  // Closes the session handle; safe to call twice.
  void Close();

  HINTERNET GetHandle() const { return m_session; }

 private:
  HINTERNET m_session = nullptr;
  DWORD_PTR m_context;
  bool m_sockets_started = false;
};

namespace zkframework {

// The application name that a session uses when it is given no agent.
// Until the application sets one, it is the program's title, string 57344 of
// its own string table, or, when it has none, the program file's name without
// its folder and extension.
const wchar_t* InternetDefaultAgent();
// Sets the application name for sessions without an agent (the empty text
// is allowed; null restores the title or the program file's name).
void SetInternetDefaultAgent(const wchar_t* name);

}  // namespace zkframework
