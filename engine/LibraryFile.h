// What a file that should be hook.dll holds, told from its first bytes:
// why a library that would not load did not. Portable.
#pragma once

#include <string>

namespace engine {

enum class LibraryFileKind { NotALibrary, Library32, Library64, OtherMachine };

// From the file's start (its DOS and PE headers; 4096 bytes are plenty).
LibraryFileKind ClassifyLibraryFile(const std::string& head);

} // namespace engine
