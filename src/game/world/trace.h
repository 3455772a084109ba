// The per-frame state trace (--trace): one JSON object per frame pass that
// ran the game frame. Each subsystem writes its own members; floats have 9
// significant digits so that single-precision values read back exactly.
#pragma once
#include <cstdio>

// Installs the game's trace writer into the run control.
void InstallGameTrace();
// Writes `,"name":value` members after the frame's own members.
void WriteGameTrace(FILE* out);

// Members added by the actors: each writes the fields of its own record,
// beginning with a comma, inside the object the world opened for it.
void TracePlayerFields(FILE* out);           // inside "player"
void TraceCompanionFields(FILE* out, int i);  // inside companions[i]
void TraceFoes(FILE* out);                   // top-level ,"enemies":[...],"items":[...],"boss":{...}
