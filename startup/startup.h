#pragma once

// Kelvora's start-up and shutdown in their fixed order; main() only calls this.

int runKelvora(int argc, char** argv);
