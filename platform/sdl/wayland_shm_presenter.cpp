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
                                   uint32_t /*version*/) {
    auto* self = static_cast<WaylandShmPresenter*>(data);
    if (self->shm_ == nullptr && std::strcmp(interface, wl_shm_interface.name) == 0)
        self->shm_ = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
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
    damageInBuffer_ =
        wl_proxy_get_version(reinterpret_cast<wl_proxy*>(surface)) >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION;

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
    return true;
}

WaylandShmPresenter::~WaylandShmPresenter() {
    dropBuffers();
    if (frame_ != nullptr) wl_callback_destroy(frame_);
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

bool WaylandShmPresenter::makeBuffers(int32_t width, int32_t height) {
    dropBuffers();
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
    const int32_t stride = width * BYTES_PER_PIXEL;
    const size_t bufferSize = static_cast<size_t>(stride) * static_cast<size_t>(height);
    const size_t size = bufferSize * buffers_.size();
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
    damage_.resetAll();
    return true;
}

void WaylandShmPresenter::dropBuffers() {
    for (Buffer& b : buffers_) {
        if (b.buffer != nullptr) wl_buffer_destroy(b.buffer);
        b = Buffer{};
    }
    if (memory_ != nullptr) munmap(memory_, memorySize_);
    memory_ = nullptr;
    memorySize_ = 0;
    width_ = height_ = stride_ = 0;
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

bool WaylandShmPresenter::prepare(int32_t width, int32_t height) {
    if (memory_ != nullptr && width == width_ && height == height_) return true;
    if (!makeBuffers(width, height)) return false;
    tracker_.invalidate();
    return true;
}

WaylandShmPresenter::Outcome WaylandShmPresenter::present(const uint16_t* picture, const uint8_t* hints, int32_t width,
                                                          int32_t height) {
    const bool resized = memory_ == nullptr || width != width_ || height != height_;
    if (!prepare(width, height)) {
        tracker_.update(picture, hints);  // kept for a later size that works
        tracker_.invalidate();
        return Outcome::FAILED;
    }
    damage_.changed(tracker_.update(picture, hints));
    if (!damage_.anyDamage()) return Outcome::NOTHING;

    dispatch();
    // New buffers are shown at once: the old ones are gone from the surface.
    if (frame_ != nullptr && !resized) return Outcome::LATER;
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
    wl_surface* surface = surfaceOnQueue_;
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
    damage_.committed(index);
}

}  // namespace sdlbackend
