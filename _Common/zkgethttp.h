// The framework HTTP getter: one GET through the framework's internet
// classes, from a byte offset on, and the remote size probe.
//
// TZKGetHTTP holds the logic for both text widths. CZKGetHTTP is the update
// wizard's 8-bit getter behind IZKGetHTTP, with the Content-Length query;
// CZKGetHTTPW is the starter's wide-text getter (open and read only).
#pragma once

#include <cstdint>
#include <memory>

#include "_Common/zkgethttpinterface.h"
#include "framework/internet.h"

template <typename T>
class TZKGetHTTP {
 public:
  // A null agent means the framework's application name.
  explicit TZKGetHTTP(const T* agent = nullptr, ZKRedirects redirects = ZKRedirects::kFollow);
  ~TZKGetHTTP();
  TZKGetHTTP(const TZKGetHTTP&) = delete;
  TZKGetHTTP& operator=(const TZKGetHTTP&) = delete;

  // Connect, AddRangeHeader(offset), SendAndCheckStatus: the first failure's code.
  int Open(const T* url, int64_t offset);
  // Reads up to length body bytes; got is 0 at the end of the body.
  int Read(void* buffer, uint32_t length, uint32_t& got);
  // Closes the request and the connection; safe when closed.
  void Close();

  // Splits url and opens the GET request on a new connection.
  int Connect(const T* url);
  // Adds "Range: bytes=<offset>-" (also for offset 0).
  int AddRangeHeader(int64_t offset);
  // Sends the request; 0 for the statuses 200 and 206.
  int SendAndCheckStatus();
  // The open request, or null; lets a test read the request's options.
  const CHttpFile* Request() const { return m_file.get(); }

 protected:
  // The answer's Content-Length as a 64-bit number.
  int QueryContentLength(int64_t& length);

 private:
  CInternetSession m_session;
  const ZKRedirects m_redirects;
  std::unique_ptr<CHttpConnection> m_connection;
  std::unique_ptr<CHttpFile> m_file;
};

// The update wizard's getter.
class CZKGetHTTP : public IZKGetHTTP, private TZKGetHTTP<char> {
 public:
  explicit CZKGetHTTP(const char* agent = nullptr, ZKRedirects redirects = ZKRedirects::kFollow)
      : TZKGetHTTP<char>(agent, redirects) {}
  ~CZKGetHTTP() override = default;

  int Open(const char* url, int64_t offset) override { return TZKGetHTTP<char>::Open(url, offset); }
  int Read(void* buffer, uint32_t length, uint32_t& got) override {
    return TZKGetHTTP<char>::Read(buffer, length, got);
  }
  // The Content-Length of the open answer: 3 without a request, 4 when the
  // answer announces none.
  int GetContentLength(int64_t& length) { return QueryContentLength(length); }

  using TZKGetHTTP<char>::Close;
  using TZKGetHTTP<char>::Connect;
  using TZKGetHTTP<char>::AddRangeHeader;
  using TZKGetHTTP<char>::SendAndCheckStatus;
  using TZKGetHTTP<char>::Request;
};

// The starter's getter on wide texts.
class CZKGetHTTPW : public TZKGetHTTP<wchar_t> {
 public:
  explicit CZKGetHTTPW(const wchar_t* agent = nullptr, ZKRedirects redirects = ZKRedirects::kFollow)
      : TZKGetHTTP<wchar_t>(agent, redirects) {}
};

// The size of the file at url, from the Content-Length of a GET at offset 0
// (the body is not read); -1 when it cannot be learned.
int64_t ProbeUrlFileSize(const char* url, ZKRedirects redirects = ZKRedirects::kFollow);
