// Exit statuses shared by the programs. A run that does not complete its job
// never ends with success.
#pragma once

namespace exit_status {

constexpr int success = 0;
// The failures that end Kestrom, Zonrik, Murgel and Stelvar (255 to the shell).
constexpr int failure = -1;
// A run that did not complete its job where no other status is given: a
// wrong command line (an unknown option, an argument that is no number), an
// input that cannot be read, an output that cannot be written. Also Vorlix's
// size mismatch and outputs it cannot create.
constexpr int error = 1;
constexpr int usage = 1;
constexpr int vorlix_failure = 1;
// Standard input ended while a prompt still needed an answer.
constexpr int input_ended = 2;

}  // namespace exit_status
