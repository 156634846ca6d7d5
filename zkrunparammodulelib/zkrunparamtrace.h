// ZK_TRACE: the starter's build of the library writes its debug traces, the update wizard's none.
#pragma once

#if defined(ZK_RUNPARAM_TRACE)
#include "zkrunparammodulelib/_zkutil/zklibdebugfunc.h"
#define ZK_TRACE(...) RunParamDebugTrace(__VA_ARGS__)
#else
#define ZK_TRACE(...) ((void)0)
#endif
