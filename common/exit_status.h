// Exit statuses shared by the programs.
#pragma once

namespace exit_status {

constexpr int success = 0;
// The failures that end Kestrom, Zonrik, Murgel and Stelvar (255 to the shell).
constexpr int failure = -1;
// Vorlix's size mismatch and outputs it cannot create.
constexpr int vorlix_failure = 1;
// Standard input ended while a prompt still needed an answer.
constexpr int input_ended = 2;

}  // namespace exit_status
