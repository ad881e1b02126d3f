#include "app/ui/WindowMinimizer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QSet>
#include <QTimer>

#if defined(Q_OS_LINUX)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace wvr {

#if defined(Q_OS_LINUX) && QT_CONFIG(xcb)
namespace {

constexpr int kWatchMs = 5000;  // how long windows of the new process are looked for
constexpr int kStepMs = 100;
constexpr uint32_t kIconicState = 3;

// Whether `pid` is `ancestor` or was started by it (a wrapper script's player, say).
bool DescendsFrom(qint64 pid, qint64 ancestor) {
    for (int depth = 0; pid > 1 && depth < 16; ++depth) {
        if (pid == ancestor) return true;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) return false;
        // "pid (name) state ppid …": the name may hold spaces and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
        pid = rest.size() > 1 ? rest[1].toLongLong() : 0;
    }
    return false;
}

class X11Minimizer : public QObject {
public:
    X11Minimizer(xcb_connection_t* connection, qint64 pid) : QObject(qApp), c_(connection), pid_(pid) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        clientList_ = Atom("_NET_CLIENT_LIST");
        wmPid_ = Atom("_NET_WM_PID");
        changeState_ = Atom("WM_CHANGE_STATE");
        connect(&timer_, &QTimer::timeout, this, &X11Minimizer::Step);
        timer_.start(kStepMs);
        age_.start();
    }

private:
    xcb_atom_t Atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, qstrlen(name), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    }
    QList<xcb_window_t> Property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
        QList<xcb_window_t> values;
        xcb_get_property_reply_t* reply =
            xcb_get_property_reply(c_, xcb_get_property(c_, 0, window, property, type, 0, 4096), nullptr);
        if (reply && reply->format == 32) {
            const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            values.reserve(xcb_get_property_value_length(reply) / 4);
            for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i) values << data[i];
        }
        free(reply);
        return values;
    }
    void Iconify(xcb_window_t window) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = changeState_;
        event.data.data32[0] = kIconicState;
        xcb_send_event(c_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(c_);
    }
    void Step() {
        for (xcb_window_t window : Property(root_, clientList_, XCB_ATOM_WINDOW)) {
            if (done_.contains(window)) continue;
            const QList<xcb_window_t> pid = Property(window, wmPid_, XCB_ATOM_CARDINAL);
            if (pid.isEmpty() || !DescendsFrom(pid.first(), pid_)) continue;
            done_.insert(window);
            Iconify(window);
        }
        if (age_.elapsed() >= kWatchMs) deleteLater();
    }

    xcb_connection_t* c_;
    qint64 pid_;
    xcb_window_t root_ = 0;
    xcb_atom_t clientList_ = XCB_ATOM_NONE;
    xcb_atom_t wmPid_ = XCB_ATOM_NONE;
    xcb_atom_t changeState_ = XCB_ATOM_NONE;
    QTimer timer_;
    QElapsedTimer age_;
    QSet<xcb_window_t> done_;
};

}  // namespace

void MinimizeWindowsOf(qint64 pid) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (pid > 0 && x11 && x11->connection()) new X11Minimizer(x11->connection(), pid);
}

#else

void MinimizeWindowsOf(qint64) {}

#endif

}  // namespace wvr
