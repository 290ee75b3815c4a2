// The threads for files read and written beside the window (price lists and the like), apart
// from the office's, so that a file never waits behind the office.
#pragma once

class QThreadPool;

QThreadPool *filePool();
