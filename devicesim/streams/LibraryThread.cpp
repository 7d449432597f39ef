#include "streams/LibraryThread.h"

namespace sim {

namespace {
thread_local bool libraryThread = false;
}

void markLibraryThread()
{
    libraryThread = true;
}

bool onLibraryThread()
{
    return libraryThread;
}

}  // namespace sim
