// The real program, started from a copy of its folder, ended from outside as a desktop ends it:
// a termination signal, an installed copy in a folder it cannot write, the display going away.
// Each time the settings file must hold what the program held, written once.
#include <grp.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// What the program is started with: no volume key (so -5000), a screen size of 2 (applied as the
// normal size, kept as 0) and a mute of 5 (kept as 0), around the user's own comment line.
const QByteArray StartFile =
    "; my settings\n[quorvel]\nbalance=250\nscreen=2\nmute=5\nspeed=4\nr_lbl=1\nl_lbl=0\ndir=\ndirsta=0\n";
// What a save at the end must write from that.
const QByteArray EndFile = "; my settings\n[quorvel]\nbalance=250\nscreen=0\nmute=0\nspeed=4\nr_lbl=1\nl_lbl=0\ndir=\n"
                           "dirsta=0\nvolume=-5000\n";

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Counts the times a file in one folder is written or renamed into place, from the kernel's own
// notices, so the program needs nothing added to be watched.
class WriteCounter {
public:
    explicit WriteCounter(const QString& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (fd_ >= 0)
            inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_MOVED_TO | IN_CLOSE_WRITE);
    }
    ~WriteCounter()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool valid() const { return fd_ >= 0; }
    int count(const QByteArray& name)
    {
        alignas(inotify_event) char buffer[8192];
        ssize_t n;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len > 0)
                    counts_[QByteArray(event->name)] += 1;
                p += sizeof(inotify_event) + event->len;
            }
        }
        return counts_.value(name);
    }

private:
    int fd_;
    QHash<QByteArray, int> counts_;
};

class ProgramEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        // Open to all, for the case run as another user.
        ::chmod(QFile::encodeName(root.path()).constData(), 0755);
        ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("bin")));
        ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("config")));
        ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("home")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUORVEL_PROGRAM), programPath()));
    }
    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(10000);
        }
        // A read-only folder would keep QTemporaryDir from cleaning up.
        ::chmod(QFile::encodeName(programFolder()).constData(), 0755);
    }

    QString programFolder() const { return root.filePath(QStringLiteral("bin")); }
    QString programPath() const { return root.filePath(QStringLiteral("bin/quorvel")); }
    QString beside() const { return root.filePath(QStringLiteral("bin/quorvel2.ini")); }
    QString configHome() const { return root.filePath(QStringLiteral("config")); }

    QProcessEnvironment environment(const QString& platform = QStringLiteral("offscreen")) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        // The user's real settings folder is never touched.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
        return env;
    }

    void start(const QProcessEnvironment& env)
    {
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(programPath(), {});
        ASSERT_TRUE(program.waitForStarted(20000)) << program.errorString().toStdString();
    }

    // The program takes the end signals only once its start is done (settings loaded, windows
    // up); the kernel shows when the handler is in place.
    bool waitUntilTakingEndSignals()
    {
        QElapsedTimer timer;
        timer.start();
        const QString status = QStringLiteral("/proc/%1/status").arg(program.processId());
        while (timer.elapsed() < 60000) {
            if (program.state() == QProcess::NotRunning)
                return false;
            for (const QByteArray& line : bytesOf(status).split('\n')) {
                if (line.startsWith("SigCgt:")) {
                    const quint64 caught = line.mid(7).trimmed().toULongLong(nullptr, 16);
                    if (caught & (quint64(1) << (SIGTERM - 1)))
                        return true;
                }
            }
            program.waitForFinished(20);
        }
        return false;
    }

    void expectEndedCleanly()
    {
        ASSERT_TRUE(program.waitForFinished(30000)) << "the program did not end";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
    }

    QTemporaryDir root;
    QProcess program;
};

class EndSignal : public ProgramEnd, public ::testing::WithParamInterface<int> {};

TEST_P(EndSignal, SavesWhatTheProgramHeldOnceAndEndsWithZero)
{
    ASSERT_TRUE(put(beside(), StartFile));
    WriteCounter writes(programFolder());
    ASSERT_TRUE(writes.valid());
    ASSERT_NO_FATAL_FAILURE(start(environment()));
    ASSERT_TRUE(waitUntilTakingEndSignals()) << "the program never got ready";
    // Nothing written at start: the file was complete.
    EXPECT_EQ(writes.count("quorvel2.ini"), 0);

    // A second request on the heels of the first, as a logout sends TERM then HUP: one shutdown.
    ::kill(static_cast<pid_t>(program.processId()), GetParam());
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    expectEndedCleanly();
    EXPECT_EQ(bytesOf(beside()), EndFile);
    EXPECT_EQ(writes.count("quorvel2.ini"), 1);
    // No half-written copy left beside it.
    EXPECT_EQ(QDir(programFolder()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("quorvel"), QStringLiteral("quorvel2.ini")}));
}

