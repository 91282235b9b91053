#pragma once

namespace vantrel {

class Directory;
class Workspace;
struct UnattendedOptions;

// Exit status of an unattended run.
enum UnattendedStatus { kNoErrorLeft = 0, kErrorsLeft = 1, kCouldNotRun = 2 };

// Loads the deployment as the menu does, runs the launch checks, the pass and its
// retry cycle, waiting between passes as the timer would; prints the board rows
// after each pass on stdout. With --annuaire, directory gives the workstations.
int runUnattended(Workspace& ws, const UnattendedOptions& options, Directory* directory);

} // namespace vantrel
