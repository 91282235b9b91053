#pragma once

namespace vantrel {

// How passes are to run, built by whoever starts them (the window from its
// environment, the command line from its checked options) and handed to each pass.
struct PassSettings {
    int simultaneous = 1;         // workstations served at once; 1 is one after another
    int keptVersions = 0;         // stamped versions kept of each target; 0 keeps them all
    bool onlyIfDifferent = false; // a target that already holds the source's bytes is left
    double maxBytesPerSecond = 0; // the cap on the whole pass's copy traffic; 0 is none
};

} // namespace vantrel
