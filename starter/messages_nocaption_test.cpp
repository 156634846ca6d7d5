// A resource-only test module: the code is only there because a module needs some.
extern "C" __declspec(dllexport) int StarterMessagesNoCaptionModule() { return 1; }
