#pragma once
// How the form tool reads and replaces a form file without harm to what else may be at a path.
//
// Reading: only a regular file (or a link to one) of at most MaxFormFileBytes is read. A FIFO
// would block the tool for ever and a device such as /dev/zero never ends; both are refused
// before any byte is read, and nothing is opened in a way that could block.
//
// Writing: the target must be a regular file (a link to one is written through, the link
// kept) or a path where nothing is yet. The text goes to a fresh file beside the target,
// made under a name no one else holds, and is renamed over the target only when all of it is
// on disk; a replaced file keeps its permissions. On any failure that fresh file is removed,
// so nothing is left behind, and the target is untouched.
#include <cstdint>
#include <filesystem>
#include <string>

#include "framework/core/Exceptions.h"

inline constexpr std::uintmax_t MaxFormFileBytes = 64u * 1024 * 1024;

// The content of the form file at Path. Raises EFOpenError naming the path and the reason.
std::string ReadFormFileText(const std::filesystem::path& Path);

// Puts Text at Target as described above. Raises EFCreateError naming the path and the reason.
void ReplaceFormFileText(const std::filesystem::path& Target, const std::string& Text);
