#pragma once
// Turns a score into an arrangement: melody, chords, bass and light drums, with an ending.

#include <vector>

#include "Partitura.h"
#include "Smf.h"

std::vector<Trilha> arranjar(const Partitura& partitura);
