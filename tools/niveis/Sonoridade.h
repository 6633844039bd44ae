#pragma once
#include <vector>

namespace niveis {

// Below the absolute gate: nothing in the programme is loud enough to be measured.
constexpr double kSilencio = -200.0;

// Integrated loudness, in LUFS, as the broadcast standard measures it (ITU-R BS.1770-4, the
// loudness of EBU R128): every channel K-weighted, mean squares over 400 ms blocks that
// overlap by 75 %, the blocks under -70 LUFS and then those more than 10 LU under the
// loudness of the rest left out. Every channel weighs 1 (left and right, or one mono channel).
// A programme shorter than one block is measured as if silence followed it, so a short sound
// gets the loudness of the 400 ms that hold it. kSilencio when no block passes the gates.
double sonoridadeIntegrada(const std::vector<std::vector<float>>& canais, int taxa);

// The median of the values (the mean of the two middle ones when they are even).
double mediana(std::vector<double> valores);

} // namespace niveis
