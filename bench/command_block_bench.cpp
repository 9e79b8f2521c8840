// How long each playback command holds up the window thread, disc by disc:
//
//   command_block_bench [--runs N] [--command-limit S] [--title-wait S] [--tsv FILE] DISC...
//   command_block_bench --table FILE...
//
// Every command of the playback control runs on the window thread, so while the engine call
// lasts the windows neither repaint nor answer; and work the engine posts back to that thread
// (bus messages, pictures) holds them up after the call has returned. For each disc folder (one
// holding VIDEO_TS; its label is the folder's name) the real engine runs this sequence N times
// (default 3): directory, play from stopped, into title 1 (clicking the menu's first button
// when the disc starts in a menu: every disc of the test corpus puts "play" there), pause, play,
// next chapter, previous chapter, fast-forward 4x, play, rewind 4x, play, each menu 2..7 (each
// followed by resume), bookmark save and restore, the angle button (count, get, put the next
// angle, timed as one step), stop.
//
// Per command two figures, the maximum over the runs: the wall time of the engine call itself
// (the window thread is blocked exactly that long), and the longest lateness of a 5 ms timer
// ticking in the same event loop during the 1.5 s after the call. The first run includes the
// cold start (plugins loading, first open of the disc).
//
// The titles of the corpus are short (6 s for several), so the disc's own program may leave
// title 1 between commands; before each command that needs the title playing, the bench goes
// back into it, unmeasured, and says so in a note.
//
// "n/a" marks what a disc cannot do: a menu the disc's IFO files do not hold (no entry PGC of
// that kind with cells of its own; the call is made and must fail; the resume after it is not
// made). An angle step on a title with one angle only reads, and its cell says "(reads)". "FAIL" is a command that failed where it
// should have worked; "-" a command not reached; "HANG" the command that passed the command
// limit (default 30 s; the bench then stops at once and says which). Any FAIL or HANG, or a disc
// that cannot be driven into title 1, makes the exit status non-zero. A call over 30 s is noted
// even under a higher limit.
//
// With --tsv the figures are also written to FILE (one disc per process lets a script put a
// hard time limit on each); --table prints the table of several such files.
//
// Audio goes to a clocked fakesink, pictures to a VideoOutput that keeps the last one, so
// QT_QPA_PLATFORM=offscreen is enough. bench/command-block.sh runs the whole corpus and the
// test disc behind a slow reader.

#include "bench/EventLoopWait.h"
#include "engine/GstEngine.h"
#include "playback/VideoOutput.h"

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <gst/gst.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>

#include <dlfcn.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Under bench/slowread (LD_PRELOAD) the opens and reads it has delayed so far; null without it.
using DelayedCalls = unsigned long (*)();
const DelayedCalls slowreadDelayed = reinterpret_cast<DelayedCalls>(dlsym(RTLD_DEFAULT, "slowread_delayed_calls"));

unsigned long delayedCalls()
{
    return slowreadDelayed ? slowreadDelayed() : 0;
}

// A call blocking the window thread this long is called out even when the command limit lets
// the bench go on.
constexpr int kLongBlockMs = 30000;

