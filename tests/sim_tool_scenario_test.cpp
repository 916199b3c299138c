// garbolt-sim as a user runs it: the scenario language's errors, each
// expectation failing when it should, the exit statuses, the game folder.
#include <gtest/gtest.h>

#include "sim/play/default_files.h"
#include "sim_tool_fixture.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(GARBOLT_TESTS_READ_PNG)
#include <cairo.h>
#endif

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using sim_tool_testing::Result;
using testing_support::Slurp;

using SimTool = sim_tool_testing::SimToolTest;

TEST_F(SimTool, ParseErrorsNameTheLineAndExitWithTwo) {
    struct Case {
        std::string scenario;
        std::string message;
    };
    const Case cases[] = {
        {"frames 1\n# a comment\njump 3\n", "-:3: error: unknown command 'jump'"},
        {"frames ten\n", "-:1: error: bad number 'ten' for frames"},
        {"frames 1\n\ntype \"half a name\n", "-:3: error: unterminated string"},
        {"type \"ends in \\\n", "-:1: error: unterminated string"},
        {"key F13\n", "-:1: error: unknown key 'F13'"},
        {"key 70000\n", "-:1: error: unknown key '70000'"},
        {"press jump\n", "-:1: error: unknown control 'jump'"},
        {"press down jump\n", "-:1: error: unknown control 'jump'"},
        {"press\n", "-:1: error: missing arguments: press CONTROL ..."},
        {"keydown shift F13\n", "-:1: error: unknown key 'F13'"},
        {"expect label x \"a\"\n", "-:1: error: bad number 'x' for the row"},
        {"expect label 3 a\n", "-:1: error: expected a quoted text"},
        {"expect notification \"a\\q\"\n", "-:1: error: unknown escape \\q"},
        {"expect colour red\n", "-:1: error: unknown expectation 'colour'"},
        {"wear 12:x\n", "-:1: error: bad hash 'x' for the state"},
        {"wear 12\n", "-:1: error: expected ITEM:STATE, got '12'"},
        {"game-outfit 6 empty\n", "-:1: error: bad number '6' for the game outfit"},
        {"window wide\n", "-:1: error: bad number 'wide' for the window width"},
        {"model arthur john\n", "-:1: error: too many arguments"},
        {"prompt-completion sometimes\n",
         "-:1: error: expected one-frame or latched, got 'sometimes'"},
        {"frames\n", "-:1: error: missing arguments: frames N"},
        {"expect file ../../../etc/passwd contains \"root\"\n",
         "-:1: error: expect file reads only inside the game folder: '../../../etc/passwd' is "
         "absolute or has '..'"},
        {"expect file /etc/passwd contains \"root\"\n",
         "-:1: error: expect file reads only inside the game folder: '/etc/passwd'"},
        {"write ../x \"a\"\n", "-:1: error: write works only inside the game folder: '../x'"},
        {"hold Garbolt/Garbolt.ini 0\n", "-:1: error: bad number '0' for the milliseconds"},
        {"expect prompt \"Back\" on\n", "-:1: error: expected shown or hidden, got 'on'"},
        {"expect text-size all 20\n", "-:1: error: expected every or some, got 'all'"},
        {"expect file Garbolt/Garbolt.ini holds \"x\"\n",
         "-:1: error: expected: expect file PATH contains|is \"TEXT\""},
    };
    for (const Case& c : cases) {
        const Result result = Run(c.scenario);
        EXPECT_EQ(result.status, 2) << c.scenario;
        EXPECT_EQ(result.err.rfind(c.message, 0), 0u) << c.scenario << " gave " << result.err;
        EXPECT_EQ(result.out, "") << "a scenario that does not parse must not run";
    }
}

