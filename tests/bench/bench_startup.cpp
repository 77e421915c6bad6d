// Times whole starts of a program on an X display, from outside and alike for
// every program: from just before its process is created to the mapping of
// its first top-level window, and to the first drawing into that window (as
// the server's DAMAGE extension reports it); then reads the process's peak
// memory (VmHWM). Each round starts a bare Qt Widgets window of the main
// window's size, a window of that size that draws the main window's texts and
// nothing else (the floor of any window that shows them), Voltaris with an
// empty log and Voltaris with a log of 100,000 rows, in an order that rotates
// from round to round; the figures are the medians.
//
//     bench_startup VOLTARIS BARE_WINDOW TEXTS_WINDOW [RUNS [ROWS]]
//
// DISPLAY names the X display; it should have no window manager and no other
// client drawing.
#include "figureline.h"
#include "logfile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/damage.h>
#include <xcb/xcb.h>

using namespace voltaris::bench;

namespace {

constexpr double StartTimeout = 60; // seconds until a start counts as failed
constexpr int SettleMs = 300; // after the first paint, before the memory is read

double now()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct Sample {
    double mapped = 0, painted = 0; // seconds after the start
    double cpu = 0; // seconds of processor time until the first paint
    double peakBytes = 0;
};

struct Program {
    std::string label;
    std::string path;
    std::vector<std::string> args;
    std::string folder; // its working directory
    std::vector<Sample> samples;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The processor time a running process has had, all its threads; from the
// scheduler, in nanoseconds, so that a start shows how much work it did
// however busy the machine was.
double cpuTime(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double total = 0;
    if (DIR *dir = opendir(tasks.c_str())) {
        while (const dirent *e = readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            std::ifstream stat(tasks + "/" + e->d_name + "/schedstat");
            double ns = 0;
            if (stat >> ns)
                total += ns * 1e-9;
        }
        closedir(dir);
    }
    return total;
}

// The peak resident memory of a running process, in bytes; 0 when unknown.
double peakMemory(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) * 1024; // "VmHWM:  123456 kB"
    return 0;
}

class Display {
public:
    ~Display()
    {
        if (c_)
            xcb_disconnect(c_);
    }

    bool open()
    {
        int screen = 0;
        c_ = xcb_connect(nullptr, &screen);
        if (xcb_connection_has_error(c_)) {
            std::fprintf(stderr, "cannot connect to the X display (DISPLAY)\n");
            return false;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int i = 0; i < screen; ++i)
            xcb_screen_next(&it);
        root_ = it.data->root;
        const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c_, &xcb_damage_id);
        if (!ext || !ext->present) {
            std::fprintf(stderr, "the X display lacks the DAMAGE extension\n");
            return false;
        }
        damageNotify_ = uint8_t(ext->first_event + XCB_DAMAGE_NOTIFY);
        free(xcb_damage_query_version_reply(c_,
            xcb_damage_query_version(c_, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
            nullptr));
        // Top-level windows coming and going, with no window manager between.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c_);
        return true;
    }

    // Starts the program and waits for its first window to be mapped and
    // drawn; false when it fails to.
    bool run(const Program &p, Sample &s, int *width = nullptr, int *height = nullptr)
    {
        drain();
        std::vector<std::string> argv { p.path };
        argv.insert(argv.end(), p.args.begin(), p.args.end());
        std::vector<char *> cargv;
        for (std::string &a : argv)
            cargv.push_back(a.data());
        cargv.push_back(nullptr);

        const double start = now();
        const pid_t pid = fork();
        if (pid < 0)
            return false;
        if (pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0) {
                dup2(null, STDOUT_FILENO);
                dup2(null, STDERR_FILENO);
            }
            if (chdir(p.folder.c_str()) == 0)
                execv(cargv[0], cargv.data());
            _exit(127);
        }

