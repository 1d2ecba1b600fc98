#include "dialogs/wayland_offer.h"

#include <dlfcn.h>
#include <wayland-client.h>

#include <string>
#include <vector>

namespace quorvel::dialogs {

CompositorOffer offerOf(const std::vector<std::string>& globals) {
    CompositorOffer offer;
    for (const std::string& name : globals) {
        offer.titleBars |= name == "zxdg_decoration_manager_v1";
    }
    return offer;
}

namespace {

void addGlobal(void* data, wl_registry* /*registry*/, uint32_t /*name*/, const char* interface,
               uint32_t /*version*/) {
    static_cast<std::vector<std::string>*>(data)->emplace_back(interface);
}

void removeGlobal(void* /*data*/, wl_registry* /*registry*/, uint32_t /*name*/) {}

// libwayland-client, opened only when a Wayland display is asked: on X11 the
// game neither loads nor links it (start-up pays nothing for it). On Wayland Qt
// has loaded it already.
class WaylandClient {
  public:
    WaylandClient() : handle_(dlopen("libwayland-client.so.0", RTLD_LAZY | RTLD_LOCAL)) {}
    ~WaylandClient() {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    WaylandClient(const WaylandClient&) = delete;
    WaylandClient& operator=(const WaylandClient&) = delete;

    template <typename T>
    T* get(const char* name) const {
        return handle_ != nullptr ? reinterpret_cast<T*>(dlsym(handle_, name)) : nullptr;
    }

  private:
    void* handle_;
};

// The names of the display's globals, after one round trip; none where no
// display answers.
std::vector<std::string> globalsOf(const WaylandClient& client) {
    const auto connect = client.get<wl_display*(const char*)>("wl_display_connect");
    const auto disconnect = client.get<void(wl_display*)>("wl_display_disconnect");
    const auto roundtrip = client.get<int(wl_display*)>("wl_display_roundtrip");
    const auto marshal =
        client.get<wl_proxy*(wl_proxy*, uint32_t, const wl_interface*, uint32_t, uint32_t, ...)>(
            "wl_proxy_marshal_flags");
    const auto version = client.get<uint32_t(wl_proxy*)>("wl_proxy_get_version");
    const auto listen = client.get<int(wl_proxy*, void (**)(void), void*)>("wl_proxy_add_listener");
    const auto destroy = client.get<void(wl_proxy*)>("wl_proxy_destroy");
    const auto* registryInterface = client.get<const wl_interface>("wl_registry_interface");
    std::vector<std::string> globals;
    if (!connect || !disconnect || !roundtrip || !marshal || !version || !listen || !destroy ||
        !registryInterface) {
        return globals;
    }
    wl_display* display = connect(nullptr);
    if (display == nullptr) {
        return globals;
    }
    // What wl_display_get_registry and wl_registry_add_listener do.
    auto* displayProxy = reinterpret_cast<wl_proxy*>(display);
    wl_proxy* registry = marshal(displayProxy, WL_DISPLAY_GET_REGISTRY, registryInterface,
                                 version(displayProxy), 0, nullptr);
    static const wl_registry_listener listener{addGlobal, removeGlobal};
    if (registry != nullptr) {
        listen(registry,
               reinterpret_cast<void (**)(void)>(const_cast<wl_registry_listener*>(&listener)),
               &globals);
        roundtrip(display);
        destroy(registry);
    }
    disconnect(display);
    return globals;
}

}  // namespace

std::vector<std::string> compositorGlobals() {
    const WaylandClient client;
    return globalsOf(client);
}

CompositorOffer askCompositor() {
    return offerOf(compositorGlobals());
}

}  // namespace quorvel::dialogs
