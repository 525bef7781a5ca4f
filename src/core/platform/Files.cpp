#include "core/platform/Files.h"

#include <utility>

// What both sides share: handles close once, when their object goes, and
// move to the object that takes them.
namespace platform {

File::~File() {
    if (IsOpen()) CloseHandle(handle_);
}

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, kClosed)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (IsOpen()) CloseHandle(handle_);
        handle_ = std::exchange(other.handle_, kClosed);
    }
    return *this;
}

bool File::Close() { return !IsOpen() || CloseHandle(std::exchange(handle_, kClosed)); }

Folder::~Folder() {
    if (IsOpen()) File::CloseHandle(handle_);
}

Folder::Folder(Folder&& other) noexcept
    : handle_(std::exchange(other.handle_, kClosed)), path_(std::move(other.path_)) {}

Folder& Folder::operator=(Folder&& other) noexcept {
    if (this != &other) {
        if (IsOpen()) File::CloseHandle(handle_);
        handle_ = std::exchange(other.handle_, kClosed);
        path_ = std::move(other.path_);
    }
    return *this;
}

}  // namespace platform
