#include "support/CliProcess.h"

#include "support/TempDir.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

extern char** environ;

namespace {

std::vector<std::string> childEnvironment(const std::filesystem::path& home) {
    const std::vector<std::pair<std::string, std::string>> overrides = {
        {"HOME", home.string()},
        {"XDG_DATA_HOME", (home / "data").string()},
        {"XDG_CONFIG_HOME", (home / "config").string()},
        {"XDG_CACHE_HOME", (home / "cache").string()},
        {"LC_ALL", "de_DE.UTF-8"},
        {"LANG", "de_DE.UTF-8"},
    };
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        bool replaced = false;
        for (const auto& [name, value] : overrides) {
            replaced = replaced || text.rfind(name + "=", 0) == 0;
        }
        if (!replaced) {
            environment.push_back(text);
        }
    }
    for (const auto& [name, value] : overrides) {
        environment.push_back(name + "=" + value);
    }
    return environment;
}

} // namespace

CliResult runOrveltCli(const std::vector<std::string>& arguments, const std::filesystem::path& home,
                       const std::string& output) {
    TempDir capture;
    const std::string outPath = output.empty() ? (capture / "out").string() : output;
    const std::string errPath = (capture / "err").string();

    std::vector<std::string> argv = {ORVELT_CLI_PROGRAM};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argvPointers;
    for (std::string& argument : argv) {
        argvPointers.push_back(argument.data());
    }
    argvPointers.push_back(nullptr);
    std::vector<std::string> environment = childEnvironment(home);
    std::vector<char*> environmentPointers;
    for (std::string& entry : environment) {
        environmentPointers.push_back(entry.data());
    }
    environmentPointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argvPointers[0], &actions, nullptr, argvPointers.data(),
                                    environmentPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error(std::string("cannot start orvelt-cli: ") + std::strerror(spawned));
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (output.empty()) {
        result.out = readWholeFile(outPath);
    }
    result.err = readWholeFile(errPath);
    return result;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}
