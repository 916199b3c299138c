#include "support/program_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testing_support {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

int RunShellIn(const fs::path& folder, const std::string& command) {
    const int raw = std::system(("cd '" + folder.string() + "' && " + command).c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

ProgramRun RunWithInput(const fs::path& folder, const std::string& program,
                        const std::string& arguments, const std::string& input,
                        const std::string& environment) {
    std::ofstream(folder / "in.scenario", std::ios::binary) << input;
    ProgramRun run;
    run.status = RunShellIn(folder, environment + "'" + program + "' " + arguments +
                                        " < in.scenario > out.txt 2> err.txt");
    run.out = Slurp(folder / "out.txt");
    run.err = Slurp(folder / "err.txt");
    run.json = Slurp(folder / "events.jsonl");
    return run;
}

int Spawn(std::vector<std::string> command, const SpawnOptions& options) {
    std::vector<char*> argv;
    for (std::string& part : command) {
        argv.push_back(part.data());
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        for (const auto& [path, target] :
             {std::pair{&options.outPath, 1}, std::pair{&options.errPath, 2}}) {
            if (!path->empty()) {
                const int file = open(path->c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
                if (file < 0) {
                    _exit(126);
                }
                dup2(file, target);
            }
        }
        if (!options.folder.empty() && chdir(options.folder.c_str()) != 0) {
            _exit(126);
        }
        if (options.fileLimit != 0) {
            // A write past the limit then fails with an error instead of a signal.
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{options.fileLimit, options.fileLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

std::vector<std::string> AsNobody(const std::vector<std::string>& command) {
    std::vector<std::string> wrapped{"setpriv", "--reuid=nobody", "--regid=nogroup",
                                     "--clear-groups"};
    wrapped.insert(wrapped.end(), command.begin(), command.end());
    return wrapped;
}

void ScratchFolderTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("garbolt-") + info->test_suite_name() + "-" + info->name() +
                       "-" + std::to_string(::getpid());
    std::replace(name.begin(), name.end(), '/', '_');
    dir_ = fs::temp_directory_path() / name;
    fs::remove_all(dir_);
    fs::create_directories(dir_);
}

void ScratchFolderTest::TearDown() {
    fs::remove_all(dir_);
}

}  // namespace testing_support
