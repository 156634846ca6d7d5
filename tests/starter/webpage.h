// Plays the game web page for the starter's scenarios and the demo.
#pragma once

#include <windows.h>

#include <string>

namespace zktest {

// Encrypts the pair text with the pass phrase (hex text, as the web page
// writes it) and puts it on the clipboard as CF_TEXT; false on failure.
bool PutParameterText(const std::string& passPhrase, const std::string& pairText);

// The starter's one command-line argument: "?SVersion=s,UVersion=u,publish=p" in quotes.
std::string StarterArgument(const std::string& s, const std::string& u, const std::string& p);

// Starts the starter with the argument; the process handle, or NULL.
HANDLE StartStarter(const std::string& starterPath, const std::string& argument);

}  // namespace zktest
