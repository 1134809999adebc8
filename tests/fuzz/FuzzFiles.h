#pragma once
// Files for the fuzz targets: a work directory of this process (in memory
// when /dev/shm is there) and whole-file writes into it.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fuzz {

// <base>/<prefix><pid>, created on first use.
inline std::string workDir(const char *prefix)
{
    static std::string dir;
    if (dir.empty()) {
        const char *base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        dir = std::string(base) + "/" + prefix + std::to_string(getpid());
        mkdir(dir.c_str(), 0700);
    }
    return dir;
}

inline void writeFile(const std::string &path, const void *data, size_t len)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (len)
        std::fwrite(data, 1, len, f);
    std::fclose(f);
}

} // namespace fuzz
