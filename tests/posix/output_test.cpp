// The report program's standard output as the operating system sees it: a
// reader that went away, a full device, a terminal and a pipe.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "output/standard_output.h"
#include "report/report_print.h"

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

void RunScriptedReport() {
    const char* const command[] = {SCRIPTED_REPORT_COMMAND, "8", "32", nullptr};
    execvp(command[0], const_cast<char* const*>(command));
}

// Runs `program` (by default the scripted report) in a child with `out` as its
// standard output; reads `reader` (when given) until the child is done with it.
ChildRun RunProgram(int out, int reader, void (*program)() = RunScriptedReport) {
    int errors[2];
    EXPECT_EQ(pipe(errors), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out, STDOUT_FILENO);
        dup2(errors[1], STDERR_FILENO);
        program();
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

// A reader that went away or a full device loses the text, never the run.
TEST(Output, UnwritableOutputLosesTextButNotTheRun) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    for (const int out : {fds[1], full}) {
        const ChildRun run = RunProgram(out, -1);
        EXPECT_EQ(run.exitStatus, 0) << run.errors;
        EXPECT_NE(run.errors.find("last close, 0 problems"), std::string::npos) << run.errors;
    }
}

// SSID bytes on a terminal: a well-formed UTF-8 character that is no control
// (C0, DEL, C1) and no bidirectional control passes; every byte of anything
// else prints "?". Through a pipe every byte passes.
struct SsidCase {
    std::string ssid;
    std::string terminal;
};
const std::string kRun(4094, 'a');  // "[" and these fill the buffer but one byte
const SsidCase kSsids[] = {
    {"caf\xC3\xA9 \xE4\xB8\xAD\xF0\x9F\x98\x80\xEF\xBF\xBD\xF4\x8F\xBF\xBF", ""},  // up to U+10FFFF
    {"\xE2\x80\xA6\xE2\x9B\x80\xC2\xA0\xE2\x80\x8D\xE2\x80\xAF\xE2\x81\xB0\xD8\x9B", ""},  // next to the ranges
    {"a\x1B[2J\x07\x7F", "a?[2J??"},
    {"x\xC2\x9By\xC2\x80\xC2\x9F", "x??y????"},  // C1 in UTF-8: CSI and the ends of the range
    {"\x9B\x80\xBF" "a", "???a"},  // lone continuation bytes
    {"\xC2\xC2\x9B|\xC2\x7F|\xE2\x82|\xF0\x9F\x98|ab\xC2", "???|??|??|???|ab?"},  // cut short
    {"\xC1\x80|\xE0\x9F\xBF|\xF0\x8F\xBF\xBF|\xC0\xAF", "??|???|????|??"},  // overlong, to U+FFFF
    {"\xED\xA0\x80|\xF4\x90\x80\x80|\xF5\x80", "???|????|??"},  // surrogate, past U+10FFFF
    {"evil\xE2\x80\xAEgnp.exe", "evil???gnp.exe"},
    {"\xE2\x80\x8E\xE2\x80\x8F\xE2\x80\xAA\xE2\x81\xA6\xE2\x81\xA9\xD8\x9C", std::string(17, '?')},
    {kRun + "\xE2\x82\xAC", ""},  // a character across the buffer's end
    {kRun + "\xE2\x80\xAE.", kRun + "???."},
    {kRun + "a\xC2\x9B", kRun + "a??"},
};

void PrintSsids() {
    for (const SsidCase& c : kSsids) ReportPrint<u"[%S]\n">(c.ssid.c_str());
    FlushStandardOutput();
    _exit(0);
}

TEST(Output, TerminalShowsOnlyWellFormedTextOfSsids) {
    std::string terminal;
    std::string pipe;
    for (const SsidCase& c : kSsids) {
        terminal += "[" + (c.terminal.empty() ? c.ssid : c.terminal) + "]\r\n";
        pipe += "[" + c.ssid + "]\n";
    }
    int master = -1;
    int slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(RunProgram(slave, master, PrintSsids).output, terminal);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    EXPECT_EQ(RunProgram(fds[1], fds[0], PrintSsids).output, pipe);
}

}  // namespace
