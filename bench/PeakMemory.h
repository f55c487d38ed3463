#pragma once

namespace ixo::bench {

// The child side of the peak-memory benchmark, which measures each document in a fresh
// process: returns the exit code when the arguments ask for a child run, -1 otherwise.
int runMemoryChild(int argc, char **argv);

} // namespace ixo::bench
