// Building skin archives for the tools and tests: the plain layout (version, names, sizes,
// data) and the packing of a skin folder.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qx::tools {

struct TSkinEntry {
    std::string Name;
    std::vector<std::uint8_t> Data;
};

// The uncompressed archive: names lower-cased and each ended by CR LF.
std::vector<std::uint8_t> BuildSkinArchive(const std::vector<TSkinEntry>& entries);

// The entries of a skin folder, in archive order: the names of its order.txt when it has
// one, otherwise every bitmap its INI names (first mention first) followed by the INI.
// File names are matched without regard to case. Throws std::runtime_error with a reason.
std::vector<TSkinEntry> CollectSkinFolder(const std::filesystem::path& folder);

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace qx::tools
