#pragma once

// The way SQLite reaches the database files: the system's own, except that a page SQLite
// takes from the memory map is asked into the processor's cache whole at once. A page's
// search steps from cell to cell, each step waiting for the one before it; a page of a large
// file that no cache holds would otherwise cost a wait on memory at every step.
//
// Beyond the part of a database file that the system maps (SQLite maps at most the first 2 GB),
// the layer serves pages from a memory map of its own of the whole file, so that paging a
// large file costs no read call wherever its pages lie.
namespace PrefetchingFiles {
// How many times SQLite has read a database file with a call (not through a memory map), over
// every connection of the process: for the benchmarks and tests.
long long databaseReads();
// The name to open connections with; registered on the first call.
const char* name();
}  // namespace PrefetchingFiles
