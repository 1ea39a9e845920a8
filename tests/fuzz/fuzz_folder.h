// SPDX-License-Identifier: GPL-3.0-or-later
// A private folder for the files a fuzzer's inputs make, on a memory file
// system when there is one (the settings save syncs to disk each time).
#pragma once

#include <string>

// Made on the first call and reused; removed at exit.
const std::string& FuzzFolder();
