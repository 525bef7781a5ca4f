#include "core/platform/Locks.h"

namespace platform {
namespace {

LockCall& Current() {
    static LockCall call = SystemLockForWriting;
    return call;
}

}  // namespace

LockResult TryLockForWriting(const File& file) { return Current()(file); }

LockCall SetLockCall(LockCall call) {
    const LockCall previous = Current();
    Current() = call ? call : SystemLockForWriting;
    return previous;
}

}  // namespace platform
