// quillon-cli run as a program by the tests that check its output: the command line goes
// through the shell, so it may set variables before the program and redirect its streams.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include <sys/wait.h>

namespace quillon::test {

struct TRun {
    int Code = -1;      // the exit status; -1 when the program did not exit by itself
    std::string Output; // what it wrote to stdout (and to stderr where `command` says 2>&1)
};

inline TRun RunCommand(const std::string& command) {
    TRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> chunk;
    while (size_t n = fread(chunk.data(), 1, chunk.size(), pipe))
        run.Output.append(chunk.data(), n);
    const int status = pclose(pipe);
    run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Whether the output holds `line` as a whole line.
inline bool Says(const TRun& run, const std::string& line) {
    return run.Output.find(line + "\n") != std::string::npos;
}

} // namespace quillon::test
