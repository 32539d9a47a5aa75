// Drives a running Velkora through real X key events and measures what one
// key costs it: the X server's XTest extension types, its Damage extension
// reports when the window is repainted, and /proc tells the CPU time.
//
//   velkora_xsender PID TEXTFILE MODE KEYS PERIOD_MS SEED
//
// MODE "korrekt" types the text as it stands; MODE "heimreihe" sends KEYS
// keys drawn from the home row and the space bar by a generator seeded with SEED and then
// types the rest of the text correctly. One round: open lesson 1 through
// the lesson window (Ctrl+L, Tab, Space), type, measure the idle cost with
// the figure and the stopwatch still running, end the exercise with one key.
// It prints one line of figures and the counts the stored row must carry.
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <random>
#include <sstream>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

Display* dpy = nullptr;
int damageEvent = 0;
long pid = 0;

int64_t nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Process CPU (user + system, every thread that ever ran) in nanoseconds.
int64_t processCpuNs() {
    const std::string s = readFile("/proc/" + std::to_string(pid) + "/stat");
    const auto close = s.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream in(s.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    // Fields after the name start at 3 (state); utime is 14, stime 15.
    for (int i = 3; i <= 15 && in >> field; ++i) {
        if (i == 14) utime = std::atoll(field.c_str());
        if (i == 15) stime = std::atoll(field.c_str());
    }
    return (utime + stime) * (1000000000LL / sysconf(_SC_CLK_TCK));
}

// CPU time of the GUI thread (the main thread) in nanoseconds.
int64_t guiThreadNs() {
    const std::string p = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/schedstat";
    return std::atoll(readFile(p).c_str());
}

long rssKb() {
    std::istringstream in(readFile("/proc/" + std::to_string(pid) + "/status"));
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

bool alive() { return kill(pid_t(pid), 0) == 0 || errno == EPERM; }

// The program's mapped top-level windows, found by their _NET_WM_PID.
std::vector<Window> programWindows() {
    std::vector<Window> out;
    const Atom pidAtom = XInternAtom(dpy, "_NET_WM_PID", True);
    if (pidAtom == None) return out;
    Window root = DefaultRootWindow(dpy), parent = 0, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &children, &n)) return out;
    for (unsigned i = 0; i < n; ++i) {
        XWindowAttributes a{};
        if (!XGetWindowAttributes(dpy, children[i], &a) || a.map_state != IsViewable) continue;
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                               &count, &after, &data) == Success && data) {
            if (count == 1 && format == 32 && long(*reinterpret_cast<unsigned long*>(data)) == pid)
                out.push_back(children[i]);
            XFree(data);
        }
    }
    if (children) XFree(children);
    return out;
}

// Waits up to timeoutNs for a damage report; returns its arrival time or 0.
int64_t waitDamage(int64_t untilNs) {
    for (;;) {
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
            if (e.type == damageEvent + XDamageNotify) return nowNs();
        }
        const int64_t left = untilNs - nowNs();
        if (left <= 0) return 0;
        pollfd p{ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, int(std::max<int64_t>(1, left / 1000000)));
    }
}

void drain() {
    while (XPending(dpy)) {
        XEvent e;
        XNextEvent(dpy, &e);
    }
}

void sleepUntil(int64_t t) {
    for (;;) {
        const int64_t left = t - nowNs();
        if (left <= 0) return;
        // Keep reading the connection so damage reports do not pile up.
        pollfd p{ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, int(std::max<int64_t>(1, left / 1000000)));
        drain();
    }
}

void sleepMs(int ms) { sleepUntil(nowNs() + int64_t(ms) * 1000000); }

KeyCode code(KeySym s) { return XKeysymToKeycode(dpy, s); }

void key(KeyCode k, bool down) {
    XTestFakeKeyEvent(dpy, k, down ? True : False, CurrentTime);
    XFlush(dpy);
}

void tap(KeyCode k, int holdMs = 20) {
    key(k, true);
    sleepMs(holdMs);
    key(k, false);
}