        xcb_window_t window = 0;
        double mapped = 0, painted = 0;
        while (!painted) {
            xcb_generic_event_t *e = xcb_poll_for_event(c_);
            if (!e) {
                int status = 0;
                if (xcb_connection_has_error(c_) || waitpid(pid, &status, WNOHANG) == pid
                    || now() - start > StartTimeout) {
                    std::fprintf(stderr, "%s: no window drawn\n", p.label.c_str());
                    stop(pid, 0);
                    return false;
                }
                pollfd fd { xcb_get_file_descriptor(c_), POLLIN, 0 };
                poll(&fd, 1, 20);
                continue;
            }
            const uint8_t type = e->response_type & 0x7f;
            const double t = now();
            if (type == XCB_CREATE_NOTIFY) {
                // Watched from its creation on, so that no drawing is missed.
                const auto *ce = reinterpret_cast<xcb_create_notify_event_t *>(e);
                if (ce->parent == root_) {
                    xcb_damage_create(
                        c_, xcb_generate_id(c_), ce->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                    xcb_flush(c_);
                }
            } else if (type == XCB_MAP_NOTIFY) {
                const auto *me = reinterpret_cast<xcb_map_notify_event_t *>(e);
                if (!window && !me->override_redirect) {
                    window = me->window;
                    mapped = t;
                }
            } else if (type == damageNotify_) {
                const auto *de = reinterpret_cast<xcb_damage_notify_event_t *>(e);
                if (window && de->drawable == window) {
                    painted = t;
                    s.cpu = cpuTime(pid);
                }
            }
            free(e);
        }

        if (width && height) {
            if (xcb_get_geometry_reply_t *g
                = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr)) {
                *width = g->width;
                *height = g->height;
                free(g);
            }
        }
        // Whatever the program does right after its first paint counts for
        // its memory too.
        usleep(SettleMs * 1000);
        s.mapped = mapped - start;
        s.painted = painted - start;
        s.peakBytes = peakMemory(pid);
        stop(pid, window);
        return s.peakBytes > 0;
    }

private:
    void drain()
    {
        while (xcb_generic_event_t *e = xcb_poll_for_event(c_))
            free(e);
    }

    // Ends the started process and waits until the server has let its window
    // go, so that the next start finds the display idle.
    void stop(pid_t pid, xcb_window_t window)
    {
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        const double until = now() + 5;
        while (window && now() < until) {
            xcb_generic_event_t *e = xcb_poll_for_event(c_);
            if (!e) {
                pollfd fd { xcb_get_file_descriptor(c_), POLLIN, 0 };
                poll(&fd, 1, 20);
                continue;
            }
            const bool gone = (e->response_type & 0x7f) == XCB_DESTROY_NOTIFY
                && reinterpret_cast<xcb_destroy_notify_event_t *>(e)->window == window;
            free(e);
            if (gone)
                break;
        }
    }

    xcb_connection_t *c_ = nullptr;
    xcb_window_t root_ = 0;
    uint8_t damageNotify_ = 0;
};

