#include "engine/LibraryFile.h"

#include <cstdint>

namespace engine {

namespace {
uint32_t Little(const std::string& bytes, size_t at, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}
} // namespace

LibraryFileKind ClassifyLibraryFile(const std::string& head) {
    // "MZ", the PE header's offset at 0x3C, "PE\0\0", then the machine.
    if (head.size() < 0x40 || head[0] != 'M' || head[1] != 'Z')
        return LibraryFileKind::NotALibrary;
    uint32_t pe = Little(head, 0x3C, 4);
    if (pe > head.size() || head.size() - pe < 6 || head.compare(pe, 4, std::string("PE\0\0", 4)))
        return LibraryFileKind::NotALibrary;
    switch (Little(head, pe + 4, 2)) {
    case 0x014C:
        return LibraryFileKind::Library32;
    case 0x8664:
        return LibraryFileKind::Library64;
    default:
        return LibraryFileKind::OtherMachine;
    }
}

} // namespace engine
