// Shortening a path until it fits a control, as the progress display shows
// files and directories.
#pragma once
#include <cstddef>

// Width of `text` in the control's font, in pixels.
typedef int (*MeasureText)(const char* text, void* context);

constexpr size_t kFitCopySize = 256;   // the working copy: at most 255 characters

// Finds the path line of `text` (the line after the first line break, or the
// whole text when nothing follows one) and, while it is at least `available`
// pixels wide, shortens it: whole directories become "..." from the left,
// after the drive's backslash, and then the end loses one character at a
// time under "...". Writes the result back over the path line (within
// `capacity`); stops when nothing is left to take.
void fitPath(char* text, size_t capacity, int available, MeasureText measure, void* context);
