// The status line: rewritten in place on a terminal, nothing elsewhere.
#include "StatusLine.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <string>

namespace {

// Everything written to the terminal side so far.
std::string Drain(int master) {
    std::string text;
    char buffer[512];
    for (;;) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(master, &set);
        timeval wait{0, 200000};
        if (select(master + 1, &set, nullptr, nullptr, &wait) <= 0) break;
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    return text;
}

TEST(StatusLine, OnATerminalEachLineReplacesTheLastAndClearRemovesIt) {
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    std::FILE* terminal = fdopen(slave, "w");
    ASSERT_NE(terminal, nullptr);
    {
        StatusLine status(terminal);
        EXPECT_TRUE(status.Active());
        status.Show("00:00:01;00  frames 30", true);
        status.Show("00:00:02;00  frames 60  drops 0", true);
        // A shorter line covers the rest of the longer one with blanks.
        status.Show("short", true);
        status.Clear();
        status.Clear();  // nothing more to clear
    }
    std::fflush(terminal);
    EXPECT_EQ(Drain(master), "\r00:00:01;00  frames 30"
                             "\r00:00:02;00  frames 60  drops 0"
                             "\rshort" + std::string(26, ' ') +
                             "\r" + std::string(5, ' ') + "\r");
    std::fclose(terminal);
    close(master);
}

TEST(StatusLine, ElsewhereItWritesNothing) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        StatusLine status(file);
        EXPECT_FALSE(status.Active());
        status.Show("00:00:01;00  frames 30", true);
        status.Clear();
    }
    EXPECT_EQ(std::ftell(file), 0);
    std::fclose(file);
    StatusLine none(nullptr);
    EXPECT_FALSE(none.Active());
    none.Show("x", true);
}

}  // namespace
