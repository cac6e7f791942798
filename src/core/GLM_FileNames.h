#pragma once
// The one rule by which a file's kind is told from its name.

#include <string>

// The name's extension from its last "." onwards, lower-cased in A..Z only; empty when the
// last "." is not after the last path separator ("\", ":" or "/").
std::string LowerFileExt(const std::string &name);

// True when a regular file (or a link to one) of that name exists.
bool FileExists(const std::string &name);
