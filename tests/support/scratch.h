// SPDX-License-Identifier: GPL-3.0-or-later
// A scratch folder of a test's own, and a child process for the steps that
// might wait for ever: what the tests of the player's files share.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A new empty folder under /tmp named after `prefix`; empty when none could
// be made.
inline std::string MakeScratchFolder(const char* prefix) {
    std::string name = std::string("/tmp/") + prefix + "-XXXXXX";
    return mkdtemp(name.data()) != nullptr ? name : std::string();
}

// Removes the folder and everything in it, read-only or not.
inline void RemoveScratchFolder(const std::string& dir) {
    if (dir.empty()) return;
    chmod(dir.c_str(), 0700);
    [[maybe_unused]] const int status = std::system(("rm -rf '" + dir + "'").c_str());
}

// The names in `dir` but "." and "..", and `except`.
inline std::vector<std::string> NamesIn(const std::string& dir, const char* except) {
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) return names;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != ".." && name != except) names.push_back(name);
    }
    closedir(d);
    return names;
}

// Runs `body` in a child process and returns its wait status. A child that
// takes more than twenty seconds (a step that takes well under one, given
// room for a loaded machine) is stopped by SIGALRM. No child: a status that
// is no exit.
template <typename Body> int InChild(Body body) {
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        alarm(20);
        _exit(body());
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return status;
}
