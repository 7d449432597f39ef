#include "liveview/DirectPresenter.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <deque>
#include <mutex>
#include <unordered_map>

namespace {

// A picture the server may still be reading: held until it says it is done.
struct InFlight
{
    uint32_t sequence;
    QImage picture;
};

struct Segment
{
    int id = -1;
    uint32_t attached = 0;  // the server's name for it, 0 before the first put
};

struct Reply
{
    void *data;
    explicit Reply(void *d) : data(d) {}
    ~Reply() { std::free(data); }
};

bool IsRgb32Visual(const xcb_screen_t *screen)
{
    for (xcb_depth_iterator_t depth = xcb_screen_allowed_depths_iterator(screen); depth.rem;
         xcb_depth_next(&depth)) {
        for (xcb_visualtype_iterator_t visual = xcb_depth_visuals_iterator(depth.data); visual.rem;
             xcb_visualtype_next(&visual)) {
            if (visual.data->visual_id == screen->root_visual)
                return depth.data->depth == 24 && visual.data->red_mask == 0xff0000 &&
                       visual.data->green_mask == 0xff00 && visual.data->blue_mask == 0xff;
        }
    }
    return false;
}

}  // namespace

struct DirectPresenter::Shared
{
    xcb_connection_t *connection = nullptr;
    uint8_t completion = 0;  // the event type of a finished shared-memory put
    std::mutex mutex;        // guards segments
    std::unordered_map<const uchar *, Segment> segments;
    std::deque<InFlight> inFlight;  // user-interface thread only

    ~Shared()
    {
        if (connection)
            xcb_disconnect(connection);
    }

    // A picture's buffer is released by its last holder, on any thread.
    struct Release
    {
        std::shared_ptr<Shared> shared;
        uchar *address;
    };
    static void Free(void *info)
    {
        auto *release = static_cast<Release *>(info);
        Shared &shared = *release->shared;
        {
            std::lock_guard<std::mutex> lock(shared.mutex);
            const auto found = shared.segments.find(release->address);
            if (found != shared.segments.end()) {
                if (found->second.attached) {
                    xcb_shm_detach(shared.connection, found->second.attached);
                    xcb_flush(shared.connection);
                } else {
                    shmctl(found->second.id, IPC_RMID, nullptr);
                }
                shared.segments.erase(found);
            }
        }
        shmdt(release->address);
        delete release;
    }
};

std::unique_ptr<DirectPresenter> DirectPresenter::Create(QWidget *widget)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || qgetenv("SDKDEMO_DIRECT_VIDEO") == "0")
        return nullptr;
    auto shared = std::make_shared<Shared>();
    int screenNumber = 0;
    shared->connection = xcb_connect(nullptr, &screenNumber);
    xcb_connection_t *c = shared->connection;
    if (xcb_connection_has_error(c))
        return nullptr;
    const xcb_query_extension_reply_t *shm = xcb_get_extension_data(c, &xcb_shm_id);
    if (!shm || !shm->present)
        return nullptr;
    shared->completion = uint8_t(shm->first_event + XCB_SHM_COMPLETION);
    // Shared memory works only with a server on this machine: a segment the
    // server cannot attach says it is not.
    Reply version(xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr));
    if (!version.data)
        return nullptr;

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem || !IsRgb32Visual(screens.data))
        return nullptr;

    // The widget gets a native window, which the toolkit moves, sizes and
    // hides with the widget. Its ancestors get one too: the toolkit moves a
    // native window only with a native parent; their siblings need none.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    const auto parent = uint32_t(widget->winId());
    // The toolkit creates it over its own connection: usable here once the
    // server knows it, and only in the screen's own format.
    Reply geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, parent), nullptr));
    if (!geometry.data || static_cast<xcb_get_geometry_reply_t *>(geometry.data)->depth != 24)
        return nullptr;

    const uint32_t window = xcb_generate_id(c);
    // No background (an exposure keeps the old picture until the next put)
    // and no pointer events: those go on to the widget's window beneath.
    const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, XCB_EVENT_MASK_EXPOSURE};
    const QSize size = widget->size().expandedTo(QSize(1, 1));
    xcb_void_cookie_t made = xcb_create_window_checked(
        c, XCB_COPY_FROM_PARENT, window, parent, 0, 0, uint16_t(size.width()), uint16_t(size.height()), 0,
        XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXMAP | XCB_CW_EVENT_MASK, values);
    if (xcb_generic_error_t *error = xcb_request_check(c, made)) {
        std::free(error);
        return nullptr;
    }
    return std::unique_ptr<DirectPresenter>(new DirectPresenter(std::move(shared), window));
}

DirectPresenter::DirectPresenter(std::shared_ptr<Shared> shared, uint32_t window)
    : m_shared(std::move(shared)), m_window(window)
{
    xcb_connection_t *c = m_shared->connection;
    m_gc = xcb_generate_id(c);
    xcb_create_gc(c, m_gc, m_window, 0, nullptr);
    xcb_flush(c);
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(c), QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, [this] { Drain(); });
}

