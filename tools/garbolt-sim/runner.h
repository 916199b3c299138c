// Plays a scenario in the simulated game: loads the plug-in inside a game
// folder, runs the commands frame by frame, and reports what each frame
// showed as a readable transcript and, if asked, as JSON lines.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "file_hold.h"
#include "folder_watch.h"
#include "frame.h"
#include "look.h"
#include "scenario.h"
#include "sim/play/game_folder.h"
#include "sim/play/player.h"
#include "sim/prompts.h"
#include "watchdog.h"

namespace garbolt_sim {

// Exit statuses of the program.
constexpr int kExitOk = 0;
constexpr int kExitExpectationFailed = 1;
constexpr int kExitBadScenario = 2;
constexpr int kExitPluginHung = 3;  // a call into the plug-in did not return in time

// How long a call into the plug-in (a frame, loading, unloading) may take
// before the watchdog ends the run: far above any frame of a sound plug-in,
// including a debug build's first frame reading a 165 MB outfit file.
constexpr std::chrono::milliseconds kDefaultWatchdog{10000};

struct RunOptions {
    std::string scenarioName = "tour";  // for messages: the file name, "-" or "tour"
    std::string gameDir;                // empty: a fresh folder as an install leaves it
    std::string pluginPath;             // empty: the plug-in beside the program
    std::string jsonPath;               // empty: no JSON lines
    bool trace = false;                 // every native call and global write in the JSON
    std::string shotsDir;               // empty: no automatic screenshots
    // How long prompt completions last; unset: as the game's reset chose.
    std::optional<sim::PromptCompletion> promptCompletion;
    std::chrono::milliseconds watchdog = kDefaultWatchdog;  // zero: no limit
};

class Runner {
  public:
    // Transcript lines go to `transcript`, failures and errors to `errors`.
    Runner(RunOptions options, std::ostream& transcript, std::ostream& errors);
    ~Runner();
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Makes the game folder, resets the game and loads the plug-in; false
    // (with the reason on `errors`) when that is not possible.
    bool Start();
    // Runs each command; the exit status.
    int Run(const std::vector<Command>& commands);
    // One command; false when an expectation failed (the message is written).
    bool Execute(const Command& command);

    // Runs one frame and reports it.
    void Step();
    const FrameRecord& LastFrame() const { return last_; }
    const MenuView& Menu() const { return menu_; }
    // How the character looks after the last frame run: the clothes worn.
    const CharacterLook& Look() const { return look_; }
    const play::GameFolder& Folder() const { return *folder_; }
    // Notifications of the last frame run, oldest first.
    std::vector<std::string> LastNotifications() const { return last_.notifications; }
    // Notifications still on screen after the last frame, oldest first.
    std::vector<std::string> NotificationsOnScreen() const;
    // Renders the last frame to a PNG.
    bool Shot(const std::string& path, std::string* error) const;

    // Called with each frame after it has been reported (the interactive mode).
    void SetFrameListener(std::function<void(const FrameRecord&, const MenuView&)> listener) {
        frameListener_ = std::move(listener);
    }
    // Called with the watchdog's message just before it ends the process
    // (the interactive mode puts the terminal back).
    void SetLastWords(std::function<void(const std::string& message)> lastWords) {
        lastWords_ = std::move(lastWords);
    }

