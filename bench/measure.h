#pragma once
// What every benchmark program shares: the peak memory counter and the run.

namespace orbino::bench {

// The process's peak resident memory so far in MB (VmHWM), or -1.
double peakMegabytes();

// Runs the benchmarks the command line selects, once the program has made
// its Qt application; learner files stay out of the user's folders. Gives the
// exit code.
int runBenchmarks(int& argc, char** argv);

} // namespace orbino::bench
