// The HTTP getter interface and the result codes that both getters share.
#pragma once

#include <cstdint>

// Result codes of the HTTP getters (0 is success; 8 and 13 are not used).
enum ZKGetHTTPResult : int {
  ZKGETHTTP_OK = 0,
  ZKGETHTTP_BAD_ARGUMENT = 1,
  ZKGETHTTP_NOT_HTTP_URL = 2,
  ZKGETHTTP_NOT_OPEN = 3,
  ZKGETHTTP_NO_CONTENT_LENGTH = 4,
  ZKGETHTTP_NO_STATUS = 5,
  ZKGETHTTP_STATUS_NOT_ACCEPTED = 6,
  ZKGETHTTP_CANT_CONNECT = 7,
  ZKGETHTTP_CANT_SEND = 9,
  ZKGETHTTP_ALREADY_SENT = 10,
  ZKGETHTTP_CANT_ADD_RANGE = 11,
  ZKGETHTTP_RECEIVE_FAILED = 12,
  ZKGETHTTP_HEADER_LINE_TOO_LONG = 14,
  ZKGETHTTP_TIMED_OUT = 15,
};

// What a getter does with a redirect (3xx) answer. kFollow: WinINet follows
// it, to any host. kRefuse: it is an answer like any other refused status (6),
// for a download that must come from the address it was given or not at all.
// The socket getter never follows one.
enum class ZKRedirects { kFollow, kRefuse };

// Opens one URL at a byte offset and hands out the answer's body.
class IZKGetHTTP {
 public:
  // Requests url from byte offset on; 0 when the answer's status is accepted.
  virtual int Open(const char* url, int64_t offset) = 0;
  // Reads up to length body bytes into buffer; got tells how many arrived
  // (0 at the end of the body).
  virtual int Read(void* buffer, uint32_t length, uint32_t& got) = 0;
  virtual ~IZKGetHTTP() = default;
};
