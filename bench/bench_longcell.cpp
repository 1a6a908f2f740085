// Times what the main window does with one very long project name among ordinary rows: showing and
// painting the list, sorting it both ways, Copy of that row, the text and file of a save, and
// opening and closing the name's editor. Run by hand:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_longcell [megabytes]
#include "listmodel.h"
#include "menubar.h"
#include "mylistclass.h"
#include "prefsfile.h"
#include "prefsformat.h"
#include "window1.h"

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

template <typename Work> void measure(const char *what, Work &&work)
{
    const auto begin = std::chrono::steady_clock::now();
    work();
    QApplication::processEvents(); // the repaint the work asked for
    const std::chrono::duration<double, std::milli> spent
        = std::chrono::steady_clock::now() - begin;
    std::printf("%-44s %10.1f ms\n", what, spent.count());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const double megabytes = argc > 1 ? std::max(0.001, std::atof(argv[1])) : 20.0;
    // Words and a two-byte letter, so that layout has line breaks and shaping to consider.
    std::string name;
    const std::string piece = "Grand \xc3\xa9tude ";
    const auto size = static_cast<std::size_t>(megabytes * 1e6);
    name.reserve(size + piece.size());
    while (name.size() < size)
        name += piece;
    // The long name first, where the window shows it.
    std::vector<ListRow> rows { { name, "03/14 09:05", "03/14 10:35", "1' 30\"" } };
    for (int i = 0; i < 20; ++i)
        rows.push_back({ "Project " + std::to_string(i), "03/14 09:05", "03/14 10:35", "1' 30\"" });
    std::printf("one name of %.1f MB among %zu rows\n", double(name.size()) / 1e6, rows.size());

    Window1 *window = Window1::instance();
    myListClass *list = window->listBox();
    list->AddRows(std::move(rows));
    measure("show and paint the window", [&] {
        window->show();
        (void)window->grab();
    });
    measure("sort by project, ascending, and repaint", [&] {
        list->listModel()->sort(0, Qt::AscendingOrder);
        (void)window->grab();
    });
    measure("sort by project, descending, and repaint", [&] {
        list->listModel()->sort(0, Qt::DescendingOrder);
        (void)window->grab();
    });
    int longRow = 0;
    while (list->Cell(longRow, 0).size() != name.size())
        ++longRow;
    list->setListIndex(longRow);
    measure("Copy the row", [&] { (void)list->handleMenuCommand(QStringLiteral("EditCopy")); });
    std::string written;
    measure("write the file text", [&] {
        written = prefsText({ 40, 60, 493, 233 }, list->ColumnWidths(), list->listModel()->rows());
    });
    QTemporaryDir folder;
    PrefsFile prefs(folder.filePath(QStringLiteral("Tallyfox Prefs")));
    measure("save the file", [&] { prefs.save(written); });
    measure("open the name's editor and paint", [&] {
        static_cast<QAbstractItemView *>(list)->edit(list->listModel()->index(longRow, 0));
        (void)window->grab();
    });
    measure("close the editor, keeping the name", [&] {
        list->commitEdit();
        (void)window->grab();
    });
    const bool kept = list->Cell(longRow, 0) == name
        && QGuiApplication::clipboard()->text().toStdString().find(name) != std::string::npos
        && written.find(name) != std::string::npos;
    window->close();
    return kept ? 0 : 1;
}
