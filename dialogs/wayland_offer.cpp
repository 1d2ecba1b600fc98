#include "dialogs/wayland_offer.h"

#include <wayland-client.h>

#include <cstring>
#include <string>
#include <vector>

namespace quorvel::dialogs {

CompositorOffer offerOf(const char* const* interfaces, int count) {
    CompositorOffer offer;
    bool fractional = false;
    bool viewporter = false;
    for (int i = 0; i < count; ++i) {
        const char* name = interfaces[i];
        offer.titleBars |= std::strcmp(name, "zxdg_decoration_manager_v1") == 0;
        fractional |= std::strcmp(name, "wp_fractional_scale_manager_v1") == 0;
        viewporter |= std::strcmp(name, "wp_viewporter") == 0;
    }
    offer.fractionalScale = fractional && viewporter;
    return offer;
}

namespace {

void addGlobal(void* data, wl_registry* /*registry*/, uint32_t /*name*/, const char* interface,
               uint32_t /*version*/) {
    static_cast<std::vector<std::string>*>(data)->emplace_back(interface);
}

void removeGlobal(void* /*data*/, wl_registry* /*registry*/, uint32_t /*name*/) {}

}  // namespace

CompositorOffer askCompositor() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return {};
    }
    std::vector<std::string> globals;
    static const wl_registry_listener listener{addGlobal, removeGlobal};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &globals);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);

    std::vector<const char*> names;
    names.reserve(globals.size());
    for (const std::string& global : globals) {
        names.push_back(global.c_str());
    }
    return offerOf(names.data(), static_cast<int>(names.size()));
}

}  // namespace quorvel::dialogs
