#pragma once

// Entry point of the program: creates the long-lived forms in their order and runs the loop.
int runVivanda(int argc, char** argv);
