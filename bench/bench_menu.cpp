// Times the menu commands and the menu update with a long list, in the real main window on the
// offscreen platform: Select All Stopped Projects, Copy of every row, a menu update, and Start and
// Stop of one row with the Change handling and menu update they bring.
//   QT_QPA_PLATFORM=offscreen build/bench/bench_menu [rows]
#include "menubar.h"
#include "mylistclass.h"
#include "window1.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>

namespace {

// The mean of repeats runs of work, in milliseconds, after the view has caught up with each.
template <typename Work> void measure(const char *what, int repeats, Work &&work)
{
    double total = 0;
    for (int run = 0; run < repeats; ++run) {
        const auto begin = std::chrono::steady_clock::now();
        work();
        total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                     .count();
        QApplication::processEvents();
    }
    std::printf("%-52s %9.3f ms\n", what, total / repeats);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(2, std::atoi(argv[1])) : 100'000;
    Window1 *window = Window1::instance();
    myListClass *list = window->listBox();
    std::vector<ListRow> rows;
    rows.reserve(std::size_t(count));
    // Every other row stopped: Select All Stopped Projects makes one selected range per row.
    for (int i = 0; i < count; ++i)
        rows.push_back({ "Project " + std::to_string(i), "03/14 09:05", i % 2 ? "" : "03/14 10:35",
            i % 2 ? "" : "1' 30\"" });
    list->AddRows(std::move(rows));
    window->show();
    window->activateWindow();
    list->setFocus();
    while (QApplication::activeWindow() != window)
        QApplication::processEvents();
    std::printf("%d rows\n", count);

    measure("Select All Stopped Projects", 3,
        [&] { (void)list->handleMenuCommand(QStringLiteral("EditSelectAll")); });
    measure("menu update, every other row selected", 1000, [] { updateMenus(); });
    std::vector<int> every(static_cast<std::size_t>(count));
    std::iota(every.begin(), every.end(), 0);
    list->setSelectedRows(every);
    measure(
        "Copy every row", 3, [&] { (void)list->handleMenuCommand(QStringLiteral("EditCopy")); });
    std::printf("%-52s %9.1f MB\n", "  clipboard text",
        double(QGuiApplication::clipboard()->text().size()) / 1e6);
    list->setListIndex(count / 2);
    measure("menu update, one row selected", 1000, [] { updateMenus(); });
    // Continue and Stop in turn on the same row: Stop brings its own Change and menu update.
    bool running = false;
    measure("Continue or Stop one row, with the menu update", 400, [&] {
        window->button(running ? 1 : 0)->click();
        running = !running;
        updateMenus();
    });
    const bool ok = list->ListIndex() == count / 2 && list->Cell(count / 2, 3).empty() == running;
    window->close();
    return ok ? 0 : 1;
}