TEST_F(SimTool, EscapesAndCommentsParse) {
    const Result result =
        Run("  frames 1   # trailing comment\n"
            "#only a comment\n"
            "\n"
            "write Garbolt/SavedOutfits.xml \"<?xml version=\\\"1.0\\\"?>\\n<Garbolt />\\n\"\n"
            "expect file Garbolt/SavedOutfits.xml contains \"<Garbolt\"  # the root alone\n"
            "expect file Garbolt/SavedOutfits.xml contains \"\\\"1.0\\\"\"\n"
            "expect file Garbolt/SavedOutfits.xml contains \"<Garbolt />\\n\"\n"
            "keydown shift\nkeyup SHIFT\nkey f1\nkey 120\nkeydown shift f1\nkeyup f1 shift\n"
            "press up down\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("line 1: frames 1\n"), std::string::npos) << result.out;
}

TEST_F(SimTool, EachExpectationFailsWithItsLine) {
    struct Case {
        std::string line;
        std::string message;
    };
    const Case cases[] = {
        {"expect notification \"Successfully saved outfit\"",
         "-:3: expect notification \"Successfully saved outfit\": no notification on frame 1"},
        {"expect open", "-:3: expect open: the menu is closed"},
        {"expect page 0", "-:3: expect page 0: the menu is closed"},
        {"expect row 0", "-:3: expect row 0: the menu is closed"},
        {"expect label 0 \"Saved Outfits\"",
         "-:3: expect label 0 \"Saved Outfits\": the menu is closed"},
        {"expect file Garbolt/SavedOutfits.xml contains \"<Outfit>\"",
         "-:3: expect file Garbolt/SavedOutfits.xml contains \"<Outfit>\": "
         "Garbolt/SavedOutfits.xml"},
        {"expect file Garbolt/missing.xml contains \"x\"",
         "-:3: expect file Garbolt/missing.xml contains \"x\": cannot read Garbolt/missing.xml"},
        {"expect file Garbolt/SavedOutfits.xml is \"<Garbolt />\\n\"",
         "-:3: expect file Garbolt/SavedOutfits.xml is \"<Garbolt />\\n\": "
         "Garbolt/SavedOutfits.xml holds \"<?xml version=\\\"1.0\\\"?>\\n<Garbolt />\\n\""},
        {"expect files Garbolt Garbolt.ini",
         "-:3: expect files Garbolt Garbolt.ini: Garbolt holds SavedOutfits.xml"},
        {"expect prompt \"Select\" shown",
         "-:3: expect prompt \"Select\" shown: the prompt is hidden"},
        {"expect prompt \"Jump\" hidden",
         "-:3: expect prompt \"Jump\" hidden: the plug-in has made no prompt \"Jump\""},
        {"expect sound \"MENU_ENTER\"", "-:3: expect sound \"MENU_ENTER\": frame 1 played no"},
        {"expect text-size some 20",
         "-:3: expect text-size some 20: frame 1 drew texts of sizes none"},
        {"expect failures 1", "-:3: expect failures 1: 0 failure messages were shown"},
    };
    for (const Case& c : cases) {
        const Result result =
            Run("write Garbolt/SavedOutfits.xml \"<?xml version=\\\"1.0\\\"?>\\n<Garbolt "
                "/>\\n\"\nframes 1\n" +
                c.line + "\nframes 1\n");
        EXPECT_EQ(result.status, 1) << c.line;
        EXPECT_EQ(result.err.rfind(c.message, 0), 0u) << c.line << " gave " << result.err;
        // The run goes on after a failed expectation.
        EXPECT_NE(result.out.find("line 4: frames 1"), std::string::npos) << c.line;
    }
    const Result held = Run("frames 1\nexpect closed\nexpect no-unknown-natives\n");
    EXPECT_EQ(held.status, 0) << held.err;
    EXPECT_EQ(held.err, "");
    // The player's own file, put in without a frame, and held where only
    // Windows can hold one.
    const Result written =
        Run("write Garbolt/Garbolt.ini \"[Garbolt]\\niMenuKey=121\\n\"\n"
            "expect file Garbolt/Garbolt.ini is \"[Garbolt]\\niMenuKey=121\\n\"\n"
            "key F10\nexpect open\nexpect sound \"MENU_ENTER\"\nexpect text-size some 45\n"
            "expect prompt \"Select\" shown\nexpect failures 0\n");
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_NE(written.out.find("line 1: write Garbolt/Garbolt.ini \"[Garbolt]\\niMenuKey=121\\n\"\n"
                               "  file Garbolt/Garbolt.ini put there (23 bytes)\nline 2"),
              std::string::npos)
        << written.out;
    const Result hold = Run("hold Garbolt/Garbolt.ini 200\n");
    EXPECT_EQ(hold.status, 1);
    EXPECT_NE(hold.err.find("needs the Windows build"), std::string::npos) << hold.err;
}

TEST_F(SimTool, GameFolderIsUsedAndKept) {
    fs::create_directories(dir_ / "game" / "Garbolt");
    std::ofstream(dir_ / "game" / "Garbolt" / "Garbolt.ini") << "[Garbolt]\r\niMenuKey=45\r\n";
    std::ofstream(dir_ / "game" / "Garbolt" / "SavedOutfits.xml") << "<Garbolt/>";
    // A link in the folder does not lead the expectation out of it.
    fs::create_symlink("/etc/passwd", dir_ / "game" / "Garbolt" / "elsewhere");
    // Files long untouched, as a player's are: the save is still seen.
    for (const char* name : {"Garbolt.ini", "SavedOutfits.xml"}) {
        fs::last_write_time(dir_ / "game" / "Garbolt" / name,
                            fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    const Result result =
        Run("frames 3\nexpect file Garbolt/Garbolt.ini contains \"iMenuKey=45\"\n"
            "expect file Garbolt/elsewhere contains \"root\"\n"
            "key 45\npress down\npress down\npress select\npress down\npress down\npress select\n"
            "expect notification \"Successfully saved settings\"\nframes 3\n",
            "--game-dir game -");
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(result.err,
              "-:3: expect file Garbolt/elsewhere contains \"root\": "
              "Garbolt/elsewhere leads outside the game folder\n");
    // Reported on the frame of the save, and only then.
    const std::size_t written = result.out.find(
        "  frame 11  notification \"Successfully saved settings\"\n"
        "  frame 11  file Garbolt/Garbolt.ini written (52 bytes)\n");
    EXPECT_NE(written, std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("  file Garbolt/"), result.out.rfind("  file Garbolt/"));
    EXPECT_EQ(Slurp(dir_ / "game" / "Garbolt" / "SavedOutfits.xml"), "<Garbolt/>");

    const Result missing = Run("frames 1\n", "--game-dir nowhere -");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("nowhere does not exist"), std::string::npos) << missing.err;
}

TEST_F(SimTool, DefaultFolderIsAFirstStartAndIsRemoved) {
    // The Garbolt folder as an install leaves it, without the player's files:
    // the first save of each writes its file.
    const Result result = Run("frames 1\nexpect files Garbolt\n");
    EXPECT_EQ(result.status, 0) << result.err;
    // The fresh folder lived in the temporary folder and is gone again.
    fs::create_directories(dir_ / "tmp");
    const Result inTmp = Run("frames 1\n", "-", "TMPDIR='" + (dir_ / "tmp").string() + "' ");
    EXPECT_EQ(inTmp.status, 0) << inTmp.err;
    EXPECT_TRUE(fs::is_empty(dir_ / "tmp"));
}

TEST_F(SimTool, BadOptionsExitWithTwo) {
    const Result version = Run("", "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "garbolt-sim " GARBOLT_VERSION "\n");
    EXPECT_EQ(Run("", "--frobnicate").status, 2);
    EXPECT_EQ(Run("", "--json").status, 2);
    EXPECT_EQ(Run("", "a.scenario b.scenario").status, 2);
    const Result reading = Run("", "--prompt-completion sometimes -");
    EXPECT_EQ(reading.status, 2);
    EXPECT_NE(reading.err.find("--prompt-completion takes one-frame or latched, not sometimes"),
              std::string::npos);
    const Result missing = Run("", "no-such.scenario");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot read no-such.scenario"), std::string::npos);
}

TEST_F(SimTool, ScreenshotHasTheWindowSize) {
    auto size = [this](const std::string& name) {
        const std::string png = Slurp(dir_ / name);
        EXPECT_GE(png.size(), 24u);
        EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        auto word = [&png](std::size_t at) {
            return (static_cast<unsigned>(static_cast<unsigned char>(png[at])) << 24) |
                   (static_cast<unsigned>(static_cast<unsigned char>(png[at + 1])) << 16) |
                   (static_cast<unsigned>(static_cast<unsigned char>(png[at + 2])) << 8) |
                   static_cast<unsigned>(static_cast<unsigned char>(png[at + 3]));
        };
        return std::make_pair(word(16), word(20));
    };
    Result result = Run("frames 1\nshot plain.png\nwindow 2560\nshot wide.png\n");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(size("plain.png"), std::make_pair(1920u, 1080u));
    EXPECT_EQ(size("wide.png"), std::make_pair(2560u, 1440u));

    result = Run("frames 1\nshot no-such-folder/x.png\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("-:2: shot no-such-folder/x.png: cannot write"), std::string::npos)
        << result.err;
}

#if defined(GARBOLT_TESTS_READ_PNG)
// The pixels of a rectangle of a picture, given in fractions of its size.
std::string Region(const fs::path& png, double left, double top, double right, double bottom) {
    cairo_surface_t* image = cairo_image_surface_create_from_png(png.c_str());
    std::string pixels;
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
        const int width = cairo_image_surface_get_width(image);
        const int height = cairo_image_surface_get_height(image);
        const int stride = cairo_image_surface_get_stride(image);
        const auto* data = reinterpret_cast<const char*>(cairo_image_surface_get_data(image));
        const int x0 = static_cast<int>(left * width), x1 = static_cast<int>(right * width);
        for (int y = static_cast<int>(top * height); y < static_cast<int>(bottom * height); ++y) {
            pixels.append(data + y * stride + x0 * 4, static_cast<std::size_t>(x1 - x0) * 4);
        }
    }
    cairo_surface_destroy(image);
    EXPECT_FALSE(pixels.empty()) << png;
    return pixels;
}

// The character wears what the game says it wears: every equip changes how it
// looks and nothing else on the screen, and each outfit looks like itself
// (the custom outfit saved from the clothes worn looks as they did).
TEST_F(SimTool, ScreenshotsShowTheClothesWorn) {
    std::string wear = "wear";
    for (int k = 0; k < 30; ++k) {
        wear += " " + std::to_string(0x1000 + 77 * k) + ":1";
    }
    const Result result =
        Run("window 480\n" + wear +
            "\nkey F9\npress select\npress down\npress down\npress down\npress down\npress down\n"
            "press save\ntype \"Mine\"\nframes 1\nshot own.png\n"
            "press back\npress down\npress select\npress select\nshot preset.png\n"
            "press back\npress up\npress select\nshot before.png\npress select\nshot game.png\n"
            "press down\npress down\npress down\npress down\npress down\npress select\n"
            "shot custom.png\n");
    ASSERT_EQ(result.status, 0) << result.err;
    auto character = [this](const char* name) {
        return Region(dir_ / name, 0.55, 0.36, 0.70, 0.92);
    };
    EXPECT_NE(character("before.png"), character("game.png"));
    // The equip changed the character only: the menu beside it is the same.
    EXPECT_EQ(Region(dir_ / "before.png", 0, 0, 0.5, 1), Region(dir_ / "game.png", 0, 0, 0.5, 1));
    EXPECT_EQ(character("before.png"), character("preset.png"));
    EXPECT_NE(character("own.png"), character("preset.png"));
    EXPECT_NE(character("own.png"), character("game.png"));
    EXPECT_EQ(character("own.png"), character("custom.png"));
}

// The frame on which the transcript reports `event` (0 when it does not).
int FrameOf(const std::string& transcript, const std::string& event) {
    const std::size_t at = transcript.find(event);
    const std::size_t line = transcript.rfind("  frame ", at);
    return at == std::string::npos || line == std::string::npos
               ? 0
               : std::atoi(transcript.c_str() + line + 8);
}

// A frame whose only change is the naming keyboard opening, or a
// notification, is a new screen: its automatic picture shows it, beside a
// menu that has not changed.
TEST_F(SimTool, AutomaticShotsShowTheKeyboardAndNotifications) {
    const Result result =
        Run("window 480\nkey F9\npress select\npress down\npress down\npress down\npress down\n"
            "press down\npress save\ntype-cancel\npress back\npress down\npress down\n"
            "press select\npress down\npress down\npress select\n",
            "--shots shots -");
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<std::string> pictures;
    for (const auto& entry : fs::directory_iterator(dir_ / "shots")) {
        pictures.push_back(entry.path().filename().string());
    }
    std::sort(pictures.begin(), pictures.end());
    auto picture = [](int frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", frame);
        return std::string(name);
    };
    const int keyboard = FrameOf(result.out, "naming keyboard open");
    const int saved = FrameOf(result.out, "notification \"Successfully saved settings\"");
    ASSERT_GT(keyboard, 0) << result.out;
    ASSERT_EQ(pictures.back(), picture(saved)) << result.out;
    const auto shown = std::find(pictures.begin(), pictures.end(), picture(keyboard));
    ASSERT_NE(shown, pictures.end()) << result.out;
    // Each picture against the one before: where the new thing shows (the
    // keyboard mid-screen, the feed at the top right), and the menu.
    struct Pair {
        std::string now, before;
        double left, top, right, bottom;
    };
    for (const Pair& p : {Pair{*shown, *(shown - 1), 0.3, 0.35, 0.7, 0.6},
                          Pair{pictures.back(), *(pictures.end() - 2), 0.5, 0, 0.9, 0.2}}) {
        EXPECT_NE(Region(dir_ / "shots" / p.now, p.left, p.top, p.right, p.bottom),
                  Region(dir_ / "shots" / p.before, p.left, p.top, p.right, p.bottom))
            << p.now;
        EXPECT_EQ(Region(dir_ / "shots" / p.now, 0, 0, 0.25, 1),
                  Region(dir_ / "shots" / p.before, 0, 0, 0.25, 1))
            << p.now;
    }
}
#endif

TEST_F(SimTool, UnknownNativesAreReportedAndFailTheirExpectation) {
    const Result result =
        Run("frames 3\nexpect no-unknown-natives\nexpect no-misuse\n",
            "--plugin '" GARBOLT_SIM_UNKNOWN_NATIVE_PLUGIN "' --json events.jsonl -");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("-:2: expect no-unknown-natives: 3 calls of unknown natives: "
                              "0x0123456789ABCDEF"),
              std::string::npos)
        << result.err;
    // Reported once in the transcript, every call in the JSON.
    EXPECT_NE(result.out.find("frame 1  unknown native 0x0123456789ABCDEF with 1 arguments"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.find("frame 2  unknown native"), std::string::npos);
    const std::string json = Slurp(dir_ / "events.jsonl");
    std::size_t calls = 0;
    for (std::size_t at = json.find("\"type\":\"unknown-native\",\"hash\":\"0x0123456789ABCDEF\"");
         at != std::string::npos; at = json.find("\"type\":\"unknown-native\"", at + 1)) {
        ++calls;
    }
    EXPECT_EQ(calls, 3u);
    // An unknown native is a misuse too: each call an event, the kind once in
    // the transcript, and the run fails even where the scenario does not ask.
    EXPECT_NE(result.err.find("-:3: expect no-misuse: 3 misuses of natives: 0x0123456789ABCDEF: "
                              "unknown native"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.out.find("frame 1  misuse of 0x0123456789ABCDEF: unknown native"),
              std::string::npos);
    EXPECT_EQ(result.out.find("frame 2  misuse"), std::string::npos);
    EXPECT_NE(json.find("{\"frame\":3,\"type\":\"misuse\",\"hash\":\"0x0123456789ABCDEF\","
                        "\"name\":null,\"problem\":\"unknown native\",\"args\":[7]}"),
              std::string::npos)
        << json;
    const Result unasked = Run("frames 1\n", "--plugin '" GARBOLT_SIM_UNKNOWN_NATIVE_PLUGIN "' -");
    EXPECT_EQ(unasked.status, 1);
    EXPECT_NE(unasked.out.find("natives misused: 1 misuse of 1 kind"), std::string::npos)
        << unasked.out;
}

// A plug-in that stops handing frames back (here from the tour's first key
// on) ends the run with the frame and the scenario line; what was played up
// to it reaches a reader at the other end of a pipe while it still hangs.
TEST_F(SimTool, PluginThatHangsIsStoppedAndItsTranscriptStreams) {
    const Result stopped =
        Run("", "--plugin '" GARBOLT_SIM_STUCK_PLUGIN "' --watchdog 0.5 --json events.jsonl");
    EXPECT_EQ(stopped.status, 3);
    EXPECT_EQ(stopped.err,
              "garbolt-sim: tour:16: key F9: frame 8 did not return within 0.5 s: the plug-in "
              "hangs (--watchdog SECONDS sets the limit)\n");
    const std::string played = "line 12: frames 2\nline 13: expect closed\nline 16: key F9\n";
    ASSERT_GE(stopped.out.size(), played.size());
    EXPECT_EQ(stopped.out.substr(stopped.out.size() - played.size()), played);

    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        if (::chdir(dir_.c_str()) == 0) {
            ::execl(GARBOLT_SIM_PROGRAM, GARBOLT_SIM_PROGRAM, "--plugin", GARBOLT_SIM_STUCK_PLUGIN,
                    "--watchdog", "0", static_cast<char*>(nullptr));
        }
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    std::string streamed;
    while (streamed.size() < stopped.out.size()) {
        pollfd ready{pipeEnds[0], POLLIN, 0};
        char buffer[4096];
        const ssize_t got =
            ::poll(&ready, 1, 30000) > 0 ? ::read(pipeEnds[0], buffer, sizeof buffer) : 0;
        if (got <= 0) {
            break;
        }
        streamed.append(buffer, static_cast<std::size_t>(got));
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, WNOHANG), 0) << "the run ended instead of hanging";
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    ::close(pipeEnds[0]);
    EXPECT_EQ(streamed, stopped.out);
}

TEST_F(SimTool, PluginThatDoesNotLoadExitsWithTwo) {
    const Result result = Run("frames 1\n", "--plugin no-such-plugin.so -");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("cannot load"), std::string::npos) << result.err;
}

}  // namespace
