// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/fuzz/fuzz_folder.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string Folder;

void RemoveFolder() {
    [[maybe_unused]] const int status = std::system(("rm -rf '" + Folder + "'").c_str());
}
} // namespace

const std::string& FuzzFolder() {
    if (!Folder.empty()) return Folder;
    struct stat info {};
    std::string name = stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) ? "/dev/shm" : "/tmp";
    name += "/vantle-fuzz-XXXXXX";
    if (mkdtemp(name.data()) == nullptr) std::abort();
    Folder = name;
    std::atexit(RemoveFolder);
    return Folder;
}
