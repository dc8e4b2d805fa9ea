#pragma once
// The help file: beside the executable, or in the data folder of an installed program.

#include <cstdint>
#include <string>

namespace tollvane {

class FileSystem;

inline constexpr const char* kHelpFileName = "HelpForBrindle.HLP";
inline constexpr std::int16_t kHelpKeyCommand = 257;  // look a keyword up; empty: the contents

std::string helpFilePath(const FileSystem& files);

}  // namespace tollvane
