// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/resources.h"

#include <cstring>

ResourceBytes FindResource(int32_t kind, int32_t id) {
    for (size_t i = 0; i < EmbeddedResourceCount; ++i) {
        const EmbeddedResource& r = EmbeddedResources[i];
        if (r.Kind == kind && r.Name == nullptr && r.Id == id) return {r.Data, r.Size};
    }
    return {nullptr, 0};
}

ResourceBytes FindNamedResource(int32_t kind, const char* name) {
    if (name == nullptr) return {nullptr, 0};
    for (size_t i = 0; i < EmbeddedResourceCount; ++i) {
        const EmbeddedResource& r = EmbeddedResources[i];
        if (r.Kind == kind && r.Name != nullptr && std::strcmp(r.Name, name) == 0)
            return {r.Data, r.Size};
    }
    return {nullptr, 0};
}

// The string table is one text resource, a line per string: "<id> <text>".
int32_t LoadStringResource(int32_t id, char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0) return 0;
    buffer[0] = 0;
    const ResourceBytes table = FindResource(RES_STRING, 0);
    const char* p = reinterpret_cast<const char*>(table.Data);
    const char* end = p + table.Size;
    while (p != nullptr && p < end) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (eol == nullptr) eol = end;
        int32_t lineId = 0;
        const char* q = p;
        while (q < eol && *q >= '0' && *q <= '9') lineId = lineId * 10 + (*q++ - '0');
        if (q > p && q < eol && *q == ' ' && lineId == id) {
            ++q;
            int32_t n = static_cast<int32_t>(eol - q);
            if (n > size - 1) n = size - 1;
            std::memcpy(buffer, q, n);
            buffer[n] = 0;
            return n;
        }
        p = eol + 1;
    }
    return 0;
}
