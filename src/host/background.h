// Work away from the game's thread, one piece at a time: how a thread is had
// and waited for is the part that differs between the systems. On Windows a
// thread that ends needs the loader's lock, which an unload holds while it
// waits for the work: there the work runs on a thread of the system's pool,
// which does not end with it.
#pragma once

namespace background {

// Starts `work(context)` away from the calling thread; false when no thread
// could be had. The caller starts no other work until it has finished this.
bool Start(void (*work)(void*), void* context);
// Waits until the work last started has returned; work that has not begun
// yet never will. Quick once the work has told the caller it is done.
void Finish();

}  // namespace background
