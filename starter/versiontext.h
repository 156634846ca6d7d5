// Version texts of the starter's program files and their comparison.
#pragma once

#include <cstdint>
#include <string>

// Formats a fixed file version as "%d.%d.%d.%d": high and low word of the most
// significant 32 bits, then high and low word of the least significant 32 bits.
std::wstring FormatVersionText(uint32_t versionMS, uint32_t versionLS);

// Compares two texts like wcsicmp: code units one by one after folding A-Z to
// lower case, a text that is a prefix of the other sorting first. Returns <0,
// 0 or >0. Missing texts count as empty.
int CompareTextIgnoringCase(const wchar_t* left, const wchar_t* right);

// True exactly when the required version text sorts after the installed one.
// This is a text comparison, not a numeric one ("1.0.0.10" is not newer than
// "1.0.0.9"); the web pages that name the versions rely on it.
bool IsRequiredVersionNewer(const wchar_t* required, const wchar_t* installed);

// True when text begins with prefix, A-Z folded as CompareTextIgnoringCase
// folds them, over the prefix's whole length.
bool BeginsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix);

// True when a required version from the web page may become part of an
// archive's name and download address: not empty, only ASCII letters, digits,
// '.', '-' and '_', and no ".." anywhere. Anything else could lead the
// archive's path out of the Windows folder (where it is written and deleted
// with this program's rights) or the address out of the download folder.
bool IsPlainVersionText(const std::wstring& version);
