// The floor for the start-up benchmark: the least a Qt 6 program with Tally Fox's window can do,
// a bare QMainWindow holding an empty four-column QTableView.
#include <QApplication>
#include <QMainWindow>
#include <QStandardItemModel>
#include <QTableView>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Floor"));
    auto *table = new QTableView(&window);
    table->setModel(new QStandardItemModel(0, 4, table));
    window.setCentralWidget(table);
    window.resize(493, 233);
    window.show();
    return QApplication::exec();
}
