// The frame around every desktop program's pass.
#pragma once

namespace talvo {

// Runs `pass` as a program: the standard streams are made safe first, and a
// failure that escapes the pass (memory running out, above all) ends in an
// error box rather than an abort. Returns the pass's exit status, or 0 after
// such a box, as every run of these programs ends with 0.
int run_program(int (*pass)());

}  // namespace talvo
