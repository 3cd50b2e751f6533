// Presenting on SDL's wayland driver through wl_shm: the picture is scaled
// into one of two shared-memory buffers attached to the window's own
// wl_surface (SDL_GetWindowWMInfo gives it), with damage for the changed
// tiles only. SDL's own window surface on Wayland is texture-backed and
// uploads and draws the whole window through GL at every present, which
// without a GPU is a software GL (see docs/performance.md).
//
// Every object of ours lives on a queue of our own, so SDL's event pump
// never runs our handlers and we never run SDL's. A commit waits for the
// compositor's frame callback of the one before and for a buffer it has
// released; until then the newest picture is kept and shown later.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sdl/change_tracker.h"
#include "platform/sdl/scaler.h"
#include "platform/sdl/wayland_buffer_damage.h"

struct wl_buffer;
struct wl_callback;
struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct wl_shm;
struct wl_surface;

namespace sdlbackend {

class WaylandShmPresenter {
public:
    enum class Outcome {
        SHOWN,    // committed to the compositor
        NOTHING,  // the window already shows this picture
        LATER,    // kept: the compositor has no frame or buffer for it yet
        FAILED,   // buffers of the window's size could not be had
    };

    // Binds wl_shm for `window` when SDL runs it on its wayland driver.
    // `shadowStorage` (800x600, not owned) keeps the picture on screen.
    // Null, with the reason in `why`, when this path cannot start.
    static std::unique_ptr<WaylandShmPresenter> create(SDL_Window* window, uint16_t* shadowStorage, std::string* why);

    ~WaylandShmPresenter();
    WaylandShmPresenter(const WaylandShmPresenter&) = delete;
    WaylandShmPresenter& operator=(const WaylandShmPresenter&) = delete;

    SDL_Window* window() const { return window_; }

    // Has the two buffers of `width` x `height` window pixels ready (makes
    // them when the size is new). False when their shared memory cannot be
    // had. Called once before the first present; present calls it for
    // every new size.
    bool prepare(int32_t width, int32_t height);

    // Takes `picture` (800x600 RGB565) into the shadow and shows it in a
    // buffer of `width` x `height` window pixels (SDL_GetWindowSizeInPixels)
    // when the compositor is ready. `hints` as ChangeTracker::update. A new
    // size makes new buffers.
    Outcome present(const uint16_t* picture, const uint8_t* hints, int32_t width, int32_t height);

    // The shadow no longer matches what the buffers were drawn from (the
    // picture was kept elsewhere): the next present compares everything.
    void redrawAll() { tracker_.invalidate(); }

private:
    struct Buffer {
        wl_buffer* buffer = nullptr;
        uint8_t* pixels = nullptr;
        bool busy = false;  // attached and not yet released by the compositor
    };

    WaylandShmPresenter(SDL_Window* window, uint16_t* shadowStorage);
    bool bind(wl_display* display, wl_surface* surface, std::string* why);
    bool makeBuffers(int32_t width, int32_t height);
    void dropBuffers();
    void dispatch();
    void commit(int index);

    static void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, uint32_t name);
    static void onRelease(void* data, wl_buffer* buffer);
    static void onFrame(void* data, wl_callback* callback, uint32_t time);

    SDL_Window* window_;
    wl_display* display_ = nullptr;
    wl_event_queue* queue_ = nullptr;
    wl_display* displayOnQueue_ = nullptr;  // wrapper: the registry lands on our queue
    wl_surface* surfaceOnQueue_ = nullptr;  // wrapper of SDL's surface: frame callbacks land on our queue
    wl_registry* registry_ = nullptr;
    wl_shm* shm_ = nullptr;
    bool damageInBuffer_ = false;   // wl_surface v4: damage in buffer pixels
    wl_callback* frame_ = nullptr;  // pending frame callback of the last commit

    std::array<Buffer, WaylandBufferDamage::BUFFERS> buffers_;
    uint8_t* memory_ = nullptr;  // both buffers, one mapping
    size_t memorySize_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t stride_ = 0;

    std::vector<uint32_t> colourTable_;
    Scaler scaler_;
    ChangeTracker tracker_;
    WaylandBufferDamage damage_;
};

}  // namespace sdlbackend
