#include "console.h"

namespace garbolt_outfits {

bool OwnsItsConsole() {
    return false;
}

}  // namespace garbolt_outfits