double msSince(Clock::time_point start, Clock::time_point end = Clock::now())
{
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// The rows of the table, in the order the sequence runs them.
const std::vector<std::string>& rowNames()
{
    static const std::vector<std::string> rows = {
        "directory",
        "play (from stopped)",
        "pause",
        "play (from pause)",
        "next chapter",
        "previous chapter",
        "fast-forward 4x",
        "play (after fast-forward)",
        "rewind 4x",
        "play (after rewind)",
        "menu 2 (title)",
        "resume (menu 2)",
        "menu 3 (root)",
        "resume (menu 3)",
        "menu 4 (sub-picture)",
        "resume (menu 4)",
        "menu 5 (audio)",
        "resume (menu 5)",
        "menu 6 (angle)",
        "resume (menu 6)",
        "menu 7 (chapter)",
        "resume (menu 7)",
        "bookmark save",
        "bookmark restore",
        "angle step",
        "stop",
    };
    return rows;
}

std::string menuRow(int menu)
{
    return rowNames()[10 + 2 * (menu - 2)];
}

std::string resumeRow(int menu)
{
    return rowNames()[11 + 2 * (menu - 2)];
}

// One command on one disc, over all runs.
struct Cell {
    int measured = 0;
    int failed = 0;
    int notApplicable = 0;
    double callMs = 0;
    double lateMs = 0;
    bool hung = false;
    // Angle steps that only read (a title with one angle): their cells say so.
    int readsOnly = 0;
    // Slow-reader calls made while the engine call lasted, by any of the process's threads
    // (the engine reads on threads of its own too), most in one run.
    unsigned long delayed = 0;

    std::string text() const
    {
        char buffer[64];
        if (hung)
            return "HANG";
        if (failed)
            return "FAIL";
        if (measured) {
            std::snprintf(buffer, sizeof buffer, "%.1f / %.1f%s", callMs, lateMs,
                          readsOnly == 0 ? "" : readsOnly == measured ? " (reads)" : " (some reads)");
            return buffer;
        }
        if (notApplicable)
            return "n/a";
        return "-";
    }
};

struct DiscResult {
    std::map<std::string, Cell> cells;
    std::vector<std::string> notes;
};

// Results of this process; the watchdog reads them when a command hangs.
std::mutex resultsMutex;
std::vector<std::pair<std::string, DiscResult>> results;
std::string tsvPath;

DiscResult& resultFor(const std::string& label)
{
    for (auto& entry : results) {
        if (entry.first == label)
            return entry.second;
    }
    results.emplace_back(label, DiscResult{});
    return results.back().second;
}

void writeTsv()
{
    if (tsvPath.empty())
        return;
    std::ofstream out(tsvPath, std::ios::trunc);
    for (const auto& [label, result] : results) {
        for (const auto& row : rowNames()) {
            const auto it = result.cells.find(row);
            out << label << '\t' << row << '\t' << (it == result.cells.end() ? Cell{}.text() : it->second.text())
                << '\n';
        }
        for (const auto& note : result.notes)
            out << label << "\t#note\t" << note << '\n';
        if (slowreadDelayed) {
            std::string counts;
            for (const auto& row : rowNames()) {
                const auto it = result.cells.find(row);
                if (it != result.cells.end() && it->second.delayed)
                    counts += (counts.empty() ? "" : ", ") + row + " " + std::to_string(it->second.delayed);
            }
            out << label << "\t#note\tslow-reader calls made while the engine call lasted, by any thread (most in one run): "
                << (counts.empty() ? "none" : counts) << '\n';
        }
    }
}

std::string machineLine()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    const int cpus = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
    std::string model = "unknown CPU";
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.rfind("model name", 0) == 0) {
            const auto colon = line.find(':');
            if (colon != std::string::npos)
                model = line.substr(line.find_first_not_of(' ', colon + 1));
            break;
        }
    }
    return "machine: " + std::to_string(cpus) + " CPUs (nproc), " + model;
}

void printTable(const std::vector<std::pair<std::string, std::map<std::string, std::string>>>& columns,
                const std::vector<std::pair<std::string, std::string>>& notes)
{
    std::printf("%s\n", machineLine().c_str());
    std::printf("cells: engine call ms / longest lateness of a 5 ms timer in the 1.5 s after it, ms "
                "(maximum over the runs)\n");
    size_t rowWidth = 7;
    for (const auto& row : rowNames())
        rowWidth = std::max(rowWidth, row.size());
    std::vector<size_t> widths;
    for (const auto& [label, cells] : columns) {
        size_t width = label.size();
        for (const auto& [row, text] : cells)
            width = std::max(width, text.size());
        widths.push_back(width);
    }
    std::printf("%-*s", static_cast<int>(rowWidth), "command");
    for (size_t i = 0; i < columns.size(); ++i)
        std::printf(" | %*s", static_cast<int>(widths[i]), columns[i].first.c_str());
    std::printf("\n");
    std::printf("%s", std::string(rowWidth, '-').c_str());
    for (size_t width : widths)
        std::printf("-|-%s", std::string(width, '-').c_str());
    std::printf("\n");
    for (const auto& row : rowNames()) {
        std::printf("%-*s", static_cast<int>(rowWidth), row.c_str());
        for (size_t i = 0; i < columns.size(); ++i) {
            const auto it = columns[i].second.find(row);
            std::printf(" | %*s", static_cast<int>(widths[i]), it == columns[i].second.end() ? "-" : it->second.c_str());
        }
        std::printf("\n");
    }
    for (const auto& [label, note] : notes)
        std::printf("note: %s: %s\n", label.c_str(), note.c_str());
    std::fflush(stdout);
}

