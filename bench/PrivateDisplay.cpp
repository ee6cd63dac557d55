#include "PrivateDisplay.h"

#include <QThread>

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

template<typename Reply>
using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

template<typename Reply>
ReplyPointer<Reply> owned(Reply *reply)
{
    return ReplyPointer<Reply>(reply, &std::free);
}

} // namespace

PrivateDisplay::~PrivateDisplay()
{
    if (m_connection)
        xcb_disconnect(m_connection);
    if (m_server > 0) {
        ::kill(m_server, SIGTERM);
        ::waitpid(m_server, nullptr, 0);
    }
}

QString PrivateDisplay::start()
{
    // Xvfb picks a free display itself and writes its number to fd 3.
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return QStringLiteral("no pipe for Xvfb");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 3);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // A black background, so that nothing counts as painted before the program paints.
    const char *arguments[] = {"Xvfb", "-displayfd",   "3",   "-nolisten", "tcp", "-screen",
                               "0",    "1280x1024x24", "-br", nullptr};
    const int spawned = posix_spawnp(&m_server, "Xvfb", &actions, nullptr, const_cast<char **>(arguments), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned != 0) {
        ::close(pipeEnds[0]);
        m_server = 0;
        return QStringLiteral("cannot start Xvfb: %1").arg(QString::fromLocal8Bit(std::strerror(spawned)));
    }

    QByteArray number;
    pollfd readable{pipeEnds[0], POLLIN, 0};
    while (!number.endsWith('\n') && ::poll(&readable, 1, 10000) > 0) {
        char buffer[16];
        const ssize_t count = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (count <= 0)
            break;
        number.append(buffer, count);
    }
    ::close(pipeEnds[0]);
    if (!number.endsWith('\n'))
        return QStringLiteral("Xvfb did not start");
    m_name = ':' + number.trimmed();

    m_connection = xcb_connect(m_name.constData(), nullptr);
    if (xcb_connection_has_error(m_connection))
        return QStringLiteral("cannot connect to Xvfb on %1").arg(QString::fromLatin1(m_name));
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &events);
    const char atomName[] = "_NET_WM_NAME";
    auto atom = owned(
        xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, sizeof atomName - 1, atomName), nullptr));
    m_netWmName = atom ? atom->atom : static_cast<unsigned>(XCB_ATOM_WM_NAME);
    xcb_flush(m_connection);
    return {};
}

std::optional<double> PrivateDisplay::waitUntilShown(pid_t pid, const QByteArray &titlePart, const QElapsedTimer &since,
                                                     int timeoutMs, QString &failure)
{
    xcb_window_t window = XCB_NONE;
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const auto owner = owned(event);
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY || window != XCB_NONE)
                continue;
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            const QByteArray title = titleOf(map->window);
            if (!title.contains(titlePart)) {
                failure = QStringLiteral("a window other than the main window came first: \"%1\"")
                              .arg(QString::fromUtf8(title));
                return std::nullopt;
            }
            window = map->window;
        }
        if (window != XCB_NONE && isPainted(window))
            return static_cast<double>(since.nsecsElapsed()) / 1e6;

        if (xcb_connection_has_error(m_connection)) {
            failure = QStringLiteral("the connection to Xvfb broke");
            return std::nullopt;
        }
        // Left for the caller to reap.
        siginfo_t ended{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 && ended.si_pid == pid) {
            failure = QStringLiteral("the program ended before its window was shown");
            return std::nullopt;
        }
        if (since.elapsed() > timeoutMs) {
            failure = QStringLiteral("no window within %1 ms").arg(timeoutMs);
            return std::nullopt;
        }
        if (window == XCB_NONE) {
            pollfd readable{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&readable, 1, 1);
        } else {
            QThread::usleep(200);
        }
    }
}

QByteArray PrivateDisplay::titleOf(unsigned window)
{
    auto reply = owned(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, m_netWmName, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
        nullptr));
    if (!reply)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

// Whether any pixel of a line across the window, a third of the way down
// (through the lists), differs from the black it shows before the first paint.
bool PrivateDisplay::isPainted(unsigned window)
{
    auto geometry = owned(xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
    if (!geometry || geometry->width == 0 || geometry->height == 0)
        return false;
    auto image =
        owned(xcb_get_image_reply(m_connection,
                                  xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0,
                                                static_cast<int16_t>(geometry->height / 3), geometry->width, 1, ~0u),
                                  nullptr));
    if (!image)
        return false;
    const uint8_t *data = xcb_get_image_data(image.get());
    const int length = xcb_get_image_data_length(image.get());
    for (int i = 0; i < length; ++i) {
        if (data[i] != 0)
            return true;
    }
    return false;
}
