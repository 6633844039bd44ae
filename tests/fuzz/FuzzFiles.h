#pragma once
// Scratch files for the fuzz targets: the readers take paths, so each input is written to a
// private temporary folder first.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fuzz {

// The folder is made on first use and removed when the fuzzer exits normally.
inline const std::string& scratchDir()
{
    static const std::string dir = [] {
        char pattern[] = "/tmp/tarvex-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr)
            std::abort();
        return std::string(made);
    }();
    static const bool cleanupRegistered = [] {
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
        });
        return true;
    }();
    (void)cleanupRegistered;
    return dir;
}

// Writes bytes to scratchDir()/name (an empty file when size is 0) and returns the path.
inline std::string writeScratch(const std::string& name, const uint8_t* data, std::size_t size)
{
    const std::string path = scratchDir() + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
    return path;
}

inline void removeScratch(const std::string& name)
{
    std::remove((scratchDir() + "/" + name).c_str());
}

} // namespace fuzz