std::string makeFolder(const std::string &base, const std::string &name)
{
    const std::string path = base + "/" + name;
    mkdir(path.c_str(), 0700);
    return path;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr,
            "usage: %s VOLTARIS BARE_WINDOW TEXTS_WINDOW [RUNS [ROWS [BASELINE]]]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 11;
    const int rows = argc > 5 ? std::max(1, std::atoi(argv[5])) : 100000;
    // The programs choose their platform as a user's start would: X.
    unsetenv("QT_QPA_PLATFORM");

    char base[] = "/tmp/voltaris-startup-XXXXXX";
    if (!mkdtemp(base)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string emptyFolder = makeFolder(base, "empty");
    const std::string rowsFolder = makeFolder(base, "rows");
    const std::string logName = "/Mein_Verbrauch.txt";
    if (!writeLogFile(emptyFolder + logName, 0) || !writeLogFile(rowsFolder + logName, rows)) {
        std::fprintf(stderr, "cannot write the logs under %s\n", base);
        return 1;
    }
    struct stat st { };
    stat((rowsFolder + logName).c_str(), &st);
    const double fileBytes = double(st.st_size);

    Display display;
    if (!display.open())
        return 1;

    // The programs start in folders of their own.
    // BASELINE: another build of Voltaris (an earlier version, say), started
    // in the same rounds, so that a change is measured against it A/B.
    char voltaris[PATH_MAX], bareWindow[PATH_MAX], textsWindow[PATH_MAX], baseline[PATH_MAX];
    const bool ab = argc > 6;
    if (!realpath(argv[1], voltaris) || !realpath(argv[2], bareWindow)
        || !realpath(argv[3], textsWindow) || (ab && !realpath(argv[6], baseline))) {
        std::perror("realpath");
        return 2;
    }
    const std::string rowsLabel = std::to_string(rows);
    Program bare { "bare Qt Widgets window", bareWindow, {}, emptyFolder, {} };
    Program texts { "the main window's texts alone", textsWindow, {}, emptyFolder, {} };
    Program empty { "Voltaris, empty log", voltaris, {}, emptyFolder, {} };
    Program full { "Voltaris, " + rowsLabel + " rows", voltaris, {}, rowsFolder, {} };
    Program baseEmpty { "baseline, empty log", ab ? baseline : voltaris, {}, emptyFolder, {} };
    Program baseFull { "baseline, " + rowsLabel + " rows", baseEmpty.path, {}, rowsFolder, {} };

    // A first start of each, not counted, warms the caches; the main
    // window's size is the bare window's.
    Sample warm;
    int width = 0, height = 0;
    if (!display.run(empty, warm, &width, &height))
        return 1;
    bare.args = { std::to_string(width), std::to_string(height) };
    texts.args = bare.args;
    if (!display.run(bare, warm) || !display.run(texts, warm) || !display.run(full, warm)
        || (ab && (!display.run(baseEmpty, warm) || !display.run(baseFull, warm))))
        return 1;

    const int programs = ab ? 6 : 4;
    for (int round = 0; round < runs; ++round) {
        // Every other round the baseline's starts take the places of this
        // build's: each then follows the same starts as often as the other
        // (following the 100,000-row start alone made one 10 % slower).
        Program *order[] = { &bare, &texts, &empty, &full, &baseEmpty, &baseFull };
        if (ab && round % 2 == 1) {
            std::swap(order[2], order[4]);
            std::swap(order[3], order[5]);
        }
        for (int i = 0; i < programs; ++i) {
            Program &p = *order[(round / 2 + i) % programs];
            Sample s;
            if (!display.run(p, s))
                return 1;
            p.samples.push_back(s);
        }
    }

    const auto medianOf = [](const Program &p, double Sample::*field) {
        std::vector<double> v;
        for (const Sample &s : p.samples)
            v.push_back(s.*field);
        return median(v);
    };
    // The ratio of two starts of the same rounds, whose machine was the
    // same: the median of these holds when the machine's load changes
    // meanwhile. Two rounds, whose places were swapped, give one ratio (the
    // geometric mean of theirs), so that neither place favours a build.
    const auto ratioOf = [](const Program &a, const Program &b, double Sample::*field) {
        std::vector<double> v;
        for (size_t i = 0; i < a.samples.size(); i += 2) {
            double r = a.samples[i].*field / b.samples[i].*field;
            if (i + 1 < a.samples.size())
                r = std::sqrt(r * a.samples[i + 1].*field / b.samples[i + 1].*field);
            v.push_back(r);
        }
        return median(v);
    };
    std::printf("start-up on X (%dx%d window), medians of %d runs each; each ratio is the "
                "median of the ratios within two rounds\n",
        width, height, runs);
    printHeading();
    const std::string n = std::to_string(rows);
    for (const auto &[what, field] : { std::pair { "start-up to mapped", &Sample::mapped },
             std::pair { "start-up to first paint", &Sample::painted },
             std::pair { "CPU time to first paint", &Sample::cpu } }) {
        const bool held = field != &Sample::cpu; // the processor time only explains
        const double b = medianOf(bare, field), t = medianOf(texts, field),
                     e = medianOf(empty, field), f = medianOf(full, field);
        const std::string prefix = std::string(what) + ", ";
        printFigure(prefix + "bare window", seconds(b), "", NAN, 0);
        printFigure(prefix + "texts alone", seconds(t), "bare window " + seconds(b),
            ratioOf(texts, bare, field), 0);
        printFigure(prefix + "empty log", seconds(e), "bare window " + seconds(b),
            ratioOf(empty, bare, field), held ? 1.3 : 0);
        printFigure(prefix + "empty log", seconds(e), "texts alone " + seconds(t),
            ratioOf(empty, texts, field), 0);
        printFigure(prefix + n + " rows", seconds(f), "empty log " + seconds(e),
            ratioOf(full, empty, field), held ? 2 : 0);
        if (ab) {
            printFigure(prefix + "empty log", seconds(e),
                "baseline " + seconds(medianOf(baseEmpty, field)), ratioOf(empty, baseEmpty, field),
                held ? 1.05 : 0);
            printFigure(prefix + n + " rows", seconds(f),
                "baseline " + seconds(medianOf(baseFull, field)), ratioOf(full, baseFull, field),
                held ? 1.05 : 0);
        }
    }
    const double b = medianOf(bare, &Sample::peakBytes), e = medianOf(empty, &Sample::peakBytes),
                 f = medianOf(full, &Sample::peakBytes);
    printFigure("peak memory (VmHWM), bare window", mebibytes(b), "", NAN, 0);
    printFigure(
        "peak memory (VmHWM), empty log", mebibytes(e), "bare window " + mebibytes(b), e / b, 0);
    const double allowed = 2 * e + 10 * fileBytes;
    // Allowed: twice the empty log's peak and ten times the file's size.
    printFigure("peak memory (VmHWM), " + n + " rows", mebibytes(f),
        "2 x empty + 10 x " + mebibytes(fileBytes) + " = " + mebibytes(allowed), f / allowed, 1);
    if (ab) {
        const double be = medianOf(baseEmpty, &Sample::peakBytes),
                     bf = medianOf(baseFull, &Sample::peakBytes);
        printFigure("peak memory (VmHWM), empty log", mebibytes(e), "baseline " + mebibytes(be),
            e / be, 1.05);
        printFigure("peak memory (VmHWM), " + n + " rows", mebibytes(f),
            "baseline " + mebibytes(bf), f / bf, 1.05);
    }

    for (const std::string &folder : { emptyFolder, rowsFolder }) {
        unlink((folder + logName).c_str());
        rmdir(folder.c_str());
    }
    rmdir(base);
    return 0;
}
