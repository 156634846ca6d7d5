// The statistics report of failed hash checks: the request texts and the
// system line (pure), and the system line read from the running system.
#pragma once

#include "framework/cstring.h"

// The grid error of the closing request, which carries the system line.
constexpr int kSystemLineGridError = 9999;
// The longest system line that is sent; a longer one keeps its start.
constexpr int kSystemLineMaxLength = 254;
// Size of each text buffer of the system line, its terminating NUL included.
constexpr int kSystemTextSize = 128;

// The built-in statistics address, used when none is given.
const char* DefaultStatisticsUrl();
// url, or the built-in address when url is NULL or empty.
const char* StatisticsUrlOrDefault(const char* url);

// text with the characters that would change the query's structure or
// cannot stand in a request line ('%', '&', '#', '+', blanks and control
// bytes) as %XX; everything else, commas and parentheses included, unchanged.
CStringA EscapeStatisticsValue(const char* text);

// The request text of one report: the address (defaulted) and the query
// with the game code, the grid and launcher errors and the file text, which
// is the file-name part of file_path, or file_path whole for the grid error
// 9999 (the system line).
CStringA FormatStatisticsRequest(const char* url, const char* game_code, const char* file_path, int launcher_error,
                                 int grid_error);

// The texts of the system line before they are joined.
struct SystemDescriptionParts {
  char product[kSystemTextSize];
  char version[kSystemTextSize];
  char build[kSystemTextSize];
  char service_pack[kSystemTextSize];
  int bits;
};

// Fills parts from the version numbers: "Windows", "major.minor", the build
// number, "_" and the service-pack text (NULL counts as none), 32 bits.
void InitSystemDescriptionParts(SystemDescriptionParts& parts, unsigned major, unsigned minor, unsigned build,
                                const char* service_pack);
// Whether the version (6.2 and above) takes its product, version and build
// texts from the registry's CurrentVersion key.
bool UsesCurrentVersionKey(unsigned major, unsigned minor);
// Sets one text of parts to value, cut to the buffer (NULL leaves it).
void SetSystemText(char (&text)[kSystemTextSize], const char* value);
// "%s %s.%s%s(%d) , Browser:%s , Avatar Ver:%d" of parts, the browser name
// and the avatar version, cut to its first 254 characters.
CStringA FormatSystemDescription(const SystemDescriptionParts& parts, const char* browser, int avatar_version);

// The system line of this computer: its Windows version, edition and bits,
// the global browser name and avatar_version. Windows only; whatever cannot
// be read keeps its default.
CStringA BuildSystemDescription(int avatar_version);
