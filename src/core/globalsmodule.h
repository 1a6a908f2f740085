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

// After how many minutes without input the user counts as away while rows run; 0 never.
inline constexpr std::int32_t defaultIdleMinutes = 15;
inline std::int32_t gIdleMinutes = defaultIdleMinutes;

// How long the about box stays up when it opens at start-up, in milliseconds.
inline std::int32_t gAboutDelay = 0;
// The line of credits the about box scrolls: two short sentences, each ending in ". ".
inline std::string creditString;

} // namespace GlobalsModule
