// The memory that loading and saving take for a preferences file without a line break: the
// reading ends at its first byte, and the copy of what was not read is made a piece at a time.
// Run by hand:
//   build/bench/bench_unbroken [megabytes]
#include "prefsfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

namespace {

double peakMegabytes()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

} // namespace

int main(int argc, char *argv[])
{
    const long megabytes = argc > 1 ? std::max(1L, std::atol(argv[1])) : 512;
    QTemporaryDir folder;
    PrefsFile prefs(folder.filePath(QStringLiteral("Tallyfox Prefs")));
    {
        std::FILE *file = std::fopen(QFile::encodeName(prefs.path()).constData(), "wb");
        const std::string megabyte(1024 * 1024, '\0');
        for (long i = 0; file && i < megabytes; ++i)
            std::fwrite(megabyte.data(), 1, megabyte.size(), file);
        if (!file || std::fclose(file) != 0)
            return 1;
    }
    std::printf("%ld MB of NULs, no line break\n", megabytes);
    std::printf("%-32s %8.1f MB\n", "peak before loading", peakMegabytes());
    prefs.load();
    std::printf("%-32s %8.1f MB\n", "peak after loading", peakMegabytes());
    if (!prefs.save("#version 1.5\n"))
        return 1;
    std::printf("%-32s %8.1f MB\n", "peak after the save and copy", peakMegabytes());
    return prefs.takeKeptCopies().size() == 1 ? 0 : 1;
}
