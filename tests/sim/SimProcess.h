#pragma once
// korvel-sim started for one test: its line path, its standard input for more fault steps,
// and an orderly end when the test is done.
#include <string>
#include <sys/types.h>
#include <vector>

class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The pseudo-terminal path the simulator printed, empty when it did not start.
    const std::string& path() const { return path_; }
    // Sends one command line to the simulator's standard input.
    void command(const std::string& line);
    // Asks the simulator to end and returns its exit status.
    int finish();

private:
    pid_t pid_ = -1;
    int in_ = -1;
    std::string path_;
};
