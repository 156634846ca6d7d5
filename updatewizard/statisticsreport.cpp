// The statistics report's request texts and the system line's format.
#include "updatewizard/statisticsreport.h"

#include <cstdio>
#include <cstring>

#include "_Common/zkfilehashinfo.h"
#include "zksettings.h"

const char* DefaultStatisticsUrl() { return ZK_STATISTICS_URL; }

const char* StatisticsUrlOrDefault(const char* url) { return url && *url ? url : DefaultStatisticsUrl(); }

CStringA EscapeStatisticsValue(const char* text) {
  static const char kHex[] = "0123456789ABCDEF";
  CStringA out;
  if (!text) return out;
  for (const char* at = text; *at; ++at) {
    const unsigned char c = static_cast<unsigned char>(*at);
    // Bytes of 0x80 and above stay: they are the code page's characters of
    // file names and product names, which the server reads as they are.
    // A blank goes as %20, as the internet library would send it anyway: the
    // address splitter refuses a request line with a blank in it.
    if (c <= 0x20 || c == 0x7F || c == '%' || c == '&' || c == '#' || c == '+') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

CStringA FormatStatisticsRequest(const char* url, const char* game_code, const char* file_path, int launcher_error,
                                 int grid_error) {
  const char* file_text = grid_error == kSystemLineGridError ? (file_path ? file_path : "") : FileNameOfPath(file_path);
  CStringA request;
  request.Format(
      "%s?GameCode=%s&contentType=hashcheck&iRunType=0&IsPageStyle=0&IsAgree=0&IsAgreeStartPage=0"
      "&iReturnGridError=%d&iReturnLauncherError=%d&strErrorFileName=%s",
      StatisticsUrlOrDefault(url), EscapeStatisticsValue(game_code).GetString(), grid_error, launcher_error,
      EscapeStatisticsValue(file_text).GetString());
  return request;
}

void SetSystemText(char (&text)[kSystemTextSize], const char* value) {
  if (value) std::snprintf(text, sizeof(text), "%s", value);
}

void InitSystemDescriptionParts(SystemDescriptionParts& parts, unsigned major, unsigned minor, unsigned build,
                                const char* service_pack) {
  std::snprintf(parts.product, sizeof(parts.product), "%s", "Windows");
  std::snprintf(parts.version, sizeof(parts.version), "%u.%u", major, minor);
  std::snprintf(parts.build, sizeof(parts.build), "%u", build);
  std::snprintf(parts.service_pack, sizeof(parts.service_pack), "_%s", service_pack ? service_pack : "");
  parts.bits = 32;
}

bool UsesCurrentVersionKey(unsigned major, unsigned minor) { return major * 10 + minor > 61; }

CStringA FormatSystemDescription(const SystemDescriptionParts& parts, const char* browser, int avatar_version) {
  CStringA line;
  line.Format("%s %s.%s%s(%d) , Browser:%s , Avatar Ver:%d", parts.product, parts.version, parts.build,
              parts.service_pack, parts.bits, browser ? browser : "", avatar_version);
  if (line.GetLength() > kSystemLineMaxLength) line = line.Left(kSystemLineMaxLength);
  return line;
}