  private:
    bool Fail(const Command& command, const std::string& message);
    bool Act(const Command& command, const std::string& problem);
    // The commands, one handler each, found by kind in Execute's table; false
    // when an expectation failed.
    bool DoFrames(const Command& command);
    bool DoKeys(const Command& command);  // key, keydown, keyup
    bool DoWindow(const Command& command);
    bool DoPromptCompletion(const Command& command);
    bool DoRestart(const Command& command);
    bool DoShot(const Command& command);
    bool DoDump(const Command& command);
    bool CheckNotification(const Command& command);
    bool CheckOpen(const Command& command);
    bool CheckClosed(const Command& command);
    bool CheckPage(const Command& command);
    bool CheckRow(const Command& command);
    bool CheckLabel(const Command& command);
    bool CheckFileContains(const Command& command);
    bool CheckNoMisuse(const Command& command);
    bool CheckNoUnknownNatives(const Command& command);
    // Files beside the game and the screen in detail (runner_checks.cpp).
    bool DoWrite(const Command& command);
    bool DoHold(const Command& command);
    bool CheckFileIs(const Command& command);
    bool CheckFiles(const Command& command);
    bool CheckPrompt(const Command& command);
    bool CheckSound(const Command& command);
    bool CheckTextSize(const Command& command);
    bool CheckFailures(const Command& command);
    static int FailuresIn(const std::vector<std::string>& notifications);
    // The frame's report: one reporter per kind of observation (runner.cpp).
    void ReportFrame(const FrameRecord& frame);
    void ReportTrace(const FrameRecord& frame);
    void ReportUnknown(const FrameRecord& frame);
    void ReportMisuse(const FrameRecord& frame);
    void ReportDraws(const FrameRecord& frame);
    void ReportSounds(const FrameRecord& frame);
    void ReportNotifications(const FrameRecord& frame);
    void ReportMenu(const FrameRecord& frame);
    void ReportRowChange(const FrameRecord& frame, const MenuRow& before, const MenuRow& row);
    void ReportPrompts(const FrameRecord& frame);
    void ReportLight(const FrameRecord& frame);
    void ReportCamera(const FrameRecord& frame);
    void ReportKeyboard(const FrameRecord& frame);
    void ReportFiles(const FrameRecord& frame);
    void ReportClothes(const FrameRecord& frame);
    void ReportShot(const FrameRecord& frame);
    // A transcript line about the frame.
    void Report(const FrameRecord& frame, const std::string& text);
    void Line(const std::string& text);
    void Json(const std::string& line);
    std::string Resolve(const std::string& path) const;
    // The watchdog's end of a run: `what` did not return in time.
    [[noreturn]] void Hung(const std::string& what);
    // Loads or unloads the plug-in under the watchdog.
    bool LoadPlugin();
    void UnloadPlugin();
    void KeepNotificationsOnScreen(const FrameRecord& frame);

    RunOptions options_;
    std::ostream& transcript_;
    std::ostream& errors_;
    std::ofstream json_;
    std::string startDir_;
    std::optional<play::GameFolder> folder_;
    std::unique_ptr<play::Player> player_;
    TraceWatcher watcher_;
    FrameRecord last_;
    MenuView menu_;
    CharacterLook look_;
    std::optional<FolderWatch> files_;
    // The watchdog's name for where the run is: "SCENARIO:LINE: COMMAND".
    std::string where_;
    struct ShownNotification {
        std::string text;
        std::uint32_t shownAt = 0;  // game time
    };
    std::deque<ShownNotification> notificationsOnScreen_;
    std::map<std::int32_t, sim::ShownPrompt> promptsReported_;
    sim::CameraView cameraReported_;
    bool lightReported_ = false;
    std::set<std::uint64_t> unknownReported_;
    std::set<std::string> misuseReported_;  // "NAME (hash): problem", each once
    std::string lastShotKey_;
    bool shownAtLastShot_ = false;  // the last automatic picture showed more than the world
    int keyboardOpens_ = 0;
    bool keyboardOpen_ = false;
    int failures_ = 0;
    int failuresShown_ = 0;  // failure messages the player has seen
    std::unique_ptr<FileHold> hold_;
    std::optional<std::int32_t> window_;
    std::function<void(const FrameRecord&, const MenuView&)> frameListener_;
    std::function<void(const std::string&)> lastWords_;
    // Last: it stops watching before anything it may report on goes.
    Watchdog watchdog_;
};

}  // namespace garbolt_sim