std::string signalName(const ::testing::TestParamInfo<int>& info)
{
    return info.param == SIGTERM ? "TERM" : info.param == SIGINT ? "INT" : "HUP";
}

INSTANTIATE_TEST_SUITE_P(TermIntHup, EndSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP), signalName);

TEST_F(ProgramEnd, AnInstalledCopyKeepsItsSettingsInTheUsersConfigurationFolder)
{
    // A folder the program cannot write, as an installed copy's is. Root writes anywhere, so as
    // root the program runs as the unprivileged user nobody.
    const bool asRoot = ::geteuid() == 0;
    const uid_t nobody = 65534;
    const QString userFile = configHome() + QStringLiteral("/quorvel/quorvel2.ini");
    const QByteArray stale = "[quorvel]\nvolume=-1\nbalance=0\nscreen=0\nmute=0\nspeed=5\nr_lbl=0\nl_lbl=0\ndir=\ndirsta=0\n";
    ASSERT_TRUE(put(beside(), stale));
    ASSERT_TRUE(QDir(configHome()).mkpath(QStringLiteral("quorvel")));
    ASSERT_TRUE(put(userFile, StartFile));
    ::chmod(QFile::encodeName(programFolder()).constData(), 0555);

    QProcessEnvironment env = environment();
    if (asRoot) {
        for (const QString& path : {configHome(), configHome() + QStringLiteral("/quorvel"), userFile,
                                    root.filePath(QStringLiteral("home"))}) {
            ASSERT_EQ(::chown(QFile::encodeName(path).constData(), nobody, nobody), 0) << path.toStdString();
        }
        env.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), root.filePath(QStringLiteral("home/.cache")));
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        program.setChildProcessModifier([nobody] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                ::_exit(77);
        });
    }
    WriteCounter writes(configHome() + QStringLiteral("/quorvel"));
    ASSERT_TRUE(writes.valid());
    ASSERT_NO_FATAL_FAILURE(start(env));
    if (!waitUntilTakingEndSignals()) {
        if (asRoot && program.exitCode() == 77)
            GTEST_SKIP() << "cannot become the user nobody to make the program folder unwritable";
        FAIL() << "the program never got ready";
    }
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    expectEndedCleanly();

    // Read from the user's file (its screen and mute were applied), written back there.
    EXPECT_EQ(bytesOf(userFile), EndFile);
    EXPECT_EQ(writes.count("quorvel2.ini"), 1);
    // The program folder is as it was.
    EXPECT_EQ(bytesOf(beside()), stale);
    EXPECT_EQ(QDir(programFolder()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("quorvel"), QStringLiteral("quorvel2.ini")}));
}

TEST_F(ProgramEnd, TheDisplayGoingAwaySavesBeforeTheProgramDies)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
    QProcess server;
    // -displayfd: the server picks a free display and tells its number.
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1280x1024x24")});
    ASSERT_TRUE(server.waitForStarted(10000));
    QByteArray display;
    QElapsedTimer timer;
    timer.start();
    while (!display.endsWith('\n') && timer.elapsed() < 20000 && server.state() == QProcess::Running) {
        server.waitForReadyRead(100);
        display += server.readAllStandardOutput();
    }
    ASSERT_TRUE(display.endsWith('\n')) << "Xvfb gave no display";

    ASSERT_TRUE(put(beside(), StartFile));
    WriteCounter writes(programFolder());
    QProcessEnvironment env = environment(QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + QString::fromLatin1(display.trimmed()));
    env.remove(QStringLiteral("XAUTHORITY"));
    ASSERT_NO_FATAL_FAILURE(start(env));
    ASSERT_TRUE(waitUntilTakingEndSignals()) << "the program never got ready";

    server.terminate();
    ASSERT_TRUE(server.waitForFinished(10000));
    // Qt ends the program itself when its display is gone; only the file matters here.
    ASSERT_TRUE(program.waitForFinished(30000)) << "the program outlived its display";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(bytesOf(beside()), EndFile);
    EXPECT_EQ(writes.count("quorvel2.ini"), 1);
}

} // namespace
