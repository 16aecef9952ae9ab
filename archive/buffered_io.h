// A buffering file layer for minizip: it gathers the many small reads and
// writes of the ZIP headers (one call per field) into few calls to the file
// layer below. Errors are not lost: a write that fails when the buffer is
// flushed makes the next seek, tell and the close fail, as the layer below
// would have.
#pragma once

#include "ioapi.h"

// A file layer that buffers `below`. Both must outlive every file opened
// through the result. One stream per open; not shared between threads.
zlib_filefunc64_def bufferedFileLayer(const zlib_filefunc64_def* below);
