// The command-line programs run one job and end: memory they free is kept for what they take next.
#pragma once

namespace vekrano::app {

// Keeps freed memory in the process instead of handing it back to the system: a run that takes
// and frees large blocks again and again (a PDF page's buffers, the rows of a statement) would
// otherwise fault the same pages in again each time.
void keepFreedMemory();

}  // namespace vekrano::app
