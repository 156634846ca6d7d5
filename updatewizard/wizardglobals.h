// The update wizard's global texts that the start-up keeps from the run
// parameters and the browser detection, and that the worker only reads.
#pragma once

#include "framework/cstring.h"

// The run parameter "ProgName" (empty when missing); sent as the game code.
extern CStringA g_strProgramName;
// The run parameter "StatisticsURL" (empty when missing).
extern CStringA g_strStatisticsUrl;
// The browser name that the start-up worked out.
extern CStringA g_strBrowserName;
