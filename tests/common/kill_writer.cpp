#include "common/kill_writer.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

namespace ruvotest {

void KillWhileWriting(unsigned seed, int rounds, const std::function<void(int version)> &write,
                      const std::function<void(int round)> &check) {
    std::mt19937 random(seed);
    for (int round = 0; round < rounds; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            write(0);
            if (::write(ready[1], "!", 1) != 1) _exit(2);
            for (int v = 1;; v ^= 1) write(v);
        }
        close(ready[1]);
        char c;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(200 + random() % 5000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        check(round);
    }
}

std::string FileBytes(const char *path) {
    std::string out;
    if (FILE *f = std::fopen(path, "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) out.push_back(char(c));
        std::fclose(f);
    }
    return out;
}

}  // namespace ruvotest
