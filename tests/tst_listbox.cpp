#include "listbox.h"
#include "listmodel.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <numeric>

using namespace Qt::StringLiterals;
using Rows = std::vector<int>;

class tst_ListBox : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_list = std::make_unique<ListBox>(4);
        m_list->setColumnType(0, ListBox::ColumnType::Editable);
        m_list->AddRows({ { "b" }, { "C" }, { "a" }, { "d" }, { "e" }, { "f" }, { "g" }, { "h" } });
        m_list->show();
        m_list->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_list.get()));
    }

    void select_data()
    {
        // "index N" sets ListIndex; "heading 00" clicks heading 0 twice.
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("order");
        QTest::addColumn<Rows>("after");
        const QString unsorted = u"bCadefgh"_s;
        QTest::newRow("same row keeps the selection") << u"index 1"_s << unsorted << Rows { 1, 3 };
        QTest::newRow("other row selects it alone") << u"index 3"_s << unsorted << Rows { 3 };
        QTest::newRow("-1 clears") << u"index -1"_s << unsorted << Rows {};
        QTest::newRow("twice, descending") << u"heading 00"_s << u"hgfedCba"_s << Rows { 4, 5 };
        QTest::newRow("refused by the handler") << u"heading 2"_s << unsorted << Rows { 1, 3 };
    }

    // The handler refuses every heading but the first; marking a heading never sorts by itself.
    void select()
    {
        QFETCH(QString, action);
        QFETCH(QString, order);
        QFETCH(Rows, after);
        m_list->setHeadingIndex(0);
        m_list->setSortColumnHandler([](int clicked) { return clicked != 0; });
        m_list->setSelected(1, true);
        m_list->setSelected(3, true);
        QSignalSpy change(m_list.get(), &ListBox::Change);
        const bool setIndex = action.startsWith(u"index"_s);
        if (setIndex)
            m_list->setListIndex(action.sliced(6).toInt());
        QHeaderView *header = m_list->horizontalHeader();
        for (const QChar column : setIndex ? QString() : action.sliced(8)) {
            const int left = header->sectionViewportPosition(column.digitValue());
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(left + 10, 5));
        }
        QString names;
        for (const ListRow &row : m_list->listModel()->rows())
            names += QString::fromUtf8(row[0]);
        QCOMPARE(names, order);
        QCOMPARE(m_list->selectedRows(), after);
        QCOMPARE(m_list->ListIndex(), after.empty() ? -1 : after.front());
        QCOMPARE(m_list->HeadingIndex(), 0);
        QCOMPARE(m_list->LastIndex(), int(order.indexOf(u'h')));
        if (setIndex) // exactly once, whether or not the selection moved
            QCOMPARE(change.count(), 1);
        if (setIndex && after.size() == 1)
            QCOMPARE(m_list->currentIndex().row(), after.front());
    }

    // Backspace and forward Delete reach KeyDown as 8 and 127, and the backspace character that
    // Ctrl+H types is no Backspace. A double-click never edits; F2
    // does. Escape abandons the edit, Return keeps and reports it.
    void keysAndEditing()
    {
        QList<uint> keys;
        m_list->setKeyDownHandler([&keys](char32_t key) {
            keys.append(key);
            return key != 0; // F2 has no character and goes on to start the edit
        });
        QTest::keyClick(m_list.get(), Qt::Key_Backspace);
        QTest::keyClick(m_list.get(), Qt::Key_Delete);
        QTest::sendKeyEvent(QTest::Click, m_list.get(), Qt::Key_H, u"\b"_s, Qt::ControlModifier);
        QCOMPARE(keys.first(2), (QList<uint> { 8, 127 }));
        QVERIFY(!keys.sliced(2).contains(8)); // Ctrl+H
        QSignalSpy doubleClick(m_list.get(), &ListBox::DoubleClick);
        QSignalSpy focus(qApp, &QApplication::focusChanged);
        const QPoint centre = m_list->visualRect(m_list->listModel()->index(1, 0)).center();
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(doubleClick.count(), 1);
        // An edit would start once the double-click time has passed without a second click.
        QVERIFY(!focus.wait(QApplication::doubleClickInterval() + 200));
        QVERIFY(!m_list->findChild<QLineEdit *>());
        QSignalSpy cellAction(m_list.get(), &ListBox::CellAction);
        for (const Qt::Key finish : { Qt::Key_Escape, Qt::Key_Return }) {
            QTest::keyClick(m_list.get(), Qt::Key_F2);
            QTest::keyClicks(QApplication::focusWidget(), u"xy"_s);
            QTest::keyClick(QApplication::focusWidget(), finish);
            QTRY_VERIFY(!m_list->findChild<QLineEdit *>());
            const bool kept = finish == Qt::Key_Return;
            QCOMPARE(QString::fromUtf8(m_list->Cell(1, 0)), kept ? u"xy"_s : u"C"_s);
            QCOMPARE(cellAction.count(), kept ? 1 : 0);
        }
        QCOMPARE(cellAction.first(), (QVariantList { 1, 0 }));
    }

    // The row may have been scrolled away since it was selected: the editor opens in sight.
    void editsInSight()
    {
        std::vector<ListRow> rows(200, ListRow { "row" });
        m_list->AddRows(std::move(rows));
        m_list->setListIndex(150);
        m_list->scrollToTop();
        QTest::keyClick(m_list.get(), Qt::Key_F2);
        QTRY_VERIFY(m_list->findChild<QLineEdit *>());
        QVERIFY(m_list->viewport()->rect().contains(m_list->findChild<QLineEdit *>()->geometry()));
    }

    // The widths follow the list's width and read back as set until a drag; a column dragged
    // past the edge leaves the others in reach, and the drag reads back as what it laid out.
    void columnWidths()
    {
        const auto sizes = [this] {
            Rows widths;
            for (int column = 0; column < 4; ++column)
                widths.push_back(m_list->horizontalHeader()->sectionSize(column));
            return widths;
        };
        m_list->setColumnWidths(" 50% , * ,100,10% ");
        m_list->resize(600, 200);
        QTRY_COMPARE(sizes().front(), m_list->viewport()->width() / 2);
        m_list->setColumnWidths("abc");
        QCOMPARE(m_list->ColumnWidths(), " 50% , * ,100,10% ");
        m_list->horizontalHeader()->resizeSection(0, 5000);
        const Rows dragged = sizes();
        QCOMPARE(std::accumulate(dragged.begin(), dragged.end(), 0), m_list->viewport()->width());
        const std::string text = m_list->ColumnWidths();
        m_list->setColumnWidths("10,10,10,10");
        m_list->setColumnWidths(text);
        QCOMPARE(sizes(), dragged);
    }

    // Past 64 separate runs the rows go in one reset, which says nothing of which rows went: the
    // list works out the last added row itself, and the selection is gone with its rows.
    void removeScatteredRows()
    {
        std::vector<ListRow> rows;
        Rows even;
        for (int row = 0; row < 200; ++row) {
            rows.push_back({ std::to_string(row) });
            if (row % 2 == 0)
                even.push_back(row);
        }
        m_list->DeleteAllRows();
        m_list->AddRows(std::move(rows));
        m_list->setSelectedRows(even);
        m_list->removeSelectedRows();
        QCOMPARE(m_list->ListCount(), 100);
        QCOMPARE(m_list->ListIndex(), -1);
        QCOMPARE(m_list->LastIndex(), 99);
        QCOMPARE(QString::fromUtf8(m_list->Cell(0, 0)) + QString::fromUtf8(m_list->Cell(99, 0)),
            u"1199"_s);
    }

private:
    std::unique_ptr<ListBox> m_list;
};

QTEST_MAIN(tst_ListBox)
#include "tst_listbox.moc"
