// How soon the main window appears: the time from starting the program to the
// X server mapping its window, beside a bare QMainWindow of the same size
// started the same way (this program run with --bare). Run under Xvfb:
//   xvfb-run -a build/bench/vantrel_bench_startup [ROUNDS] [OTHER_VANTREL]
// OTHER_VANTREL, another build of the program (an earlier one, say), is then
// started in the same rounds, for a before and after in one run.
// Each round starts the program, waits for a MapNotify of a top-level window
// on the root window, then ends the program. The settings live in a
// temporary folder (XDG_CONFIG_HOME) holding a data directory without
// levelsets, so that no dialog asks for one. Prints the medians and their ratio.
#include "support/TempDir.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

// The main window's size: its client area and a menu bar.
int RunBare(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.setFixedSize(772, 534 + window.menuBar()->sizeHint().height());
    window.show();
    return app.exec();
}

// Milliseconds from the start of program to the mapping of a top-level window.
double TimeToMap(xcb_connection_t* x, const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", args[0]);
        std::exit(1);
    }
    double ms = -1;
    while (xcb_generic_event_t* event = xcb_wait_for_event(x)) {
        const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY &&
                            !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
        std::free(event);
        if (mapped) {
            ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            break;
        }
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return ms;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--bare") return RunBare(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;

    vantrel::test::TempDir dir;
    const std::string data = (dir.Path() / "data").string();
    std::filesystem::create_directories(dir.Path() / "data" / "levels");
    std::filesystem::create_directories(dir.Path() / "config" / "Orvel");
    std::ofstream(dir.Path() / "config" / "Orvel" / "Vantrel.conf") << "[General]\ndatadir=" << data << "\n";
    setenv("XDG_CONFIG_HOME", (dir.Path() / "config").c_str(), 1);
    unsetenv("QT_QPA_PLATFORM");

    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "no X display: run under xvfb-run\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    const std::string other = argc > 2 ? argv[2] : "";
    std::vector<double> bare, vantrel, others;
    TimeToMap(x, {VANTREL_PATH});  // the first start fills the file cache
    if (!other.empty()) TimeToMap(x, {other});
    for (int r = 0; r < rounds; ++r) {
        bare.push_back(TimeToMap(x, {argv[0], "--bare"}));
        vantrel.push_back(TimeToMap(x, {VANTREL_PATH}));
        std::printf("round %d: bare QMainWindow %.1f ms, Vantrel %.1f ms", r + 1, bare.back(), vantrel.back());
        if (!other.empty()) {
            others.push_back(TimeToMap(x, {other}));
            std::printf(", other build %.1f ms", others.back());
        }
        std::printf("\n");
    }
    const double b = Median(bare), v = Median(vantrel);
    std::printf("median over %d rounds: bare QMainWindow %.1f ms, Vantrel %.1f ms, ratio %.2f", rounds, b, v, v / b);
    if (!other.empty()) std::printf("; other build %.1f ms, ratio %.2f", Median(others), Median(others) / b);
    std::printf("\n");
    xcb_disconnect(x);
    return 0;
}
