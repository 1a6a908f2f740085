#pragma once

#include <cstdint>
#include <string>

// Application-wide values. There is one thread, so plain variables serve.
namespace GlobalsModule {

// How many rows New Project has made in this run; numbers the untitled projects. Never saved.
inline std::int32_t gNum = 0;

// The Start and Finish texts handed into the edit dialog and, after OK, out of it.
inline std::string gStartTime;
inline std::string gFinishTime;

} // namespace GlobalsModule
