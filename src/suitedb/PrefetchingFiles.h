#pragma once

// The way SQLite reaches the database files: the system's own, except that a page SQLite
// takes from the memory map is asked into the processor's cache whole at once. A page's
// search steps from cell to cell, each step waiting for the one before it; a page of a large
// file that no cache holds would otherwise cost a wait on memory at every step.
namespace PrefetchingFiles {
// The name to open connections with; registered on the first call.
const char* name();
}  // namespace PrefetchingFiles
