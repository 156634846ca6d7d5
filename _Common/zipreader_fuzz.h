// Fuzz entry of the zip reader: runs one input through every road of the
// object API over a memory source.
#pragma once

#include <cstddef>
#include <cstdint>

// Opens data as an archive and finds and unpacks what it can; any crash,
// hang or sanitizer report is the finding.
void ZipReaderFuzzOne(const uint8_t* data, size_t size);
