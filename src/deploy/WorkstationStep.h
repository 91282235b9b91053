#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace vantrel {

class Files;

// One workstation to serve, as a worker receives it.
struct WorkstationJob {
    QString host;
    QString runStamp;                    // the pass's
    QDateTime now;                       // the clock when it was handed out
    std::function<bool()> stopRequested; // checked between two rules; set by the pool
};

// What serving one workstation came to.
struct WorkstationResult {
    bool finished = true; // false: asked to end before its rules were all done
    int failures = 0;
    QString message;   // its result line after the name
    QStringList lines; // what a listing found there
    int restored = 0;  // versions put back in place
};

// What a pass does on one workstation that answered. When a pass serves several
// workstations at once it runs on a worker thread, with files of its own: it
// touches nothing but those and what it captured by value.
using WorkstationStep = std::function<WorkstationResult(Files& files, const WorkstationJob& job)>;

} // namespace vantrel
