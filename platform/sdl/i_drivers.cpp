// SPDX-License-Identifier: GPL-3.0-or-later
// Which of SDL's video systems the window may be made with, chosen before
// SDL starts: those with a screen to show it on, never a Wayland compositor
// SDL would crash on; and the X screen a display name asks for.
#include "platform/sdl/desktop.h"
#include "platform/sdl/video.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace {
// libwayland's registry listener (wl_registry_listener) and the calls that
// ask a compositor what it offers, by their C signatures.
struct RegistryListener {
    void (*global)(void* data, void* registry, uint32_t name, const char* interface,
                   uint32_t version);
    void (*globalRemove)(void* data, void* registry, uint32_t name);
};
using WaylandConnect = void* (*)(const char* name);
using WaylandDisconnect = void (*)(void* display);
using WaylandRoundtrip = int (*)(void* display);
using WaylandMarshal = void* (*)(void* proxy, uint32_t opcode, const void* interface, ...);
using WaylandAddListener = int (*)(void* proxy, void (**listener)(), void* data);
using WaylandDestroy = void (*)(void* proxy);
constexpr uint32_t WaylandGetRegistry = 1; // wl_display's request

void SeatAnnounced(void* seat, void*, uint32_t, const char* interface, uint32_t) {
    if (std::strcmp(interface, "wl_seat") == 0) *static_cast<bool*>(seat) = true;
}
void GlobalGone(void*, void*, uint32_t) {}

// Why SDL must not try the Wayland compositor, or nullptr when it may. SDL
// 2.26 takes a seat (wl_seat: the keyboard and pointer) for granted: its
// Wayland_InitMouse writes through the seat it was never given and SDL_Init
// dies on it, as on a headless compositor, which has none; a connection
// that fails before the compositor has told what it offers leaves SDL the
// same. It is asked through libwayland, as SDL asks it; one that cannot be
// reached at all SDL passes over by itself.
const char* WaylandTrouble() {
    // A socket handed down serves one connection: SDL's.
    if (SDL_getenv("WAYLAND_SOCKET") != nullptr) return nullptr;
    void* library = dlopen("libwayland-client.so.0", RTLD_LAZY | RTLD_LOCAL);
    if (library == nullptr) return nullptr;
    const auto connect = reinterpret_cast<WaylandConnect>(dlsym(library, "wl_display_connect"));
    const auto disconnect =
        reinterpret_cast<WaylandDisconnect>(dlsym(library, "wl_display_disconnect"));
    const auto roundtrip =
        reinterpret_cast<WaylandRoundtrip>(dlsym(library, "wl_display_roundtrip"));
    const auto marshal =
        reinterpret_cast<WaylandMarshal>(dlsym(library, "wl_proxy_marshal_constructor"));
    const auto addListener =
        reinterpret_cast<WaylandAddListener>(dlsym(library, "wl_proxy_add_listener"));
    const auto destroy = reinterpret_cast<WaylandDestroy>(dlsym(library, "wl_proxy_destroy"));
    const void* registryInterface = dlsym(library, "wl_registry_interface");
    const char* trouble = nullptr;
    void* display = nullptr;
    if (connect != nullptr && disconnect != nullptr && roundtrip != nullptr && marshal != nullptr &&
        addListener != nullptr && destroy != nullptr && registryInterface != nullptr)
        display = connect(nullptr);
    if (display != nullptr) {
        static RegistryListener listener{SeatAnnounced, GlobalGone};
        bool seat = false;
        void* registry =
            marshal(display, WaylandGetRegistry, registryInterface, static_cast<void*>(nullptr));
        if (registry == nullptr ||
            addListener(registry, reinterpret_cast<void (**)()>(&listener), &seat) != 0 ||
            roundtrip(display) < 0)
            trouble = "the Wayland compositor failed to answer";
        else if (!seat)
            trouble = "the Wayland compositor offers no seat (no keyboard or pointer), which SDL "
                      "needs";
        if (registry != nullptr) destroy(registry);
        disconnect(display);
    }
    dlclose(library);
    return trouble;
}

bool IsDriver(const char* name, size_t length, const char* driver) {
    return length == std::strlen(driver) && SDL_strncasecmp(name, driver, length) == 0;
}
} // namespace

// The systems SDL may try, in order: only those with a screen to show the
// window on, in SDL's order; without one SDL would fall back to drawing
// nowhere. The player may still name any in SDL_VIDEODRIVER, but never a
// Wayland compositor that SDL would crash on.
void ChooseDrivers() {
    if (SDL_GetHint(SDL_HINT_VIDEODRIVER) == nullptr) {
        char drivers[32] = "";
        if (SDL_getenv("DISPLAY") != nullptr) SDL_strlcat(drivers, "x11,", sizeof drivers);
        if (SDL_getenv("WAYLAND_DISPLAY") != nullptr)
            SDL_strlcat(drivers, "wayland,", sizeof drivers);
        SDL_strlcat(drivers, "KMSDRM", sizeof drivers);
        SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers);
    }
    const char* list = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    char kept[256] = "";
    bool wayland = false;
    for (const char* name = list; name != nullptr && *name != 0;) {
        const char* comma = std::strchr(name, ',');
        const size_t length =
            comma != nullptr ? static_cast<size_t>(comma - name) : std::strlen(name);
        if (IsDriver(name, length, "wayland")) {
            wayland = true;
        } else if (length > 0 && std::strlen(kept) + length + 2 <= sizeof kept) {
            if (kept[0] != 0) SDL_strlcat(kept, ",", sizeof kept);
            std::strncat(kept, name, length);
        }
        name = comma != nullptr ? comma + 1 : nullptr;
    }
    if (!wayland) return;
    Video.waylandTrouble = WaylandTrouble();
    if (Video.waylandTrouble == nullptr) return;
    // An empty list would have SDL try every system, Wayland too.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, kept[0] != 0 ? kept : "KMSDRM",
                            SDL_HINT_OVERRIDE);
}

// The X screen a display name (host:number.screen) chooses; 0 when it
// names none.
long XScreenNamed(const char* name) {
    const char* colon = name != nullptr ? std::strrchr(name, ':') : nullptr;
    const char* dot = colon != nullptr ? std::strchr(colon, '.') : nullptr;
    return dot != nullptr ? std::strtol(dot + 1, nullptr, 10) : 0;
}
