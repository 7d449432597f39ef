#pragma once
// Marks the threads the library runs callbacks on. A call that would have to
// wait for library threads (Deinit) refuses to run on one, since it could end
// up waiting for itself.

namespace sim {

// Called once at the start of every library thread.
void markLibraryThread();
// True on a thread the library started.
bool onLibraryThread();

}  // namespace sim
