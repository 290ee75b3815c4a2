// The office's own threads: every call into the office runs on one of them, never on the
// window's thread. A call the office never answers keeps its thread until the office is ended;
// the others go on beside it.
#pragma once

class QThreadPool;

QThreadPool *officePool();