void printResults()
{
    std::vector<std::pair<std::string, std::map<std::string, std::string>>> columns;
    std::vector<std::pair<std::string, std::string>> notes;
    for (const auto& [label, result] : results) {
        std::map<std::string, std::string> cells;
        for (const auto& [row, cell] : result.cells)
            cells[row] = cell.text();
        columns.emplace_back(label, cells);
        for (const auto& note : result.notes)
            notes.emplace_back(label, note);
    }
    printTable(columns, notes);
}

// Stops the process when one engine call blocks past the limit: a hung window thread would
// otherwise keep the benchmark waiting for ever, and the figures so far are worth keeping.
class Watchdog {
public:
    explicit Watchdog(int limitSeconds) : limit_(limitSeconds), thread_([this] { watch(); }) {}
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    void begin(const std::string& label, const std::string& command)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        label_ = label;
        command_ = command;
        start_ = Clock::now();
        delayedAtStart_ = delayedCalls();
        active_ = true;
        wake_.notify_all();
    }

    void end()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        active_ = false;
    }

private:
    void watch()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!quit_) {
            if (!active_) {
                wake_.wait(lock);
                continue;
            }
            const auto deadline = start_ + std::chrono::seconds(limit_);
            if (Clock::now() < deadline) {
                wake_.wait_until(lock, deadline);
                continue;
            }
            std::fprintf(stderr, "command_block_bench: HANG: %s: \"%s\" has blocked the window thread for more than %d s\n",
                         label_.c_str(), command_.c_str(), limit_);
            std::lock_guard<std::mutex> resultsLock(resultsMutex);
            DiscResult& result = resultFor(label_);
            result.cells[command_].hung = true;
            result.cells[command_].delayed =
                std::max(result.cells[command_].delayed, delayedCalls() - delayedAtStart_);
            result.notes.push_back("\"" + command_ + "\" blocked the window thread for more than " +
                                   std::to_string(limit_) + " s; the bench stopped there");
            writeTsv();
            printResults();
            std::fflush(stderr);
            _exit(3);
        }
    }

    const int limit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string label_;
    std::string command_;
    Clock::time_point start_;
    unsigned long delayedAtStart_ = 0;
    bool active_ = false;
    bool quit_ = false;
    std::thread thread_;
};

// The screen window's video area reduced to what the bench needs: the last picture, for the
// clicks on menu buttons.
class KeepLastOutput : public VideoOutput {
public:
    void presentFrame(const QImage& frame) override { last = frame; }
    QImage last;
};

// What the disc's IFO files say, read apart from the engine: which menus a menu call can reach
// from title 1, and the picture height that button coordinates are given in.
struct DiscLayout {
    bool menus[8] = {};
    int storedHeight = 576;
};

bool pgciHasMenu(const pgci_ut_t* table, int menu)
{
    if (!table)
        return false;
    for (int lu = 0; lu < table->nr_of_lus; ++lu) {
        const pgcit_t* pgcit = table->lu[lu].pgcit;
        if (!pgcit)
            continue;
        for (int i = 0; i < pgcit->nr_of_pgci_srp; ++i) {
            // An entry PGC (bit 7) of the menu type in the low nibble, as the navigator seeks it.
            // One without cells shows nothing of its own: dvdauthor writes such a PGC for a
            // missing chapter menu, only to pass on to the root menu, so it counts as no menu.
            const pgci_srp_t& entry = pgcit->pgci_srp[i];
            if (entry.entry_id == (0x80 | menu) && entry.pgc && entry.pgc->nr_of_cells > 0)
                return true;
        }
    }
    return false;
}

