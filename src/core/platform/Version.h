#pragma once

// The program's version, as the build names it (the project's version in CMake).
namespace platform {
inline constexpr char kVersion[] = VELMORA_VERSION;
}  // namespace platform
