#include "cli.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <sstream>
#include <string>

#include "interactive.h"
#include "runner.h"
#include "safe_text.h"
#include "scenario.h"
#include "shot.h"
#include "sim/play/game_folder.h"
#include "sim/prompts.h"

namespace garbolt_sim {

namespace {

const char kUsage[] =
    "usage: garbolt-sim [options] [SCENARIO | -]\n"
    "Plays the Garbolt plug-in in the simulated game. Without SCENARIO it plays the\n"
    "built-in tour; '-' reads the scenario from standard input.\n"
    "\n"
    "  --game-dir DIR   the game's folder (the plug-in uses DIR/Garbolt/...); default: a\n"
    "                   fresh temporary folder as the plug-in's first start finds it\n"
    "  --json FILE      write every event as JSON lines into FILE\n"
    "  --trace          with --json: every native call and global write too\n"
    "  --shots DIR      write a PNG of every new screen into DIR\n"
    "  --interactive    play in the terminal (its screen lists the keys)\n"
    "  --plugin PATH    the plug-in library to load (default: the one beside the program)\n"
    "  --prompt-completion one-frame|latched\n"
    "                   how long the game answers a prompt's completion: until the\n"
    "                   prompt's modes are restarted (latched, the default; or as\n"
    "                   GARBOLT_PROMPT_COMPLETION says) or on its frame only\n"
    "  --watchdog SECONDS\n"
    "                   end the run (status 3) when a frame of the plug-in, or its\n"
    "                   loading or unloading, takes longer (default 10; 0: no limit)\n"
    "  --print-tour     print the built-in tour and stop\n"
    "  --help           this text\n"
    "  --version        the program's version\n"
    "\n"
    "Exit status: 0 all expectations held, 1 an expectation failed, 2 the scenario\n"
    "does not parse or cannot be run, 3 the plug-in hung.\n";

// Seconds as a decimal number, at most a day; false for anything else.
bool ParseSeconds(const std::string& text, std::chrono::milliseconds* limit) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) {
        return false;
    }
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !(seconds >= 0) || seconds > 86400) {
        return false;
    }
    *limit = std::chrono::milliseconds(static_cast<std::int64_t>(seconds * 1000 + 0.5));
    return true;
}

int Play(int argc, char** argv) {
    RunOptions options;
    std::string scenarioPath;
    bool interactive = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string* into) {
            if (i + 1 >= argc) {
                std::cerr << "garbolt-sim: " << arg << " needs a value\n" << kUsage;
                return false;
            }
            *into = argv[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return kExitOk;
        } else if (arg == "--version") {
            std::cout << "garbolt-sim " << GARBOLT_VERSION << "\n";
            return kExitOk;
        } else if (arg == "--print-tour") {
            std::cout << kDefaultTour;
            return kExitOk;
        } else if (arg == "--game-dir") {
            if (!value(&options.gameDir)) {
                return kExitBadScenario;
            }
        } else if (arg == "--json") {
            if (!value(&options.jsonPath)) {
                return kExitBadScenario;
            }
        } else if (arg == "--shots") {
            if (!value(&options.shotsDir)) {
                return kExitBadScenario;
            }
        } else if (arg == "--plugin") {
            if (!value(&options.pluginPath)) {
                return kExitBadScenario;
            }
        } else if (arg == "--prompt-completion") {
            std::string word;
            sim::PromptCompletion reading = sim::PromptCompletion::Latched;
            if (!value(&word)) {
                return kExitBadScenario;
            }
            if (!sim::ParsePromptCompletion(word, &reading)) {
                std::cerr << "garbolt-sim: --prompt-completion takes one-frame or latched, not "
                          << TerminalSafe(word) << "\n";
                return kExitBadScenario;
            }
            options.promptCompletion = reading;
        } else if (arg == "--watchdog") {
            std::string seconds;
            if (!value(&seconds)) {
                return kExitBadScenario;
            }
            if (!ParseSeconds(seconds, &options.watchdog)) {
                std::cerr << "garbolt-sim: --watchdog takes seconds (0: no limit), not "
                          << TerminalSafe(seconds) << "\n";
                return kExitBadScenario;
            }
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--interactive") {
            interactive = true;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            std::cerr << "garbolt-sim: unknown option " << arg << "\n" << kUsage;
            return kExitBadScenario;
        } else if (!scenarioPath.empty()) {
            std::cerr << "garbolt-sim: one scenario at a time (" << scenarioPath << ", " << arg
                      << ")\n";
            return kExitBadScenario;
        } else {
            scenarioPath = arg;
        }
    }

    std::string source;
    if (interactive && scenarioPath.empty()) {
        source.clear();  // nothing to play before the player takes over
        options.scenarioName = "interactive";
    } else if (scenarioPath.empty()) {
        source = kDefaultTour;
        options.scenarioName = "tour";
    } else if (scenarioPath == "-") {
        std::ostringstream in;
        in << std::cin.rdbuf();
        source = in.str();
        options.scenarioName = "-";
    } else {
        if (!play::ReadWholeFile(scenarioPath, &source)) {
            std::cerr << "garbolt-sim: cannot read " << scenarioPath << "\n";
            return kExitBadScenario;
        }
        options.scenarioName = scenarioPath;
    }

    const ParseResult parsed = ParseScenario(source);
    if (!parsed.ok) {
        std::cerr << TerminalSafe(options.scenarioName + ":" + std::to_string(parsed.errorLine) +
                                  ": error: " + parsed.error)
                  << "\n";
        return kExitBadScenario;
    }

    if (interactive) {
        const int status = RunInteractive(options, parsed.commands);
        ReleaseShotCaches();
        return status;
    }
    int status = kExitBadScenario;
    {
        Runner runner(options, std::cout, std::cerr);
        if (runner.Start()) {
            status = runner.Run(parsed.commands);
        }
    }
    ReleaseShotCaches();
    std::cout.flush();
    return status;
}

}  // namespace

int Main(int argc, char** argv) {
    // Every expected failure has its exit status; anything else is the
    // tool's own fault and must still end with a word, not an abort.
    try {
        return Play(argc, argv);
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << "garbolt-sim: internal error: " << TerminalSafe(error.what()) << "\n";
    } catch (...) {
        std::cout.flush();
        std::cerr << "garbolt-sim: internal error: an unknown exception\n";
    }
    return kExitBadScenario;
}

}  // namespace garbolt_sim
