#ifndef DIRECTPRESENTER_H
#define DIRECTPRESENTER_H

#include <QImage>
#include <QSize>

#include <functional>
#include <memory>

class QSocketNotifier;
class QWidget;

// Puts live pictures straight into a widget's window, past the toolkit's
// painting: the frame callback scales each frame into shared memory, and
// showing it is one request to the X server, which copies it from there.
// Painting through the window's backing store instead costs a copy of every
// picture, a round trip to the server before each paint and a flush, on the
// user-interface thread, for every frame.
//
// The pictures go into a window of our own, a child of the widget's native
// window covering it, so the toolkit never paints over them; hiding it shows
// what the toolkit paints (the shapes being drawn, an empty label). Exists
// only on an X server of this machine with shared memory (Create answers
// null elsewhere: other platforms, the offscreen one the tests use, a remote
// display); SDKDEMO_DIRECT_VIDEO=0 turns it off.
//
// Threading model: Allocator() may run on any thread (it only makes shared
// memory); everything else runs on the user-interface thread, which alone
// talks to the server over the presenter's own connection. A picture stays
// held while the server may still read it, so its buffer is not written over.
class DirectPresenter
{
public:
    static std::unique_ptr<DirectPresenter> Create(QWidget *widget);
    ~DirectPresenter();
    DirectPresenter(const DirectPresenter &) = delete;
    DirectPresenter &operator=(const DirectPresenter &) = delete;

    // Makes RGB32 pictures in shared memory (a null image when it cannot:
    // the caller then makes its own). Outlives the presenter safely.
    std::function<QImage(const QSize &)> Allocator() const;

    // Shows `picture` at the window's top left, over the widget.
    void Show(const QImage &picture);
    // Uncovers the widget.
    void Hide();
    bool IsShown() const { return m_shown; }
    // False once the connection to the server broke: the caller paints.
    bool Usable() const;
    // Follows the widget's size.
    void Resize(const QSize &size);

    struct Shared;

private:
    explicit DirectPresenter(std::shared_ptr<Shared> shared, uint32_t window);
    void Put(const QImage &picture);
    // Reads what the server sent: finished puts, exposures.
    void Drain();

    std::shared_ptr<Shared> m_shared;
    const uint32_t m_window;
    uint32_t m_gc = 0;
    bool m_shown = false;
    QImage m_last;
    QSocketNotifier *m_notifier = nullptr;
};

#endif // DIRECTPRESENTER_H
