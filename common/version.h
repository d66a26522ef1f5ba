// The suite's version: the project version, followed by the git description
// of the sources when they were built from a checkout ("1.1.0 (7f0cf89)").
#pragma once

const char* suite_version();
