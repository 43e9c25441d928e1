// Output files of the four programs, created under bare names in the
// current directory. A file that cannot be created or written is reported to
// the user, never passed over in silence: the text would be lost.
#pragma once

#include "buffered_output.h"
#include "platform.h"

namespace talvo {

// Output gathered and written to `file` in large blocks; `file` must outlive
// it.
BufferedOutput file_output(platform::FileHandle& file);

// Creates (or empties) `name`; when that fails, shows the error box that
// names the file and returns an invalid handle.
platform::FileHandle create_output_file(const char* name);

// Shows the error box for a write to `name` that failed.
void report_write_failure(const char* name);

}  // namespace talvo
