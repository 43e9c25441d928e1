// Talvo_insert's pass: choose an image, put the text files of the current
// directory into a copy of it, and write that copy and a BPS patch beside
// them.
#pragma once

namespace talvo {

// One whole run, from the dialog to the completion box, which shows how the
// text fits. Returns 0, the exit status, whatever happened.
int run_inserter();

}  // namespace talvo
