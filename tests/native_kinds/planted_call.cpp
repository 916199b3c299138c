// Calls checked by the Natives.* build tests: as it stands the file compiles;
// with PLANT set, one argument or result of the wrong kind must stop it.
#include <cstdint>

#include "host/native_hashes.h"
#include "host/natives.h"

using namespace game_natives;

void DrawLightAndHud(float x, std::int32_t colour, std::uint64_t wide) {
#if PLANT == 1  // the light's range as an int
    CallNative(kDrawLightNative, x, x, x, colour, colour, colour, 5, 2.5f);
#elif PLANT == 2  // the light's range as a double
    CallNative(kDrawLightNative, x, x, x, colour, colour, colour, 5.0, 2.5f);
#elif PLANT == 3  // a 64-bit value for a Hash
    CallNative(kHudContextOnNative, wide);
#elif PLANT == 4  // a float for an int
    CallNative(kDrawLightNative, x, x, x, x, colour, colour, 5.0f, 2.5f);
#elif PLANT == 5  // an argument missing
    CallNative(kDrawLightNative, x, x, x, colour, colour, colour, 5.0f);
#elif PLANT == 6  // a BOOL's answer read as an int
    const std::int32_t dead = CallNative<std::int32_t>(kCharacterCheckNative, colour);
    (void)dead;
#else
    CallNative(kDrawLightNative, x, x, x, colour, colour, colour, 5.0f, 2.5f);
    CallNative(kHudContextOnNative, static_cast<std::uint32_t>(wide));
    const bool dead = CallNative(kCharacterCheckNative, colour);
    (void)dead;
#endif
}
