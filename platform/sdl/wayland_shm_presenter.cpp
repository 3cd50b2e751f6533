#include "platform/sdl/wayland_shm_presenter.h"

#include <SDL_syswm.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/platform.h"

namespace sdlbackend {

namespace {

constexpr uint32_t SHM_FORMAT = WL_SHM_FORMAT_XRGB8888;  // every wl_shm serves it
constexpr int32_t BYTES_PER_PIXEL = 4;
constexpr PictureRect WHOLE_PICTURE{0, 0, platform::PICTURE_WIDTH, platform::PICTURE_HEIGHT};
}  // namespace

WaylandShmPresenter::WaylandShmPresenter(SDL_Window* window, uint16_t* shadowStorage)
    : window_(window), scaler_(platform::PICTURE_WIDTH, platform::PICTURE_HEIGHT), tracker_(shadowStorage) {}

std::unique_ptr<WaylandShmPresenter> WaylandShmPresenter::create(SDL_Window* window, uint16_t* shadowStorage,
                                                                 std::string* why) {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || SDL_strcasecmp(driver, "wayland") != 0) {
        *why = "not on SDL's wayland driver";
        return nullptr;
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info)) {
        *why = std::string("SDL_GetWindowWMInfo failed: ") + SDL_GetError();
        return nullptr;
    }
    if (info.subsystem != SDL_SYSWM_WAYLAND || info.info.wl.display == nullptr || info.info.wl.surface == nullptr) {
        *why = "SDL_GetWindowWMInfo gives no Wayland surface";
        return nullptr;
    }
    std::unique_ptr<SDL_PixelFormat, decltype(&SDL_FreeFormat)> format(SDL_AllocFormat(SDL_PIXELFORMAT_XRGB8888),
                                                                       SDL_FreeFormat);
    std::unique_ptr<WaylandShmPresenter> presenter;
    try {
        if (!format) throw std::bad_alloc();
        presenter.reset(new WaylandShmPresenter(window, shadowStorage));
        buildColourTable(format.get(), &presenter->colourTable_);
    } catch (const std::bad_alloc&) {
        *why = "no memory for the presenting tables";
        return nullptr;
    }
    if (!presenter->bind(info.info.wl.display, info.info.wl.surface, why)) return nullptr;
    return presenter;
}

void WaylandShmPresenter::onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                                   uint32_t version) {
    auto* self = static_cast<WaylandShmPresenter*>(data);
    if (self->shm_ == nullptr && std::strcmp(interface, wl_shm_interface.name) == 0) {
        self->shm_ = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (self->compositor_ == nullptr && std::strcmp(interface, wl_compositor_interface.name) == 0) {
        // Version 4 has damage in buffer pixels.
        const uint32_t bound = version < 4 ? version : 4;
        self->compositor_ =
            static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, bound));
    } else if (self->subcompositor_ == nullptr && std::strcmp(interface, wl_subcompositor_interface.name) == 0) {
        self->subcompositor_ =
            static_cast<wl_subcompositor*>(wl_registry_bind(registry, name, &wl_subcompositor_interface, 1));
    }
}

void WaylandShmPresenter::onGlobalRemove(void*, wl_registry*, uint32_t) {}

bool WaylandShmPresenter::bind(wl_display* display, wl_surface* surface, std::string* why) {
    display_ = display;
    queue_ = wl_display_create_queue(display);
    if (queue_ == nullptr) {
        *why = "wl_display_create_queue failed";
        return false;
    }
    displayOnQueue_ = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    surfaceOnQueue_ = static_cast<wl_surface*>(wl_proxy_create_wrapper(surface));
    if (displayOnQueue_ == nullptr || surfaceOnQueue_ == nullptr) {
        *why = "wl_proxy_create_wrapper failed";
        return false;
    }
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(displayOnQueue_), queue_);
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(surfaceOnQueue_), queue_);

    static const wl_registry_listener listener = {onGlobal, onGlobalRemove};
    registry_ = wl_display_get_registry(displayOnQueue_);
    if (registry_ == nullptr || wl_registry_add_listener(registry_, &listener, this) != 0) {
        *why = "wl_display_get_registry failed";
        return false;
    }
    // The one blocking wait, at start: the globals, on our queue alone.
    if (wl_display_roundtrip_queue(display, queue_) < 0) {
        *why = std::string("wl_display_roundtrip_queue failed: ") + std::strerror(wl_display_get_error(display));
        return false;
    }
    if (shm_ == nullptr) {
        *why = "the compositor offers no wl_shm";
        return false;
    }
    target_ = surfaceOnQueue_;
    if (compositor_ != nullptr && subcompositor_ != nullptr) {
        child_ = wl_compositor_create_surface(compositor_);
        subsurface_ = wl_subcompositor_get_subsurface(subcompositor_, child_, surface);
        // Our commits show at once, not at SDL's next commit of its surface.
        wl_subsurface_set_desync(subsurface_);
        // Pointer events go through to SDL's surface underneath.
        wl_region* none = wl_compositor_create_region(compositor_);
        wl_surface_set_input_region(child_, none);
        wl_region_destroy(none);
    }
    return true;
}

