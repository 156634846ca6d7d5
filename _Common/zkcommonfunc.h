// Text helpers of the toolkit that need no platform: hex digits, the in-place
// trims and the directory part of a path. Texts are in the ANSI code page.
#pragma once

#include <string>

#include "framework/cstring.h"

// Value of a hexadecimal digit: '1'-'9' give 1-9, 'A'-'F' and 'a'-'f' give
// 10-15; every other character, '0' too, gives 0.
int HexDigitValue(char character);

// TRUE for tab, carriage return and space (the trim set); FALSE for NUL, line
// feed and every other character.
int IsTrimSpace(char character);

// The first character of text not in the trim set; NULL for NULL.
char* SkipLeadingSpaces(char* text);

// Overwrites the trim-set characters before end (the terminating NUL of start
// when end is NULL) with NUL, walking back and never before start; nothing
// for a NULL start.
void TrimTrailingSpaces(char* start, char* end = nullptr);

// Cuts leading and trailing trim-set characters off text in place and returns
// its new start; NULL for NULL.
char* TrimSpaces(char* text);

// Erases the leading characters of text for which the C library's isspace is true.
void TrimLeftSpaces(std::string& text);

// Erases the trailing characters of text for which isspace is true.
void TrimRightSpaces(std::string& text);

// Sets out to the drive and directory parts of path (the directory keeps its
// trailing separator); empty for NULL.
void DirectoryOfPath(CStringA& out, const char* path);