DirectPresenter::~DirectPresenter()
{
    delete m_notifier;
    xcb_connection_t *c = m_shared->connection;
    xcb_free_gc(c, m_gc);
    xcb_destroy_window(c, m_window);
    xcb_flush(c);
    // The pictures still on their way are let go: the server finishes each
    // request before it reads the detach that their release sends.
    m_shared->inFlight.clear();
}

std::function<QImage(const QSize &)> DirectPresenter::Allocator() const
{
    std::weak_ptr<Shared> weak = m_shared;
    return [weak](const QSize &size) -> QImage {
        std::shared_ptr<Shared> shared = weak.lock();
        if (!shared || size.isEmpty())
            return QImage();
        const size_t bytes = size_t(size.width()) * size_t(size.height()) * 4;
        const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (id < 0)
            return QImage();
        void *address = shmat(id, nullptr, 0);
        if (address == reinterpret_cast<void *>(-1)) {
            shmctl(id, IPC_RMID, nullptr);
            return QImage();
        }
        auto *bits = static_cast<uchar *>(address);
        {
            std::lock_guard<std::mutex> lock(shared->mutex);
            shared->segments[bits].id = id;
        }
        return QImage(bits, size.width(), size.height(), size.width() * 4, QImage::Format_RGB32, &Shared::Free,
                      new Shared::Release{shared, bits});
    };
}

bool DirectPresenter::Usable() const
{
    return xcb_connection_has_error(m_shared->connection) == 0;
}

void DirectPresenter::Show(const QImage &picture)
{
    Drain();
    m_last = picture;
    if (!m_shown) {
        xcb_map_window(m_shared->connection, m_window);
        m_shown = true;
    }
    Put(picture);
}

void DirectPresenter::Hide()
{
    if (!m_shown)
        return;
    xcb_unmap_window(m_shared->connection, m_window);
    xcb_flush(m_shared->connection);
    m_shown = false;
}

void DirectPresenter::Resize(const QSize &size)
{
    const uint32_t values[] = {uint32_t(qMax(1, size.width())), uint32_t(qMax(1, size.height()))};
    xcb_configure_window(m_shared->connection, m_window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(m_shared->connection);
}

void DirectPresenter::Put(const QImage &picture)
{
    if (picture.isNull() || picture.format() != QImage::Format_RGB32)
        return;
    xcb_connection_t *c = m_shared->connection;
    const auto width = uint16_t(picture.width());
    const auto height = uint16_t(picture.height());

    Segment segment;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        const auto found = m_shared->segments.find(picture.constBits());
        if (found != m_shared->segments.end())
            segment = found->second;
    }
    if (segment.id >= 0 && !segment.attached) {
        // First put of this buffer: the server attaches it once; afterwards
        // it may be removed by name, as the last detach frees it.
        const uint32_t name = xcb_generate_id(c);
        xcb_generic_error_t *error = xcb_request_check(c, xcb_shm_attach_checked(c, name, uint32_t(segment.id), 1));
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        auto found = m_shared->segments.find(picture.constBits());
        if (error) {
            std::free(error);
            segment.id = -1;
        } else if (found != m_shared->segments.end()) {
            shmctl(segment.id, IPC_RMID, nullptr);
            found->second.attached = segment.attached = name;
        }
    }

    if (segment.attached) {
        const xcb_void_cookie_t put = xcb_shm_put_image(c, m_window, m_gc, width, height, 0, 0, width, height, 0, 0,
                                                        24, XCB_IMAGE_FORMAT_Z_PIXMAP, 1, segment.attached, 0);
        m_shared->inFlight.push_back({put.sequence, picture});
    } else {
        // Not ours (a still picture) or not attachable: through the socket,
        // in bands a request can hold.
        const uint32_t maxBytes = xcb_get_maximum_request_length(c) * 4u - 64u;
        const int stride = picture.bytesPerLine();
        const int band = qMax(1, int(maxBytes / uint32_t(stride)));
        for (int top = 0; top < height; top += band) {
            const int rows = qMin(band, height - top);
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, m_window, m_gc, width, uint16_t(rows), 0, int16_t(top), 0, 24,
                          uint32_t(rows * stride), picture.constScanLine(top));
        }
    }
    xcb_flush(c);
}

void DirectPresenter::Drain()
{
    xcb_connection_t *c = m_shared->connection;
    std::deque<InFlight> &inFlight = m_shared->inFlight;
    bool exposed = false;
    while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == m_shared->completion) {
            const auto *done = reinterpret_cast<xcb_shm_completion_event_t *>(event);
            // Puts finish in order: this one and every one before it.
            while (!inFlight.empty() && int16_t(uint16_t(inFlight.front().sequence) - done->sequence) <= 0)
                inFlight.pop_front();
        } else if (type == 0) {
            // A failed request (the window gone): no completion will come.
            const auto *error = reinterpret_cast<xcb_generic_error_t *>(event);
            while (!inFlight.empty() && int16_t(uint16_t(inFlight.front().sequence) - error->sequence) <= 0)
                inFlight.pop_front();
        } else if (type == XCB_EXPOSE) {
            exposed = true;
        }
        std::free(event);
    }
    if (exposed && m_shown)
        Put(m_last);
}
