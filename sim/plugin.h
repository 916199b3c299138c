// Loads the plug-in library into the simulated game the way the hook's loader
// does, and unloads it again; every load starts from fresh process state.
#pragma once

#include <string>

namespace sim {

class Plugin {
  public:
    // Loads the library and calls its entry point for process attach.
    explicit Plugin(std::string path);
    // Stops the script, calls the entry point for process detach and unloads.
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    bool Loaded() const { return library_ != nullptr; }
    const std::string& Error() const { return error_; }
    // The entry point with any reason (attach 1, detach 0, threads 2 and 3).
    // On Windows the loader alone calls it, inside LoadLibrary and
    // FreeLibrary (the plug-in exports nothing to find it by), and this
    // answers 0.
    int CallEntry(unsigned reason);
    // On Windows: how many of the library's GetTickCount import entries were
    // pointed at the simulated clock (1 for Garbolt.asi); 0 elsewhere, where
    // the plug-in's clock is the simulated hook's own.
    int TickEntriesRedirected() const { return tickEntriesRedirected_; }

  private:
    using Entry = int (*)(void*, unsigned, void*);
    std::string path_;
    void* library_ = nullptr;
    Entry entry_ = nullptr;
    int tickEntriesRedirected_ = 0;
    std::string error_;
};

// The plug-in built next to the running program.
std::string DefaultPluginPath();

}  // namespace sim
