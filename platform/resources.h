// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the resources built into the executable.
#pragma once

#include "res/embedded.h"

#include <cstddef>
#include <cstdint>

struct ResourceBytes {
    const uint8_t* Data; // nullptr when there is no such resource
    size_t Size;
};

ResourceBytes FindResource(int32_t kind, int32_t id);
ResourceBytes FindNamedResource(int32_t kind, const char* name);

// Copies string resource `id` into `buffer` (always terminated, cut to fit);
// returns its length, 0 when there is none.
int32_t LoadStringResource(int32_t id, char* buffer, int32_t size);
