#pragma once

#include <string>
#include <string_view>
#include <vector>

// One directive line of the preferences file, "#name text": the name in lower case and the rest
// of the line after the first space, unchanged.
struct directiveClass
{
    std::string name;
    std::string text;

    bool operator==(const directiveClass &) const = default;
};

struct DirectiveRead
{
    std::vector<directiveClass> directives;
    // Reading ended at a line that does not begin with "#" while that line or a later one holds
    // more than line ends: the file holds text that was not read.
    bool stoppedEarly = false;

    bool operator==(const DirectiveRead &) const = default;
};

// The directives of a file's bytes, in file order. Lines end with "\n", "\r\n" or a lone "\r".
// The file ends, for the reader, at its first line that does not begin with "#"; a "#" line
// without a space carries no directive and is skipped.
[[nodiscard]] DirectiveRead readDirectives(std::string_view bytes);

namespace GlobalsModule {

// The directives of the preferences file, read once at start-up.
extern std::vector<directiveClass> gDirectives;

// Appends the directives of the file at path to gDirectives. False when the file cannot be opened
// for reading (missing, a folder, no permission); true otherwise, also for an empty file. When
// asked, tells whether the file held text after the point where reading stopped.
bool extractDirectives(const std::string &path, bool *stoppedEarly = nullptr);

} // namespace GlobalsModule
