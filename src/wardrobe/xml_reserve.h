// Memory for the outfit file's documents that stays with the plug-in from
// one operation to the next. A document of the largest file takes some tens
// of megabytes; taken fresh from the system at every equip, save or delete,
// each page of it costs the frame a fault, and that was the largest part of
// those frames. Kept, the second operation finds it ready.
#pragma once

#include <string>

#include <pugixml.hpp>

namespace xml_reserve {

// While one lives, pugixml takes its memory from the reserve, and what it
// gives back is reused only once the scope ends. Every pugixml object made
// in its life must be gone before it ends (declare it first). Scopes may
// nest; the reserve is reused when the outermost one ends. pugixml's
// allocation functions are the library's own, so no other thread may use
// pugixml meanwhile: in the plug-in only the store does, one operation at a
// time.
class Scope {
  public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

    // A buffer to read the file into, kept between operations like the
    // rest of the reserve.
    std::string& FileBytes();

  private:
    pugi::allocation_function previousAllocate_;
    pugi::deallocation_function previousDeallocate_;
};

// Gives the whole reserve back to the system (outside any scope).
void Release();

}  // namespace xml_reserve
