#pragma once
// The one rule by which a file's kind is told from its name.

#include <string>

// The name's extension from its last "." onwards, lower-cased in A..Z only; empty when the
// last "." is not after the last path separator ("\", ":" or "/").
std::string LowerFileExt(const std::string &name);

// The name after the last path separator ("\", ":" or "/").
std::string ExtractFileName(const std::string &path);

// A message about one of several files: "tex1.bmp: Bitmap image is not valid"; the text
// follows the file's name unchanged.
std::string FileMessage(const std::string &path, const std::string &text);

// The four game file kinds, in the order the New dialog lists them.
enum class TFileKind { BM, CMP, MAT, SFT, Unknown };

// ".bm", ".cmp", ".mat", ".sft" in any case; Unknown for every other extension.
TFileKind FileKindOf(const std::string &name);
// "BM", "CMP", "MAT", "SFT"; empty for Unknown.
const char *FileKindName(TFileKind kind);

// ".gob" (the game's containers) or ".goo" (Mysteries of the Sith levels), in any case.
bool IsContainerName(const std::string &name);

// True when a regular file (or a link to one) of that name exists, or a container member
// named CONTAINER::NAME.
bool FileExists(const std::string &name);
