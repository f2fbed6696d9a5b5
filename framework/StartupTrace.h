// Start-up timestamps for the start-up benchmark. Kept only while the
// environment variable VELMORA_STARTUP_TRACE names a file: each step's end on
// the performance counter (a clock every process shares, so the benchmark
// sets them beside its own), written there as the program ends, one line
// "MILLISECONDS STEP" each. Without the variable nothing is kept or written.
#pragma once

namespace fw {

// step: a string that lives as long as the program (a literal).
void MarkStartup(const char* step);
// Writes the steps kept; nothing when none were.
void WriteStartupTrace();

} // namespace fw
