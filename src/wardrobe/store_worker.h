// Where the store's file work runs. A store of normal size is read and
// written within the frame that asks, in a millisecond or two. A larger file
// would cost the game frames: its work runs on a thread of its own, and its
// outcome is shown at the first frame after it is done. Work asked for while
// other work waits or runs queues behind it, so outcomes are shown in the
// order they were asked for and two never touch the file at once.
#pragma once

#include <cstdint>

#include "wardrobe/store_work.h"

namespace store_worker {

// The largest outfit file worked on in the frame that asks: about 215 of
// the plug-in's outfits at their largest, 14 full stores. A file this size
// costs a save or a delete under 4 ms of the frame's 16.7, and about 8 ms in
// its costliest shape, nothing but empty elements (bench/run); players'
// stores of 15 outfits are about 36 KB. A larger file, up to the size cap, goes to the
// thread; past the cap it is refused at once.
constexpr std::uint64_t kInFrameFileBytes = 512 * 1024;

// Sets the largest file worked on in the frame that asks, until Drop puts
// back kInFrameFileBytes. A test sets it past the size cap to see every
// hostile file worked on within the frame, on the game's small stack.
void SetInFrameFileBytes(std::uint64_t bytes);

// On the game's thread, just before an operation's work starts: completes
// the request with what the game holds then (null: nothing to add).
using Prepare = void (*)(store_work::Request& request);
// Shows an operation's outcome on the game's thread.
using Show = void (*)(const store_work::Outcome& outcome);

// Runs the work now and shows its outcome, or queues it for the thread.
void Submit(store_work::Request request, Prepare prepare, Show show);
// Called every frame: shows the work the thread has finished, one
// operation a frame, and starts the next.
void ShowFinished();
// Waits until every operation asked for is done and shown.
void FinishAll();
// Waits for the work running now (work the thread has not begun is
// dropped), and forgets it and all that waits without showing anything: the
// plug-in is being unloaded or its state put back as at load.
void Drop();

}  // namespace store_worker
