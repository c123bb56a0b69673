// What the profile-file fuzzers share: the fuzzer's input written as a file of its own, and a
// check that stops the run at a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

// A file in the temporary folder (TMPDIR), one per fuzzer process, holding the input.
inline const std::string& WriteFuzzFile(const uint8_t* data, std::size_t size) {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("mfp_fuzz_" + std::to_string(std::random_device{}()) + ".ini")).string();
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path;
}

inline void Require(bool condition) {
    if (!condition) std::abort();
}