std::optional<DiscLayout> readLayout(const std::string& folder, std::string* error)
{
    dvd_reader_t* dvd = DVDOpen(folder.c_str());
    if (!dvd) {
        *error = "libdvdread cannot open " + folder;
        return std::nullopt;
    }
    DiscLayout layout;
    ifo_handle_t* vmg = ifoOpen(dvd, 0);
    if (!vmg || !vmg->tt_srpt || vmg->tt_srpt->nr_of_srpts < 1) {
        if (vmg)
            ifoClose(vmg);
        DVDClose(dvd);
        *error = "no title in the VMG of " + folder;
        return std::nullopt;
    }
    // The title menu lives in the VMG, the others in title 1's title set.
    layout.menus[2] = pgciHasMenu(vmg->pgci_ut, 2);
    const int titleSet = vmg->tt_srpt->title[0].title_set_nr;
    ifoClose(vmg);
    ifo_handle_t* vts = ifoOpen(dvd, titleSet);
    if (!vts || !vts->vtsi_mat) {
        if (vts)
            ifoClose(vts);
        DVDClose(dvd);
        *error = "cannot read title set " + std::to_string(titleSet) + " of " + folder;
        return std::nullopt;
    }
    for (int menu = 3; menu <= 7; ++menu)
        layout.menus[menu] = pgciHasMenu(vts->pgci_ut, menu);
    // video_format: 0 NTSC (720x480), 1 PAL (720x576).
    layout.storedHeight = vts->vtsi_mat->vts_video_attr.video_format == 0 ? 480 : 576;
    ifoClose(vts);
    DVDClose(dvd);
    return layout;
}

struct DriveError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class DiscRun {
public:
    DiscRun(GstEngine& dvd, KeepLastOutput& output, const std::string& folder, const std::string& label,
            const DiscLayout& layout, Watchdog& watchdog, int titleWaitMs)
        : dvd_(dvd), output_(output), folder_(folder), label_(label), layout_(layout), watchdog_(watchdog),
          titleWaitMs_(titleWaitMs)
    {
    }

    // One pass of the sequence; throws DriveError when the disc cannot be brought into title 1.
    void sequence()
    {
        measure("directory", [&] { return dvd_.EngineDirectory(folder_); });
        measure("play (from stopped)", [&] { return dvd_.EnginePlay(); });
        intoTitle1(false);

        measureInTitle("pause", [&] { return dvd_.EnginePause(); });
        measure("play (from pause)", [&] { return dvd_.EnginePlay(); });
        measureInTitle("next chapter", [&] { return dvd_.EngineNextChapter(); });
        measureInTitle("previous chapter", [&] { return dvd_.EnginePreviousChapter(); });
        // The engine ends a scan by itself near the title's end or at its start; then the play
        // after it has no scan to end, which the figures should not hide.
        if (measureInTitle("fast-forward 4x", [&] { return dvd_.EngineScanForward(4.0); }) && titleRate() < 2.0)
            note("the fast-forward had ended by itself (title end near) before \"play (after fast-forward)\"");
        measure("play (after fast-forward)", [&] { return dvd_.EnginePlay(); });
        if (measureInTitle("rewind 4x", [&] { return dvd_.EngineScanBackward(4.0); }) && titleRate() > 0.0)
            note("the rewind had ended by itself (title start reached) before \"play (after rewind)\"");
        measure("play (after rewind)", [&] { return dvd_.EnginePlay(); });

        for (int menu = 2; menu <= 7; ++menu) {
            intoTitle1(true);
            const bool shown = measure(
                menuRow(menu), [&] { return dvd_.EngineShowMenu(menu); }, !layout_.menus[menu], [&](bool ok) {
                    // Read at once, before the disc's own program can move on by itself.
                    if (!ok && dvd_.EngineTitle() == 0)
                        note(menuRow(menu) + " failed, yet left a menu showing instead of title 1");
                });
            if (!shown) {
                // The resume belongs to the menu; without one there is nothing to leave.
                if (!layout_.menus[menu])
                    notApplicable(resumeRow(menu));
                continue;
            }
            if (!layout_.menus[menu])
                note(menuRow(menu) + " opened although the IFO files hold no such menu");
            measure(resumeRow(menu), [&] { return dvd_.EngineResume(); });
        }

        measureInTitle("bookmark save", [&] { return dvd_.EngineSaveBookmark(); });
        measureInTitle("bookmark restore", [&] { return dvd_.EngineRestoreBookmark(); });

        // The panel's angle button, back to back as it makes the calls: how many, which, then
        // the next one round; with one angle it only reads.
        bool readsOnly = false;
        measureInTitle(
            "angle step",
            [&] {
                const auto count = dvd_.EngineAngleCount();
                const auto angle = count ? dvd_.EngineAngle() : std::nullopt;
                if (!count || !angle)
                    return false;
                readsOnly = *count <= 1;
                return readsOnly || dvd_.EngineAngle(*angle % *count + 1);
            },
            false, [&](bool ok) {
                if (ok && readsOnly) {
                    std::lock_guard<std::mutex> lock(resultsMutex);
                    ++resultFor(label_).cells["angle step"].readsOnly;
                }
            });

        measure("stop", [&] { return dvd_.EngineStop(); });
    }

