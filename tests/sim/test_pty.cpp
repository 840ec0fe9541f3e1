// qv7xx-sim as a process: it publishes its port, answers on it at 9600 bit/s
// and takes the port away again when told to stop.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

const std::string Program = QV_BINARY_DIR "/sim/qv7xx-sim";
constexpr int PatienceMs = 5000;  // generous: the machine is shared

// Reads up to `want` bytes, or a line when `line` is set, waiting at most PatienceMs.
std::string readFrom(int fd, size_t want, bool line)
{
    std::string got;
    while (got.size() < want && !(line && !got.empty() && got.back() == '\n')) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, PatienceMs) <= 0)
            break;
        char c[64];
        const ssize_t n = ::read(fd, c, line ? 1 : sizeof c);
        if (n <= 0)
            break;
        got.append(c, size_t(n));
    }
    return got;
}

} // namespace

TEST(SimProcess, PublishesAnswersAndCleansUp)
{
    ASSERT_EQ(::access(Program.c_str(), X_OK), 0) << Program << " is not built";
    char folder[] = "/tmp/qv7xx-sim-testXXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::execl(Program.c_str(), Program.c_str(), "--port-dir", folder, nullptr);
        ::_exit(127);
    }
    ::close(out[1]);

    std::string path = readFrom(out[0], 4096, true);
    ASSERT_FALSE(path.empty()) << "no port announced";
    path.pop_back();
    EXPECT_EQ(path, std::string(folder) + "/ttyQV0");
    struct stat st;
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B9600);
    ASSERT_EQ(::tcsetattr(fd, TCSANOW, &t), 0);
    ASSERT_EQ(::write(fd, "I", 1), 1);
    const std::string frame = readFrom(fd, 28, false);
    ASSERT_EQ(frame.size(), 28u);
    EXPECT_EQ(frame.substr(0, 3), std::string("%%\x01", 3));
    EXPECT_EQ(frame[3], 'I');
    EXPECT_EQ(frame.substr(26), "##");
    ::close(fd);

    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(::lstat(path.c_str(), &st), 0);  // the port is gone
    ::close(out[0]);
    ::rmdir(folder);
}
