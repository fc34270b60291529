// The preview (/P): the run as it would go, with nothing on the machine
// changed.
#pragma once
#include "engine/enginehost.h"

// Turns `host` into a preview of itself. Every call that would change the
// machine answers from its present state instead (0 where the call would
// act, the error the platform would give where it could not: a missing
// file, a key that does not open, a service that does not exist) and
// changes nothing. What the run has removed so far is remembered, and the
// questions the engine asks afterwards (attributes, folder listings,
// registry keys) answer as if it were gone, so that a tree walk sees its
// folders emptied and ends as the real one does.
void previewOnly(EngineHost* host);