    int reentries() const { return reentries_; }

private:
    // Times the call, then watches the event loop for 1.5 s. A failure is expected only where the
    // disc cannot do the thing (n/a).
    // afterCall runs right after the call, outside its time and before the watching.
    bool measure(const std::string& row, const std::function<bool()>& call, bool mayFail = false,
                 const std::function<void(bool)>& afterCall = {})
    {
        watchdog_.begin(label_, row);
        const unsigned long delayedBefore = delayedCalls();
        const auto start = Clock::now();
        const bool ok = call();
        const auto end = Clock::now();
        const unsigned long delayed = delayedCalls() - delayedBefore;
        watchdog_.end();
        if (afterCall)
            afterCall(ok);
        const double lateness = timerLatenessFor(1500);
        std::lock_guard<std::mutex> lock(resultsMutex);
        Cell& cell = resultFor(label_).cells[row];
        cell.delayed = std::max(cell.delayed, delayed);
        if (ok) {
            ++cell.measured;
            cell.callMs = std::max(cell.callMs, msSince(start, end));
            cell.lateMs = std::max(cell.lateMs, lateness);
        } else if (mayFail) {
            ++cell.notApplicable;
        } else {
            ++cell.failed;
            std::fprintf(stderr, "command_block_bench: %s: \"%s\" failed\n", label_.c_str(), row.c_str());
        }
        const double callMs = msSince(start, end);
        if (callMs > kLongBlockMs) {
            char text[160];
            std::snprintf(text, sizeof text, "\"%s\" blocked the window thread for %.1f s (over %d s)", row.c_str(),
                          callMs / 1000, kLongBlockMs / 1000);
            resultFor(label_).notes.push_back(text);
            std::fprintf(stderr, "command_block_bench: %s: %s\n", label_.c_str(), text);
        }
        // Kept up to date, so that a process stopped from outside leaves its figures so far.
        writeTsv();
        return ok;
    }

    bool measureInTitle(const std::string& row, const std::function<bool()>& call, bool mayFail = false,
                        const std::function<void(bool)>& afterCall = {})
    {
        intoTitle1(true);
        return measure(row, call, mayFail, afterCall);
    }

    void notApplicable(const std::string& row)
    {
        std::lock_guard<std::mutex> lock(resultsMutex);
        ++resultFor(label_).cells[row].notApplicable;
    }

    void note(const std::string& text)
    {
        std::lock_guard<std::mutex> lock(resultsMutex);
        auto& notes = resultFor(label_).notes;
        if (std::find(notes.begin(), notes.end(), text) == notes.end())
            notes.push_back(text);
    }

