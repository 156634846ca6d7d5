// Download of the patch script through the framework's WinINet classes and
// the boxes that report its failures (shown without an owner window).
#include "updatewizard/patchscript_win.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

// The internet header first: it brings winsock2.h before windows.h.
#include "framework/internet.h"
#include "_Common/zkcommonfunc_win.h"

namespace {

// Request flags: reload, existing connection, no cache write, no redirect.
constexpr DWORD kScriptRequestFlags = 0xA4200000;

CStringA Text(unsigned id) {
  CStringA text;
  LoadPatchScriptText(id, text);
  return text;
}

// Shows "<text 7> (<code>)" with caption 8 unless quiet; returns 0.
int DownloadFailure(const char* code, int quiet) {
  if (!quiet) {
    CStringA message;
    message.Format("%s (%s)", Text(kPatchTextDownloadError).GetString(), code);
    ShowErrorBox(message.GetString(), Text(kPatchTextErrorCaption).GetString(), nullptr);
  }
  return 0;
}

// Reads the body into body, at most twice its declared length and never more
// than kMaxPatchScriptBytes. Returns nullptr on success, else the failure's
// code text.
const char* ReadBody(CHttpFile& file, std::string& body) {
  if (!file.SendRequest()) return "0x03";
  DWORD status = 0;
  if (!file.QueryInfoStatusCode(status)) return "0x04";
  char length_text[100] = {};
  DWORD length_size = sizeof(length_text);
  if (!file.QueryInfo(HTTP_QUERY_CONTENT_LENGTH, length_text, &length_size)) return "0x04a";
  length_text[sizeof(length_text) - 1] = '\0';
  // A server that announces more than a script can be is refused before a
  // byte is read (a negative text wraps to a huge number and goes the same way).
  unsigned long long declared = std::strtoull(length_text, nullptr, 10);
  if (declared > kMaxPatchScriptBytes) return "0x05";
  unsigned long long limit = declared * 2 < kMaxPatchScriptBytes ? declared * 2 : kMaxPatchScriptBytes;
  body.reserve(static_cast<size_t>(limit));
  char piece[1024];
  for (;;) {
    UINT count = file.Read(piece, 1023);
    if (count == 0) break;
    if (count > 1023) return "0x05";
    piece[count] = '\0';
    // A piece is text: its copy stops at a NUL inside it.
    size_t text_length = std::strlen(piece);
    // A body longer than its buffer (twice the declared length, at most the
    // script limit) is refused.
    if (body.size() + text_length > limit) return "0x05";
    body.append(piece, text_length);
  }
  return nullptr;
}

// One attempt: the download, its checks and the parse, with their boxes.
int DownloadAndParse(const char* name, const char* address, CSentenceParse& parser, PatchFileLists* lists,
                     int installed_version, int quiet) {
  std::string body;
  try {
    CInternetSession session("My Session", 1, PRE_CONFIG_INTERNET_ACCESS, nullptr, nullptr, 0);
    unsigned long service = AFX_INET_SERVICE_UNK;
    CStringA server, object;
    unsigned short port = 0;
    if (!AfxParseURL(address ? address : "", service, server, object, port) || service != AFX_INET_SERVICE_HTTP)
      return DownloadFailure("0x01", quiet);

    std::unique_ptr<CHttpConnection> connection;
    std::unique_ptr<CHttpFile> file;
    try {
      connection.reset(session.GetHttpConnection(server.GetString(), port));
      file.reset(connection->OpenRequest("GET", object.GetString(), nullptr, 1, nullptr, nullptr,
                                         kScriptRequestFlags));
    } catch (const CInternetException&) {
      return DownloadFailure("0x02", quiet);
    }

    const char* failure = nullptr;
    try {
      failure = ReadBody(*file, body);
    } catch (const CInternetException& error) {
      char text[260] = {};
      error.GetErrorMessage(text, sizeof(text));
      OutputDebugStringA(text);
      if (!quiet) ShowErrorBoxById(kPatchTextInternetException, kPatchTextErrorCaption, nullptr);
      return 0;
    }
    file->Close();
    connection->Close();
    if (failure) return DownloadFailure(failure, quiet);
  } catch (const CInternetException&) {
    // The session itself could not be opened.
    return DownloadFailure("0x02", quiet);
  }

  unsigned failure_text = 0;
  if (ParsePatchScriptBody(body.c_str(), name, parser, lists, installed_version, &failure_text)) return 1;
  if (quiet) return 0;
  if (failure_text == 0)
    ShowErrorBox(parser.m_strError.GetString(), Text(kPatchTextParseCaption).GetString(), nullptr);
  else
    ShowErrorBoxById(failure_text, kPatchTextErrorCaption, nullptr);
  return 0;
}

}  // namespace

void LoadPatchScriptText(unsigned id, CStringA& out) {
  out.Empty();
  LoadResString(out, id);
}

int DownloadPatchScript(const char* name, const char* address, CSentenceParse& parser, PatchFileLists* lists,
                        int installed_version, int quiet) {
  // Whatever the server sends, a lack of memory for it is this attempt's
  // failure, never the end of the program.
  try {
    return DownloadAndParse(name, address, parser, lists, installed_version, quiet);
  } catch (const std::bad_alloc&) {
    return DownloadFailure("0x05", quiet);
  }
}

int DownloadPatchScriptRetry(const char* name, CStringA& address, CSentenceParse& parser, PatchFileLists* lists,
                             int installed_version) {
  return RunPatchScriptAttempts(name, address, g_strPatchServerList.GetString(),
                                [&](const char* url, int quiet) {
                                  return DownloadPatchScript(name, url, parser, lists, installed_version, quiet);
                                });
}
