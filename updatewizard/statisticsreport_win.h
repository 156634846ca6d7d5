// The seam of the system line's version query, for tests that stand in for
// another Windows version than the one they run on.
#pragma once

#include <windows.h>

#include "framework/seam.h"

// The version query of the system line; tests replace it through ScopedCallsOverride.
struct StatisticsReportCalls {
  // Fills the system's version numbers and service-pack text, as GetVersionExA.
  BOOL(WINAPI* getVersionExA)(LPOSVERSIONINFOA info);
};

// The calls in use; the program never changes them.
StatisticsReportCalls& StatisticsReportCurrentCalls();
// The platform's own calls.
StatisticsReportCalls StatisticsReportPlatformCalls();
using ScopedStatisticsReportCalls =
    ScopedCallsOverride<StatisticsReportCalls, &StatisticsReportCurrentCalls, &StatisticsReportPlatformCalls>;
