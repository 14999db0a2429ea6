// A kernel handle closed when it goes out of scope (a file's, say); the
// invalid value CreateFile answers is never closed.
#pragma once

#include <windows.h>

#include <memory>

struct THandleCloser {
    void operator()(HANDLE h) const
    {
        if (h && h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};
using TScopedFile = std::unique_ptr<void, THandleCloser>;
