#include "SimProcess.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

SimProcess::SimProcess(const std::vector<std::string>& args) {
    int out[2], in[2];
    if (pipe(out) != 0)
        return;
    if (pipe(in) != 0) {
        close(out[0]);
        close(out[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(KORVEL_SIM_PATH));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, KORVEL_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(in[0]);
    in_ = in[1];
    // The first line is the path; give a slow machine ten seconds for all of it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool late = false;
    char c;
    pollfd p{out[0], POLLIN, 0};
    while (pid_ > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        late = left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0;
        if (late || read(out[0], &c, 1) != 1 || c == '\n')
            break;
        path_ += c;
    }
    if (late) {
        std::fprintf(stderr, "the simulator printed no whole line path within 10 s (got \"%s\")\n",
                     path_.c_str());
        path_.clear();
    }
    close(out[0]);
}

SimProcess::~SimProcess() {
    finish();
}

void SimProcess::command(const std::string& line) {
    const std::string text = line + "\n";
    if (in_ >= 0 && write(in_, text.data(), text.size()) < 0)
        return;
}

int SimProcess::finish() {
    if (in_ >= 0) {
        close(in_);
        in_ = -1;
    }
    int status = -1;
    if (pid_ > 0) {
        // Ten seconds for an orderly end; after that the simulator is killed, which the
        // status shows.
        kill(pid_, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        pid_t ended = 0;
        while ((ended = waitpid(pid_, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (ended == 0) {
            std::fprintf(stderr, "the simulator did not end within 10 s of SIGTERM; killed\n");
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
        pid_ = -1;
    }
    return status;
}