    // A repeating 5 ms timer in this event loop for the given time; its longest delay past the
    // due time is what a repaint or a panel timer would have waited.
    double timerLatenessFor(int ms)
    {
        QEventLoop loop;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(5);
        auto last = Clock::now();
        double worst = 0;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const auto now = Clock::now();
            worst = std::max(worst, msSince(last, now) - 5.0);
            last = now;
        });
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        tick.start();
        loop.exec();
        // The stretch since the last tick counts too: a stall at the very end delays the quit.
        worst = std::max(worst, msSince(last) - 5.0);
        return std::max(0.0, worst);
    }

    // Title seconds per second over a short stretch: about 4 while fast-forwarding, negative
    // while rewinding, 1 at normal speed.
    double titleRate()
    {
        const auto from = dvd_.positionNs();
        const auto start = Clock::now();
        runEventLoopFor(250);
        const auto to = dvd_.positionNs();
        if (!from || !to)
            return 1.0;
        return (*to - *from) / 1e6 / msSince(start);
    }

    bool playingTitle1()
    {
        const auto position = dvd_.positionNs();
        return dvd_.EngineState() == 2 && dvd_.EngineTitle() == 1 && position && *position > 300000000;
    }

    // Title 1 playing, from wherever the disc is: a stopped or paused engine is set playing, a
    // menu gets clicks on its first button until the title runs. Titles are short, so the disc's
    // own program may have left title 1 between commands (its end leads to a menu); `again`
    // counts such returns, which are reported.
    void intoTitle1(bool again)
    {
        if (playingTitle1())
            return;
        if (again) {
            ++reentries_;
            note("title 1 had ended or was left between commands; the bench went back into it (not measured)");
        }
        // These calls are not measured, but a hang in them must be caught all the same.
        auto guarded = [&](const char* what, const std::function<bool()>& call) {
            watchdog_.begin(label_, std::string("(into title 1) ") + what);
            const bool ok = call();
            watchdog_.end();
            return ok;
        };
        const auto state = dvd_.EngineState();
        if ((!state || *state != 2) && !guarded("play", [&] { return dvd_.EnginePlay(); }))
            throw DriveError("play failed while getting back into title 1");
        int replays = 0;
        const bool reached = waitUntil(
            [&] {
                if (dvd_.EngineState() == 0) {
                    // Playback stopped on the way (the disc's end, or the engine gave up on it).
                    ++replays;
                    guarded("play", [&] { return dvd_.EnginePlay(); });
                }
                if (dvd_.EngineTitle() == 0 && !output_.last.isNull()) {
                    // The first button's centre: x 180..540 and the first row (PAL 200..252,
                    // NTSC 150..194) of the stored picture.
                    const double y = layout_.storedHeight == 480 ? 172.0 : 226.0;
                    guarded("click", [&] {
                        dvd_.pointerClicked(360.0 * output_.last.width() / 720.0,
                                            y * output_.last.height() / layout_.storedHeight);
                        return true;
                    });
                }
                return playingTitle1();
            },
            titleWaitMs_, 20);
        if (replays > 0)
            note("playback stopped on the way into title 1 (the disc's end, or the engine gave up) and the bench "
                 "started it again");
        if (!reached) {
            const auto title = dvd_.EngineTitle();
            const auto state = dvd_.EngineState();
            throw DriveError("title 1 did not start within " + std::to_string(titleWaitMs_ / 1000) + " s (title " +
                             (title ? std::to_string(*title) : "?") + ", state " +
                             (state ? std::to_string(*state) : "?") + ", picture " +
                             (output_.last.isNull() ? "none" : std::to_string(output_.last.width()) + "x" +
                                                                   std::to_string(output_.last.height())) +
                             ")");
        }
    }

    GstEngine& dvd_;
    KeepLastOutput& output_;
    const std::string folder_;
    const std::string label_;
    const DiscLayout layout_;
    Watchdog& watchdog_;
    const int titleWaitMs_;
    int reentries_ = 0;
};

