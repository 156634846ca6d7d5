// The update worker as the wizard dialog starts it on its worker thread.
#pragma once

#include "updatewizard/wizarddlg.h"

// The whole job with the program's settings (UpdateWorkerSettings) and the
// global patch-script holder; the result code and message 3125 go to the
// dialog through hand_back. Fits ZKUpdateWorkerProc.
void RunUpdateWorker(CZKUpdateHandBack& hand_back);
