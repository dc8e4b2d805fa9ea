#pragma once
// app/: the windows' registry and handlers, not the runtime.
// The program's title and version, fixed when it is built (the version resource reads 3.0.0.0).

namespace tollvane::app_identity {

inline constexpr const char* kTitle = "Tollvane3";
inline constexpr int kMajor = 3;
inline constexpr int kMinor = 0;
inline constexpr int kBuild = 0;
inline constexpr int kRevision = 0;

}  // namespace tollvane::app_identity
