// AfxExtractSubString: the framework's pick of one field of a separated text.
#pragma once

#include "framework/cstring.h"

// Sets out to field number index (from 0) of full, whose fields are divided
// by separator; TRUE when the field exists, FALSE and out empty otherwise.
template <typename T>
int AfxExtractSubString(CStringT<T>& out, const typename CStringT<T>::XCHAR* full, int index,
                        typename CStringT<T>::XCHAR separator = static_cast<T>('\n')) {
  out.Empty();
  if (!full || index < 0) return 0;
  for (; index > 0; --index) {
    while (*full && *full != separator) ++full;
    if (!*full) return 0;
    ++full;  // past the separator
  }
  const T* end = full;
  while (*end && *end != separator) ++end;
  out = CStringT<T>(full, static_cast<int>(end - full));
  return 1;
}
