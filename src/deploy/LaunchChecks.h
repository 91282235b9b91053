#pragma once

#include "PassSettings.h"

#include <QString>

namespace vantrel {

class Workspace;

enum class LaunchOutcome { Refused, Started, LeftToDeferredStart };

// The first checks of a deployment: the retry count back to 0, then a list with
// workstations, saved. False, the operator told why, when one fails.
bool checkWorkstationList(Workspace& ws);
// What the rules lack for copies, lines joined by CR LF ("" when nothing): a pass
// then only pings.
QString rulesWarning(const Workspace& ws);

// The deployment button: the checks, the two questions, then a pass (unless deferred).
LaunchOutcome Télédéploiement_Click(Workspace& ws, const PassSettings& settings);
// The deferred-start box was clicked (its new state is in the controls).
void Différé_Click(Workspace& ws);
// Runs a pass when the deferred-start dialog asked for one.
void StartPendingDeferredRun(Workspace& ws, const PassSettings& settings);
// The retry box was clicked: shows or hides the retry fields.
void Récursif_Click(Workspace& ws);
// A tick of TimerRécursif: the retry decision.
void TimerRécursif_Timer(Workspace& ws, const PassSettings& settings);
// Delivers a due tick: the timer counts again from now, then decides.
void deliverRetryTick(Workspace& ws, const PassSettings& settings);

} // namespace vantrel
