// What the tests and the peers ask of the clipboard.
#pragma once

namespace zktest {

// Whether the run parameters' registered clipboard format still holds data
// that a reader would get.
bool ClipFormatHasData();

}  // namespace zktest
