#pragma once

// The converters, the node table and every message box belong to one thread:
// the user-interface thread, which the application marks at start-up. Other
// threads (the reader, the simulated bus) hand their results to it instead.
// A program that marks none (the bus simulator, the codec tests) has no such
// thread and no such restriction.

void MarkUserInterfaceThread();

// True on the marked thread, and anywhere while no thread is marked.
bool OnUserInterfaceThread();
