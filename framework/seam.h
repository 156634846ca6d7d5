// The one shape of a module's replaceable system calls, and the scoped
// override through which tests replace them.
//
// A module that calls the system where a test must produce a failure declares
//   struct XCalls { ...one function pointer per call... };
//   XCalls& XCurrentCalls();   // the calls in use; the program never changes them
//   XCalls XPlatformCalls();   // the platform's own calls
//   using ScopedXCalls = ScopedCallsOverride<XCalls, &XCurrentCalls, &XPlatformCalls>;
// and makes every such call through XCurrentCalls(). Pure: no platform header.
#pragma once

// Puts calls in place of XCurrentCalls() for the object's life; the destructor
// restores the platform's calls, so a test that fails leaves no fake behind.
template <typename Calls, Calls& (*Current)(), Calls (*Platform)()>
class ScopedCallsOverride {
 public:
  // Starts from the platform's calls; change single entries through calls().
  ScopedCallsOverride() : ScopedCallsOverride(Platform()) {}
  // Puts the whole table calls in place.
  explicit ScopedCallsOverride(const Calls& calls) { Current() = calls; }
  ~ScopedCallsOverride() { Current() = Platform(); }
  ScopedCallsOverride(const ScopedCallsOverride&) = delete;
  ScopedCallsOverride& operator=(const ScopedCallsOverride&) = delete;

  // The calls in use, for changing single entries.
  Calls& calls() { return Current(); }
};
