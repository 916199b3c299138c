// garbolt-sim: plays the plug-in in the simulated game.
#include "cli.h"

int main(int argc, char** argv) {
    return garbolt_sim::Main(argc, argv);
}
