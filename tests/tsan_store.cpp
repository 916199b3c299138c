// The outfit store's own thread beside the script routine, as in the game: a
// file too large to work on within a frame is read on that thread while the
// frames run, and the library may be unloaded while it works. Built in every
// preset; the tsan preset runs it under ThreadSanitizer.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "sim/play/default_files.h"
#include "support/session.h"
#include "wardrobe/store_worker.h"

namespace {

bool Said(const testing_support::Session& session, const std::string& text) {
    for (const std::string& shown : session.NotificationTexts()) {
        if (shown.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(Threads, LargeOutfitFileReadBesideTheScriptAndAcrossAnUnload) {
    testing_support::Session session(false);
    // An outfit with no custom row after padding past a frame's work: the
    // start says so once the thread has read the file.
    session.folder().Write(play::kSavedOutfitsPath,
                           "<?xml version=\"1.0\"?>\n<Garbolt>\n\t<!--" +
                               std::string(store_worker::kInFrameFileBytes, 'x') +
                               "-->\n\t<Outfit>\n\t\t<Name>Far</Name>\n\t\t<Slot>30</Slot>\n\t</"
                               "Outfit>\n</Garbolt>\n");
    for (int round = 0; round < 4; ++round) {
        session.Load();
        session.game().ClearNotifications();
        session.game().RunFrame();  // the start-up hands the file to the thread
        if (round % 2 == 1) {
            session.Unload();  // while the thread works, or just after
            continue;
        }
        for (int frame = 0; frame < 20000 && !Said(session, "Slot index 30"); ++frame) {
            session.game().RunFrame();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_TRUE(Said(session, "Slot index 30"));
        session.Unload();
    }
}

}  // namespace
