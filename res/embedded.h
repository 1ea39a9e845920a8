// SPDX-License-Identifier: GPL-3.0-or-later
// The resources built into the executable: the bitmaps, waves, icon, dialog
// template, accelerator table and strings of res/.
#pragma once

#include "res/ids.h"

#include <cstddef>
#include <cstdint>

struct EmbeddedResource {
    int32_t Kind;
    int32_t Id;       // for resources found by number; 0 otherwise
    const char* Name; // for resources found by name; nullptr otherwise
    const uint8_t* Data;
    size_t Size;
};

extern const EmbeddedResource EmbeddedResources[];
extern const size_t EmbeddedResourceCount;
