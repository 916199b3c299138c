# The Windows cross build: Garbolt.asi and the simulator's Windows side.
add_subdirectory(src)
