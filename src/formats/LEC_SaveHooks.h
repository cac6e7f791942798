#pragma once
// The two points where a save meets the disk, replaceable so that tests can fill the disk
// part-way or take the temporary name first. The program itself never changes them.

#include <cstddef>
#include <cstdio>
#include <string>

struct TSaveHooks
{
    // Writes n bytes to a save's temporary file, giving how many were written (setting errno
    // when fewer). nullptr: std::fwrite.
    size_t (*Write)(const void *data, size_t n, std::FILE *file) = nullptr;
    // The varying part of the next temporary name. nullptr: 8 random hexadecimal digits.
    std::string (*TemporaryTag)() = nullptr;
};

// The hooks in force. Tests set them and put the previous ones back.
TSaveHooks &SaveHooks();
