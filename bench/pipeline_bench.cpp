// Whole-pipeline cost of live video, measured with per-thread CPU clocks.
//
// For each stream (640x512 thermal, 1920x1080 visible) and rate (25, 50 fps)
// it runs, in one process under one X server:
//  1. the real client: MainWindow logged in to the simulated PTZ camera with
//     the preview open, frames painted into the video label at its size;
//  2. a minimal Qt viewer: the same device frames, deep-copied in the
//     library's callback, sent through a queued signal and painted into a
//     widget of the label's size.
// Reported per delivered frame: the device's synthesis CPU, the frame
// callback's CPU, the user-interface thread's CPU, and their sum for the client
// side (callback + UI thread), plus the client/viewer ratio.
//
// Run under Xvfb: scripts/bench.sh (or xvfb-run build/bench/pipeline_bench).

#include "MainWindow.h"
#include "TMVNetSDK.h"
#include "TMVSimControl.h"
#include "VideoLabel.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

const char *const kDevice = "127.0.0.11";
constexpr int kWarmupMs = 1500;
constexpr int kMeasureMs = 5000;

int64_t threadCpuNs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct Figures {
    int64_t frames = 0;
    double synthesisMs = 0, callbackMs = 0, uiMs = 0;
    double clientMs() const { return callbackMs + uiMs; }
};

// Lets the event loop run for `ms`, then reads what the device and this
// (user-interface) thread spent meanwhile.
Figures measure()
{
    QTest::qWait(kWarmupMs);
    TMVSim_ResetStreamStats(kDevice);
    const int64_t uiStart = threadCpuNs();
    QTest::qWait(kMeasureMs);
    const int64_t uiNs = threadCpuNs() - uiStart;
    Figures f;
    TMVSimStreamStats total{}, s{};
    for (int channel = 0; channel < 2; ++channel) {
        TMVSim_GetStreamStats(kDevice, channel, &s);
        total.frames += s.frames;
        total.synthesisCpuNs += s.synthesisCpuNs;
        total.callbackCpuNs += s.callbackCpuNs;
    }
    f.frames = total.frames;
    if (f.frames > 0) {
        f.synthesisMs = total.synthesisCpuNs / 1e6 / f.frames;
        f.callbackMs = total.callbackCpuNs / 1e6 / f.frames;
        f.uiMs = uiNs / 1e6 / f.frames;
    }
    return f;
}

template <typename T>
T *child(QWidget *root, const char *name)
{
    T *w = root->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no widget named %s", name);
    return w;
}

Figures runClient(int channel, int fps, QSize *labelSize)
{
    MainWindow window;
    window.show();
    QTest::qWait(200);
    child<QComboBox>(&window, "IPcomboBox")->setEditText(QString::fromLatin1(kDevice));
    QTest::mouseClick(child<QPushButton>(&window, "loginBtn"), Qt::LeftButton);
    if (window.Handle() == nullptr)
        qFatal("login failed");
    QTest::mouseClick(child<QRadioButton>(&window, channel ? "onlineChannel1RadioBtn" : "onlineChannel0RadioBtn"),
                      Qt::LeftButton);
    TMVSim_SetFrameRate(kDevice, channel, fps);
    QTest::mouseClick(child<QPushButton>(&window, "previewBtn"), Qt::LeftButton);
    *labelSize = window.GetVideoLabel()->size();
    Figures f = measure();
    QTest::mouseClick(child<QPushButton>(&window, "previewBtn"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&window, "loginBtn"), Qt::LeftButton);
    return f;
}

// The smallest reasonable viewer: deep copy in the producer's thread, queued
// signal, drawImage stretched over the widget.
class MinimalViewer : public QWidget {
    Q_OBJECT
public:
    static void onFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *frame, void *user)
    {
        QImage copy = QImage(frame->data, frame->width, frame->height, frame->width * 4, QImage::Format_RGBA8888).copy();
        QMetaObject::invokeMethod(static_cast<MinimalViewer *>(user), "show", Qt::QueuedConnection,
                                  Q_ARG(QImage, copy));
    }
public slots:
    void show(const QImage &image)
    {
        image_ = image;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(rect(), image_);
    }

private:
    QImage image_;
};

Figures runViewer(int channel, int fps, QSize size)
{
    MinimalViewer viewer;
    viewer.setFixedSize(size);
    viewer.QWidget::show();
    TMV_NET_LOGIN_INFO info;
    std::memset(&info, 0, sizeof info);
    std::strcpy(info.ip, kDevice);
    info.port = 80;
    std::strcpy(info.userName, "admin");
    std::strcpy(info.password, "sensor852");
    TMV_NET_HANDLE handle = nullptr;
    if (TMV_NET_Login(&info, &handle) != 0)
        qFatal("viewer login failed");
    TMVSim_SetFrameRate(kDevice, channel, fps);
    TMV_NET_PREVIEW_INFO preview{channel, 0, 2};
    TMV_NET_StartPreview_V2(handle, &preview, MinimalViewer::onFrame, &viewer);
    Figures f = measure();
    TMV_NET_StopPreview(handle);
    TMV_NET_Logout(handle);
    QTest::qWait(100);  // drain queued frames
    return f;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    qRegisterMetaType<QImage>();
    TMV_NET_Init();
    std::printf("%-22s %7s %10s %10s %10s %10s | %10s %10s %10s | %6s\n", "stream", "frames", "synth ms",
                "client cb", "client ui", "client", "viewer cb", "viewer ui", "viewer", "ratio");
    struct Case {
        const char *name;
        int channel;
        int fps;
    } cases[] = {{"640x512 thermal 25", 0, 25},
                 {"640x512 thermal 50", 0, 50},
                 {"1920x1080 visible 25", 1, 25},
                 {"1920x1080 visible 50", 1, 50}};
    for (const Case &c : cases) {
        QSize labelSize;
        const Figures client = runClient(c.channel, c.fps, &labelSize);
        const Figures viewer = runViewer(c.channel, c.fps, labelSize);
        std::printf("%-22s %7lld %10.3f %10.3f %10.3f %10.3f | %10.3f %10.3f %10.3f | %6.2f   (label %dx%d)\n",
                    c.name, (long long)client.frames, client.synthesisMs, client.callbackMs, client.uiMs,
                    client.clientMs(), viewer.callbackMs, viewer.uiMs, viewer.clientMs(),
                    viewer.clientMs() > 0 ? client.clientMs() / viewer.clientMs() : 0.0, labelSize.width(),
                    labelSize.height());
        std::fflush(stdout);
    }
    TMV_NET_Deinit();
    return 0;
}

#include "pipeline_bench.moc"
