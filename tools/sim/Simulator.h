#pragma once
// korvel-sim's command line and main loop: the line, the controller side and the plant.

// Runs the simulator until SIGINT, SIGTERM or "quit" on standard input; returns the exit code.
int runSimulator(int argc, char** argv);