// The key for one character of the text: CR is the Enter key, LF is skipped.
KeySym symFor(unsigned char c) {
    switch (c) {
    case '\r': return XK_Return;
    case ' ': return XK_space;
    case 0xF6: return XK_odiaeresis;  // Windows-1252 o umlaut
    case 0xE4: return XK_adiaeresis;
    default: return KeySym(c);         // lower-case Latin letters
    }
}

// The engine's walk through the text, as the learner sees it: the expected
// key, and whether a letter (counted) or Enter/space (not counted) is due.
struct Walk {
    std::string text;
    size_t pos = 0;
    long zaehler = 0;
    long fehler = 0;

    bool fertig() const { return pos >= text.size(); }
    unsigned char erwartet() const { return static_cast<unsigned char>(text[pos]); }
    void step() {
        if (text[pos] == '\r') pos += 2;  // Enter takes the line break's pair
        else ++pos;
    }
    // Judges one key as the writing window does.
    void press(unsigned char c) {
        const unsigned char e = erwartet();
        const bool letter = e != '\r' && e != ' ';
        if (c == e) {
            if (letter) ++zaehler;
            step();
        } else if (letter) {
            ++fehler;
        }
    }
};

struct Sample {
    int64_t pressNs;
    int64_t latencyNs;  // 0: no repaint seen before the release
};

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return v[i];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s PID TEXTFILE korrekt|heimreihe KEYS PERIOD_MS SEED\n", argv[0]);
        return 2;
    }
    pid = std::atol(argv[1]);
    const std::string mode = argv[3];
    const int keys = std::atoi(argv[4]);
    const int periodMs = std::max(4, std::atoi(argv[5]));
    const unsigned seed = unsigned(std::strtoul(argv[6], nullptr, 10));
    Walk walk;
    walk.text = readFile(argv[2]);
    // The engine sees the text with CR LF breaks; a file with bare LF gets them.
    {
        std::string t;
        for (size_t i = 0; i < walk.text.size(); ++i) {
            if (walk.text[i] == '\n' && (i == 0 || walk.text[i - 1] != '\r')) t += '\r';
            t += walk.text[i];
        }
        while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
        walk.text = t;
    }
    if (walk.text.empty() || (mode != "korrekt" && mode != "heimreihe")) {
        std::fprintf(stderr, "xsender: empty text or unknown mode\n");
        return 2;
    }

    dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "xsender: no X display\n");
        return 2;
    }
    int evb = 0, erb = 0, maj = 0, min = 0;
    if (!XTestQueryExtension(dpy, &evb, &erb, &maj, &min) || !XDamageQueryExtension(dpy, &damageEvent, &erb)) {
        std::fprintf(stderr, "xsender: the X server lacks XTEST or DAMAGE\n");
        return 2;
    }
    XDamageQueryVersion(dpy, &maj, &min);

    // The main window: the program's largest mapped top-level window.
    Window main = 0;
    for (int tries = 0; tries < 200 && !main; ++tries) {
        int best = 0;
        for (Window w : programWindows()) {
            XWindowAttributes a{};
            XGetWindowAttributes(dpy, w, &a);
            if (a.width * a.height > best) {
                best = a.width * a.height;
                main = w;
            }
        }
        if (!main) sleepMs(50);
    }
    if (!main) {
        std::fprintf(stderr, "xsender: no window of process %ld\n", pid);
        return 1;
    }
    // Keys go where the pointer is when no window manager sets the focus.
    {
        XWindowAttributes a{};
        XGetWindowAttributes(dpy, main, &a);
        XTestFakeMotionEvent(dpy, DefaultScreen(dpy), a.x + a.width / 2, a.y + a.height / 2, CurrentTime);
        XFlush(dpy);
    }

    // Open lesson 1: the lesson window starts on lesson 1 with the slider
    // focused; Tab reaches its OK button. Without a window manager nobody
    // gives the main window the focus back when a window above it closes,
    // so the sender does what a window manager would.
    XSetInputFocus(dpy, main, RevertToParent, CurrentTime);
    XFlush(dpy);
    sleepMs(300);
    const KeyCode ctrl = code(XK_Control_L);
    key(ctrl, true);
    sleepMs(10);
    tap(code(XK_l));
    key(ctrl, false);
    sleepMs(800);
    tap(code(XK_Tab));
    sleepMs(200);
    tap(code(XK_space));
    sleepMs(1200);

    const Damage damage = XDamageCreate(dpy, main, XDamageReportRawRectangles);
    XSync(dpy, False);
    drain();

    std::mt19937 rng(seed);
    const unsigned char heimreihe[] = {'a', 's', 'd', 'f', 'g', 'h', 'j', 'k', 'l', 0xF6, ' '};
    std::uniform_int_distribution<int> pick(0, int(sizeof heimreihe) - 1);

    // The measured keys.
    std::vector<Sample> samples;
    samples.reserve(size_t(keys) + 1024);
    const int64_t period = int64_t(periodMs) * 1000000;
    const int64_t cpu0 = processCpuNs(), gui0 = guiThreadNs(), t0 = nowNs();
    int64_t next = t0;
    while (true) {
        unsigned char c = 0;
        if (mode == "korrekt") {
            if (walk.fertig()) break;
            c = walk.erwartet();
        } else {
            if (int(samples.size()) >= keys || walk.fertig()) break;
            c = heimreihe[pick(rng)];
        }
        const KeyCode k = code(symFor(c));
        sleepUntil(next);
        XSync(dpy, False);
        drain();
        const int64_t pressed = nowNs();
        key(k, true);
        const int64_t seen = waitDamage(pressed + period / 2);
        samples.push_back({pressed, seen ? seen - pressed : 0});
        sleepUntil(pressed + period / 2);
        key(k, false);
        walk.press(c);
        next = pressed + period;
    }
    sleepUntil(next);
    const int64_t cpu1 = processCpuNs(), gui1 = guiThreadNs(), t1 = nowNs();
    const long rss = rssKb();

    // The idle cost with the exercise still open (stopwatch, figure).
    const int idleMs = 2000;
    const int64_t icpu0 = processCpuNs(), igui0 = guiThreadNs(), it0 = nowNs();
    sleepMs(idleMs);
    const int64_t icpu1 = processCpuNs(), igui1 = guiThreadNs(), it1 = nowNs();
    XDamageDestroy(dpy, damage);

    // The rest of the text, then the key that ends the exercise.
    while (!walk.fertig()) {
        const unsigned char c = walk.erwartet();
        tap(code(symFor(c)), periodMs / 2);
        walk.press(c);
        sleepMs(periodMs / 2);
    }
    sleepMs(200);
    tap(code(XK_x));
    sleepMs(1500);
    XSync(dpy, False);

    const double n = double(samples.size());
    const double idleCpuRate = double(icpu1 - icpu0) / double(it1 - it0);
    const double idleGuiRate = double(igui1 - igui0) / double(it1 - it0);
    const double span = double(t1 - t0);
    const double cpuMs = (double(cpu1 - cpu0) - idleCpuRate * span) / n / 1e6;
    const double guiMs = (double(gui1 - gui0) - idleGuiRate * span) / n / 1e6;
    std::vector<double> lat;
    int missed = 0;
    for (const Sample& s : samples) {
        if (s.latencyNs) lat.push_back(double(s.latencyNs) / 1e6);
        else ++missed;
    }
    std::printf("keys=%d cpu_ms=%.4f gui_ms=%.4f idle_cpu_pct=%.2f rss_kb=%ld lat_med_ms=%.3f "
                "lat_p90_ms=%.3f no_repaint=%d zaehler=%ld fehler=%ld alive=%d\n",
                int(n), cpuMs, guiMs, idleCpuRate * 100, rss, percentile(lat, 0.5), percentile(lat, 0.9),
                missed, walk.zaehler, walk.fehler, alive() ? 1 : 0);
    XCloseDisplay(dpy);
    return 0;
}
