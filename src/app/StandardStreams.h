#pragma once

namespace vantrel {

// Makes sure the standard input, output and error are open, on the null
// device where they are closed. Called before anything else opens a
// descriptor: a program started with one of them closed would otherwise
// give that number to the next file or connection it opens, and a warning
// meant for the standard error would be written into it.
void OpenStandardStreams();

}  // namespace vantrel
