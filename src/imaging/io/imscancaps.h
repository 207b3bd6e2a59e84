// The capabilities of a source mapped onto the options of a scanner opened
// through the platform's scanner layer.
#pragma once

#include "imaging/io/twainparams.h"
#include "platform/sane.h"

// Reads every capability into caps, each with its fallback when the scanner
// has no option for it. Without `keepChanges` the change marks of the lists
// are cleared, so that only what the caller changes later is sent.
void IETW_ReadCapabilities(TSaneHandle& scanner, TIETWSourceCaps& caps, bool keepChanges);
// Sends what changed, the pixel type always, and the frame when enabled.
// False when the scanner refuses the pixel type.
bool IETW_SendCapabilities(TSaneHandle& scanner, const TIETWSourceCaps& caps);
