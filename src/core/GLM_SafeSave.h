#pragma once
// Saving a document over its file without ever losing the old one: the new bytes are
// complete on disk before the old file is touched.

#include <functional>
#include <string>

// The path with its extension (from the last "." of the file name) replaced by `extension`;
// appended when the name has none.
std::string ChangeFileExt(const std::string &path, const std::string &extension);

// Writes a document over `path`. Without a backup extension, or when `path` does not exist,
// `write` goes to `path` itself. Otherwise the new bytes are written and flushed beside the
// file first; then the old file becomes the backup (an older backup replaced) and the new
// file takes the name. `write` writes the whole document to the path it is given and raises
// EInOutError on failure; a failure at any step leaves the document file and the backup as
// they were.
void SaveWithBackup(const std::string &path, const std::string &backupExtension,
                    const std::function<void(const std::string &)> &write);