WaylandShmPresenter::~WaylandShmPresenter() {
    dropBuffers();
    if (frame_ != nullptr) wl_callback_destroy(frame_);
    if (subsurface_ != nullptr) wl_subsurface_destroy(subsurface_);
    if (child_ != nullptr) wl_surface_destroy(child_);
    if (subcompositor_ != nullptr) wl_subcompositor_destroy(subcompositor_);
    if (compositor_ != nullptr) wl_compositor_destroy(compositor_);
    if (shm_ != nullptr) wl_shm_destroy(shm_);
    if (registry_ != nullptr) wl_registry_destroy(registry_);
    if (surfaceOnQueue_ != nullptr) wl_proxy_wrapper_destroy(surfaceOnQueue_);
    if (displayOnQueue_ != nullptr) wl_proxy_wrapper_destroy(displayOnQueue_);
    if (queue_ != nullptr) wl_event_queue_destroy(queue_);
}

void WaylandShmPresenter::onRelease(void* data, wl_buffer* buffer) {
    auto* self = static_cast<WaylandShmPresenter*>(data);
    for (Buffer& b : self->buffers_)
        if (b.buffer == buffer) b.busy = false;
}

void WaylandShmPresenter::onFrame(void* data, wl_callback* callback, uint32_t /*time*/) {
    auto* self = static_cast<WaylandShmPresenter*>(data);
    wl_callback_destroy(callback);
    if (self->frame_ == callback) self->frame_ = nullptr;
}

bool WaylandShmPresenter::makeBuffers(int32_t width, int32_t height, int32_t scale) {
    dropBuffers();
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
    const int32_t stride = width * BYTES_PER_PIXEL;
    const size_t bufferSize = static_cast<size_t>(stride) * static_cast<size_t>(height);
    // The backdrop comes last and is never written: zero is black in XRGB.
    const size_t size = bufferSize * (buffers_.size() + 1);
    const int fd = memfd_create("quillmara-shm", MFD_CLOEXEC);
    if (fd < 0) return false;
    void* memory = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(size)) == 0)
        memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<int32_t>(size));
    close(fd);  // the pool holds its own reference
    memory_ = static_cast<uint8_t*>(memory);
    memorySize_ = size;
    static const wl_buffer_listener listener = {onRelease};
    for (size_t i = 0; i < buffers_.size(); ++i) {
        Buffer& b = buffers_[i];
        b.buffer =
            wl_shm_pool_create_buffer(pool, static_cast<int32_t>(i * bufferSize), width, height, stride, SHM_FORMAT);
        b.pixels = memory_ + i * bufferSize;
        b.busy = false;
        wl_buffer_add_listener(b.buffer, &listener, this);
    }
    backdrop_ = wl_shm_pool_create_buffer(pool, static_cast<int32_t>(buffers_.size() * bufferSize), width, height,
                                          stride, SHM_FORMAT);
    wl_shm_pool_destroy(pool);  // the buffers keep the memory shared
    try {
        scaler_ = Scaler(width, height);
    } catch (const std::bad_alloc&) {
        dropBuffers();
        return false;
    }
    width_ = width;
    height_ = height;
    stride_ = stride;
    scale_ = scale;
    fresh_ = true;
    damage_.resetAll();
    chooseTarget(width, height, scale);
    return true;
}

// Our own surface when the window's scale is a whole number, which buffer
// scale can say; SDL's surface, with SDL's viewport on it, otherwise.
void WaylandShmPresenter::chooseTarget(int32_t width, int32_t height, int32_t scale) {
    wl_surface* window = surfaceOnQueue_;
    if (child_ != nullptr && scale > 0) {
        wl_surface_set_buffer_scale(child_, scale);
        wl_region* opaque = wl_compositor_create_region(compositor_);
        wl_region_add(opaque, 0, 0, width / scale, height / scale);
        wl_surface_set_opaque_region(child_, opaque);
        wl_region_destroy(opaque);
        // SDL's surface must hold a buffer for it and the child to be shown.
        wl_surface_attach(window, backdrop_, 0, 0);
        wl_surface_damage(window, 0, 0, INT32_MAX, INT32_MAX);
        wl_surface_commit(window);
        target_ = child_;
    } else {
        if (child_ != nullptr && target_ == child_) {
            wl_surface_attach(child_, nullptr, 0, 0);
            wl_surface_commit(child_);
        }
        target_ = window;
    }
    damageInBuffer_ =
        wl_proxy_get_version(reinterpret_cast<wl_proxy*>(target_)) >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION;
}

