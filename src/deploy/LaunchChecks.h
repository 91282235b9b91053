#pragma once

namespace vantrel {

class Workspace;

enum class LaunchOutcome { Refused, Started, LeftToDeferredStart };

// The deployment button: checks, the two questions, then a pass (unless deferred).
LaunchOutcome Télédéploiement_Click(Workspace& ws);
// The deferred-start box was clicked (its new state is in the controls).
void Différé_Click(Workspace& ws);
// Runs a pass when the deferred-start dialog asked for one.
void StartPendingDeferredRun(Workspace& ws);
// The retry box was clicked: shows or hides the retry fields.
void Récursif_Click(Workspace& ws);
// A tick of TimerRécursif: the retry decision.
void TimerRécursif_Timer(Workspace& ws);
// Delivers a due tick: the timer counts again from now, then decides.
void deliverRetryTick(Workspace& ws);

} // namespace vantrel
