#pragma once

#include <cstddef>

// Tells plain UTF-8 task-list files from Windows-1252 ones.

// Checks UTF-8 in data[0, size): -1 at the first byte that is no part of a
// valid sequence (overlong forms, surrogates and values above U+10FFFF
// included), else the number of bytes at the end that begin a sequence the
// next block has to finish. multiByte is set at the first sequence of more
// than one byte. Windows-1252 text nearly always fails at its first byte
// outside ASCII, so the check of such text ends early.
int CheckUtf8(const unsigned char *data, size_t size, bool &multiByte);

// Whether the bytes are valid UTF-8 with at least one character outside
// ASCII, and so read as plain UTF-8.
bool IsUtf8BeyondAscii(const char *data, size_t size);