void WaylandShmPresenter::dropBuffers() {
    for (Buffer& b : buffers_) {
        if (b.buffer != nullptr) wl_buffer_destroy(b.buffer);
        b = Buffer{};
    }
    if (backdrop_ != nullptr) wl_buffer_destroy(backdrop_);
    backdrop_ = nullptr;
    if (memory_ != nullptr) munmap(memory_, memorySize_);
    memory_ = nullptr;
    memorySize_ = 0;
    width_ = height_ = stride_ = scale_ = 0;
}

// Runs our handlers for whatever has arrived, without waiting: events SDL's
// pump already read, then whatever is on the socket now.
void WaylandShmPresenter::dispatch() {
    while (wl_display_prepare_read_queue(display_, queue_) != 0) wl_display_dispatch_queue_pending(display_, queue_);
    wl_display_flush(display_);
    pollfd fd{wl_display_get_fd(display_), POLLIN, 0};
    if (poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN) != 0)
        wl_display_read_events(display_);
    else
        wl_display_cancel_read(display_);
    wl_display_dispatch_queue_pending(display_, queue_);
}

bool WaylandShmPresenter::prepare() {
    int width = 0, height = 0, unitsWide = 0, unitsHigh = 0;
    SDL_GetWindowSizeInPixels(window_, &width, &height);
    SDL_GetWindowSize(window_, &unitsWide, &unitsHigh);
    int32_t scale = unitsWide > 0 ? width / unitsWide : 0;
    if (scale <= 0 || width != unitsWide * scale || height != unitsHigh * scale) scale = 0;
    if (memory_ != nullptr && width == width_ && height == height_ && scale == scale_) return true;
    if (!makeBuffers(width, height, scale)) return false;
    tracker_.invalidate();
    return true;
}

WaylandShmPresenter::Outcome WaylandShmPresenter::present(const uint16_t* picture, const uint8_t* hints) {
    if (!prepare()) {
        tracker_.update(picture, hints);  // kept for a later size that works
        tracker_.invalidate();
        return Outcome::FAILED;
    }
    damage_.changed(tracker_.update(picture, hints));
    if (!damage_.anyDamage()) return Outcome::NOTHING;

    dispatch();
    // New buffers are shown at once: the old ones are gone from the surface.
    if (frame_ != nullptr && !fresh_) return Outcome::LATER;
    int index = -1;
    for (size_t i = 0; i < buffers_.size(); ++i)
        if (!buffers_[i].busy) {
            index = static_cast<int>(i);
            break;
        }
    if (index < 0) return Outcome::LATER;

    PixelTarget target;
    target.pixels = buffers_[index].pixels;
    target.pitch = stride_;
    target.width = width_;
    target.height = height_;
    target.bytesPerPixel = BYTES_PER_PIXEL;
    // The shadow holds the newest picture everywhere, whatever it lacks.
    const uint16_t* shown = tracker_.shadow();
    if (damage_.needsClear(index)) {
        Scaler::fill(target, colourTable_[0]);  // black bars
        scaler_.scale(shown, WHOLE_PICTURE, colourTable_.data(), target);
    } else {
        for (const PictureRect& rect : damage_.staleIn(index)) scaler_.scale(shown, rect, colourTable_.data(), target);
    }
    commit(index);
    return Outcome::SHOWN;
}

void WaylandShmPresenter::commit(int index) {
    wl_surface* surface = target_;
    wl_surface_attach(surface, buffers_[index].buffer, 0, 0);
    if (damage_.damageAll() || !damageInBuffer_) {
        if (damageInBuffer_)
            wl_surface_damage_buffer(surface, 0, 0, width_, height_);
        else
            wl_surface_damage(surface, 0, 0, INT32_MAX, INT32_MAX);
    } else {
        for (const PictureRect& rect : damage_.damage()) {
            WindowRect out = scaler_.windowRectOf(rect);
            if (out.w > 0 && out.h > 0) wl_surface_damage_buffer(surface, out.x, out.y, out.w, out.h);
        }
    }
    static const wl_callback_listener listener = {onFrame};
    if (frame_ != nullptr) wl_callback_destroy(frame_);
    frame_ = wl_surface_frame(surface);
    wl_callback_add_listener(frame_, &listener, this);
    wl_surface_commit(surface);
    wl_display_flush(display_);
    buffers_[index].busy = true;
    fresh_ = false;
    damage_.committed(index);
}

}  // namespace sdlbackend
