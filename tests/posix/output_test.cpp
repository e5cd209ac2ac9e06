// The report program's standard output as the operating system sees it: a
// reader that went away, a full device, a terminal and a pipe.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

struct ChildRun {
    int exitStatus = -1;
    std::string output;  // what the reader of standard output got, if read
    std::string errors;
};

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
        else if (n < 0 && errno == EINTR) continue;
        else break;  // end of file, or EIO once a terminal's last writer is gone
    }
    return text;
}

// Runs the scripted report program with `out` as its standard output; reads
// `reader` (when given) until the program is done with it.
ChildRun RunProgram(int out, int reader) {
    int errors[2];
    EXPECT_EQ(pipe(errors), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out, STDOUT_FILENO);
        dup2(errors[1], STDERR_FILENO);
        const char* const command[] = {SCRIPTED_REPORT_COMMAND, "8", "32", nullptr};
        execvp(command[0], const_cast<char* const*>(command));
        _exit(127);
    }
    close(out);
    close(errors[1]);
    ChildRun run;
    if (reader >= 0) {
        run.output = ReadAll(reader);
        close(reader);
    }
    run.errors = ReadAll(errors[0]);
    close(errors[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

void ExpectCompleteRun(const ChildRun& run) {
    EXPECT_EQ(run.exitStatus, 0) << run.errors;
    EXPECT_NE(run.errors.find("last close, 0 problems"), std::string::npos) << run.errors;
}

TEST(Output, ReaderThatWentAwayLosesTextButNotTheRun) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    ExpectCompleteRun(RunProgram(fds[1], -1));
}

TEST(Output, FullDeviceLosesTextButNotTheRun) {
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    ExpectCompleteRun(RunProgram(full, -1));
}

TEST(Output, PipeKeepsEveryByte) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const ChildRun run = RunProgram(fds[1], fds[0]);
    ExpectCompleteRun(run);
    EXPECT_NE(run.output.find("SSID name is [esc\x1B[2J2]\n"), std::string::npos);
    EXPECT_NE(run.output.find("SSID name is [caf\xC3\xA9-1]\n"), std::string::npos);
    EXPECT_NE(run.output.find("SSID name is [csi\xC2\x9B" "5]\n"), std::string::npos);
}

TEST(Output, TerminalShowsControlsOfNamesAsQuestionMarks) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const ChildRun run = RunProgram(slave, master);
    ExpectCompleteRun(run);
    // The terminal adds its own carriage returns; the report's bytes are the same.
    EXPECT_NE(run.output.find("SSID name is [esc?[2J2]\r\n"), std::string::npos);
    EXPECT_NE(run.output.find("SSID name is [caf\xC3\xA9-1]\r\n"), std::string::npos);
    EXPECT_NE(run.output.find("SSID name is [csi??5]\r\n"), std::string::npos);  // C2 9B, CSI
    EXPECT_EQ(run.output.find('\x1B'), std::string::npos);
    EXPECT_EQ(run.output.find('\x9B'), std::string::npos);
    EXPECT_NE(run.output.find("\t\tNetwork 31\r\n"), std::string::npos);
}

}  // namespace