// --table: the figures of several --tsv files side by side, in the order given.
int printTables(const std::vector<std::string>& files)
{
    std::vector<std::pair<std::string, std::map<std::string, std::string>>> columns;
    std::vector<std::pair<std::string, std::string>> notes;
    for (const auto& file : files) {
        std::ifstream in(file);
        if (!in) {
            std::fprintf(stderr, "command_block_bench: cannot read %s\n", file.c_str());
            return 2;
        }
        for (std::string line; std::getline(in, line);) {
            const auto tab1 = line.find('\t');
            const auto tab2 = tab1 == std::string::npos ? std::string::npos : line.find('\t', tab1 + 1);
            if (tab2 == std::string::npos)
                continue;
            const std::string label = line.substr(0, tab1);
            const std::string row = line.substr(tab1 + 1, tab2 - tab1 - 1);
            const std::string value = line.substr(tab2 + 1);
            // A disc whose process left only a note (killed from outside) still gets its column.
            auto it = std::find_if(columns.begin(), columns.end(), [&](const auto& c) { return c.first == label; });
            if (it == columns.end()) {
                columns.emplace_back(label, std::map<std::string, std::string>{});
                it = columns.end() - 1;
            }
            if (row == "#note")
                notes.emplace_back(label, value);
            else
                it->second[row] = value;
        }
    }
    printTable(columns, notes);
    return 0;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: command_block_bench [--runs N] [--command-limit S] [--title-wait S] [--tsv FILE] DISC...\n"
                 "       command_block_bench --table FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    int commandLimit = 30;
    int titleWait = 20;
    std::vector<std::string> discs;
    bool tableMode = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto number = [&](int* value) {
            if (i + 1 >= argc)
                return false;
            *value = std::atoi(argv[++i]);
            return *value > 0;
        };
        if (arg == "--runs") {
            if (!number(&runs))
                return usage();
        } else if (arg == "--command-limit") {
            if (!number(&commandLimit))
                return usage();
        } else if (arg == "--title-wait") {
            if (!number(&titleWait))
                return usage();
        } else if (arg == "--tsv") {
            if (i + 1 >= argc)
                return usage();
            tsvPath = argv[++i];
        } else if (arg == "--table") {
            tableMode = true;
        } else if (arg.rfind("--", 0) == 0) {
            return usage();
        } else {
            discs.push_back(arg);
        }
    }
    if (discs.empty())
        return usage();
    if (tableMode)
        return printTables(discs);

    QGuiApplication app(argc, argv);
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "command_block_bench: no temporary folder for the bookmark\n");
        return 2;
    }
    Watchdog watchdog(commandLimit);
    bool allOk = true;

    for (const auto& disc : discs) {
        const std::string label =
            QFileInfo(QDir::cleanPath(QFileInfo(QString::fromStdString(disc)).absoluteFilePath())).fileName().toStdString();
        {
            std::lock_guard<std::mutex> lock(resultsMutex);
            resultFor(label);
        }
        std::string error;
        const auto layout = readLayout(disc, &error);
        if (!layout) {
            std::fprintf(stderr, "command_block_bench: %s: %s\n", label.c_str(), error.c_str());
            std::lock_guard<std::mutex> lock(resultsMutex);
            resultFor(label).notes.push_back("cannot be driven: " + error);
            allOk = false;
            continue;
        }

        GstEngineOptions options;
        // A file, as the program keeps it, so that saving costs what it costs there.
        options.bookmarkFile = home.filePath(QString::fromStdString(label + ".bookmark")).toStdString();
        options.makeAudioSink = [] {
            GstElement* sink = gst_element_factory_make("fakesink", nullptr);
            g_object_set(sink, "sync", TRUE, nullptr);
            return sink;
        };
        // Only the folder named: no drive of this machine is picked up by accident.
        options.discSearch = {{}, {}};
        KeepLastOutput output;
        GstEngine dvd(options);
        dvd.setVideoOutput(&output);
        DiscRun run(dvd, output, disc, label, *layout, watchdog, titleWait * 1000);
        for (int i = 0; i < runs; ++i) {
            try {
                run.sequence();
            } catch (const DriveError& e) {
                std::fprintf(stderr, "command_block_bench: %s: run %d: %s\n", label.c_str(), i + 1, e.what());
                std::lock_guard<std::mutex> lock(resultsMutex);
                resultFor(label).notes.push_back("cannot be driven (run " + std::to_string(i + 1) + "): " + e.what());
                allOk = false;
                break;
            }
        }
        dvd.EngineStop();
        dvd.setVideoOutput(nullptr);
        if (run.reentries() > 0) {
            std::lock_guard<std::mutex> lock(resultsMutex);
            resultFor(label).notes.push_back("went back into title 1 " + std::to_string(run.reentries()) +
                                             " times over " + std::to_string(runs) + " runs");
        }
    }

    std::lock_guard<std::mutex> lock(resultsMutex);
    for (const auto& [label, result] : results) {
        for (const auto& [row, cell] : result.cells)
            allOk = allOk && !cell.failed && !cell.hung;
    }
    writeTsv();
    printResults();
    return allOk ? 0 : 1;
}
