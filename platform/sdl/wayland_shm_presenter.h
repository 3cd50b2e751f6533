// Presenting on SDL's wayland driver through wl_shm: the picture is scaled
// into one of two shared-memory buffers, with damage for the changed tiles
// only. SDL's own window surface on Wayland is texture-backed and uploads
// and draws the whole window through GL at every present, which without a
// GPU is a software GL (see docs/performance.md).
//
// The buffers go to a subsurface of our own that covers the window's
// wl_surface (SDL_GetWindowWMInfo gives it) and lets its input through.
// SDL 2.26 damages its surface whole at each of its frame callbacks, which
// would make the compositor redraw the whole window at every commit; the
// window's surface itself holds one black buffer, hidden underneath. Where
// the window's scale is not a whole number (SDL then sets a viewport on its
// surface) or there is no wl_subcompositor, the buffers go to the window's
// surface itself.
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
struct wl_compositor;
struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct wl_shm;
struct wl_subcompositor;
struct wl_subsurface;
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

    // Has the two buffers of the window's size in pixels ready (makes them
    // when the size is new). False when their shared memory cannot be had.
    // Called once before the first present; present calls it every time.
    bool prepare();

    // Takes `picture` (800x600 RGB565) into the shadow and shows it in a
    // buffer of the window's size in pixels when the compositor is ready.
    // `hints` as ChangeTracker::update.
    Outcome present(const uint16_t* picture, const uint8_t* hints);

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
    bool makeBuffers(int32_t width, int32_t height, int32_t scale);
    void chooseTarget(int32_t width, int32_t height, int32_t scale);
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
    wl_compositor* compositor_ = nullptr;
    wl_subcompositor* subcompositor_ = nullptr;
    wl_surface* child_ = nullptr;  // ours, over SDL's; null without wl_subcompositor
    wl_subsurface* subsurface_ = nullptr;
    wl_buffer* backdrop_ = nullptr;  // black, on SDL's surface while the child shows the picture
    wl_surface* target_ = nullptr;   // where the buffers go: child_ or surfaceOnQueue_
    bool damageInBuffer_ = false;    // the target is wl_surface v4: damage in buffer pixels
    wl_callback* frame_ = nullptr;   // pending frame callback of the last commit

    std::array<Buffer, WaylandBufferDamage::BUFFERS> buffers_;
    uint8_t* memory_ = nullptr;  // both buffers and the backdrop, one mapping
    size_t memorySize_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t scale_ = 0;   // window pixels per surface unit; 0 when not a whole number
    bool fresh_ = false;  // new buffers, not committed yet
    int32_t stride_ = 0;

    std::vector<uint32_t> colourTable_;
    Scaler scaler_;
    ChangeTracker tracker_;
    WaylandBufferDamage damage_;
};

}  // namespace sdlbackend
