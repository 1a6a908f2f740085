// Times the operations that must stay instant with a long list: loading, saving, sorting and
// removing 100,000 rows, in the real list control on the offscreen platform. Run by hand:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_rows [rows]
#include "directives.h"
#include "durations.h"
#include "listbox.h"
#include "listmodel.h"
#include "prefsfile.h"
#include "prefsformat.h"
#include "timestamps.h"

#include <QApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

template <typename Work> void measure(const char *what, Work &&work)
{
    const auto begin = std::chrono::steady_clock::now();
    const std::clock_t cpuBegin = std::clock();
    work();
    QApplication::processEvents(); // let the view catch up, as it would before the next input
    const std::chrono::duration<double, std::milli> spent
        = std::chrono::steady_clock::now() - begin;
    // The processor time too: on a machine shared with other work, the time that is this work's.
    const double cpu = 1000.0 * double(std::clock() - cpuBegin) / CLOCKS_PER_SEC;
    std::printf("%-48s %9.1f ms %9.1f ms CPU\n", what, spent.count(), cpu);
}

class ListTarget final : public PrefsTarget
{
public:
    explicit ListTarget(ListBox &target)
        : list(target)
    {
    }
    void setWindowPlace(const WindowPlace &) override { }
    // Straight to the list, as the program's loader does: the file written back at the end must
    // match the one read, widths included.
    void setColumnWidths(std::string_view text) override { list.setColumnWidths(text); }
    void addRow(ListRow row) override { rows.push_back(std::move(row)); }
    void setIdleMinutes(std::int32_t) override { }
    ListBox &list;
    std::vector<ListRow> rows;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100'000;

    std::vector<ListRow> rows;
    rows.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const std::string name = "Project " + std::to_string((i * 7919) % count);
        rows.push_back({ name, "03/14 09:05", "03/14 10:35", "1' 30\"" });
    }
    const std::string file = prefsText({ 40, 60, 493, 233 }, "35%,25%,25%,15%", rows);
    std::printf("%d rows, %.1f MB file\n", count, double(file.size()) / 1e6);

    ListBox list(4);
    list.resize(467, 600);
    list.show();
    QApplication::processEvents();

    ListTarget target(list);
    measure("parse and apply the file",
        [&] { applyDirectives(readDirectives(file).directives, target); });
    measure("add the rows to the list", [&] { list.AddRows(std::move(target.rows)); });
    std::string written;
    measure("write the file text", [&] {
        written = prefsText({ 40, 60, 493, 233 }, list.ColumnWidths(), list.listModel()->rows());
    });
    QTemporaryDir folder;
    PrefsFile prefs(folder.filePath(QStringLiteral("Tallyfox Prefs")));
    measure("save the file (atomic replace, synced)", [&] { prefs.save(written); });
    measure("save it again over the first", [&] { prefs.save(written); });
    measure("sort by project, ascending", [&] { list.listModel()->sort(0, Qt::AscendingOrder); });
    measure("sort by project, descending", [&] { list.listModel()->sort(0, Qt::DescendingOrder); });
    measure("select every other row in one step", [&] {
        std::vector<int> every;
        for (int row = 0; row < count; row += 2)
            every.push_back(row);
        list.setSelectedRows(std::move(every));
    });
    measure("lowest selected row (ListIndex)", [&] { (void)list.ListIndex(); });
    measure("remove the selected rows", [&] { list.removeSelectedRows(); });
    measure("total texts of every remaining row", [&] {
        for (int row = 0; row < list.ListCount(); ++row)
            (void)totalText(list.Cell(row, 1), list.Cell(row, 2));
    });
    measure("remove every row", [&] { list.DeleteAllRows(); });
    return written.size() == file.size() ? 0 : 1;
}
