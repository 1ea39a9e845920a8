// SPDX-License-Identifier: GPL-3.0-or-later
// The resources built into the executable: the bitmaps, waves, icon, dialog
// template, accelerator table and strings of res/.
#pragma once

#include <cstddef>
#include <cstdint>

// Resource kinds, numbered as the old platform numbered them; waves are the
// named kind "WAVE".
enum ResourceKind : int32_t {
    RES_BITMAP = 2,
    RES_DIALOG = 5,
    RES_STRING = 6,
    RES_ACCELERATOR = 9,
    RES_ICON_GROUP = 14,
    RES_WAVE = 256,
};

struct EmbeddedResource {
    int32_t Kind;
    int32_t Id;       // for resources found by number; 0 otherwise
    const char* Name; // for resources found by name; nullptr otherwise
    const uint8_t* Data;
    size_t Size;
};

extern const EmbeddedResource EmbeddedResources[];
extern const size_t EmbeddedResourceCount;
