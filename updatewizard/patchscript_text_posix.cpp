// The patch script's messages in the native build, which carries no string
// table: each text names its id, so that tests can tell the messages apart.
#include "updatewizard/patchscript.h"

void LoadPatchScriptText(unsigned id, CStringA& out) { out.Format("#%u", id); }
