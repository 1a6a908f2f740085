#include "editdialog.h"
#include "globalsmodule.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using Bytes = QByteArrayList;

class tst_EditDialog : public QObject
{
    Q_OBJECT

private slots:
    void use_data()
    {
        QTest::addColumn<QByteArrayList>("in"); // the Start and Finish texts handed in
        // Typed from the Start field, which opens selected as Tab leaves the next; a key in braces
        // is named as QKeySequence names it. The clipboard holds a tab and a line break.
        QTest::addColumn<QString>("keys");
        // Empty: the dialog is still open, as a bad opening text keeps OK disabled for good.
        QTest::addColumn<QByteArrayList>("out");
        const Bytes valid { "05/27 09:00"_ba, "05/27 10:30"_ba };
        const Bytes odd { "05/27 09:00 caf\xE9 (late)"_ba, "05/27 17:00 \xE2\x82"_ba };
        QTest::newRow("bad finish corrected, Return does nothing")
            << Bytes { valid[0], "05/27 1030"_ba } << u"\t05/27 10:30\r"_s << Bytes();
        QTest::newRow("bad start corrected, Escape does nothing")
            << Bytes { "0527 09:00"_ba, valid[1] } << u"05/27 09:00\x1b"_s << Bytes();
        QTest::newRow("text not UTF-8 kept whole, finish cleared, Return is OK")
            << odd << u"\t\b\r"_s << Bytes { odd[0], {} };
        QTest::newRow("Cancel after retyping") << odd << u"05/27 08:00\t12/31 23:59\t "_s << odd;
        QTest::newRow("both spoilt, OK stays on; Return on Cancel is OK; typing stops at 11")
            << valid << u"05/27 08:00:45\tlater\t\r"_s << Bytes { "05/27 08:00"_ba, "later"_ba };
        QTest::newRow("a tab and a line break pasted become spaces")
            << valid << u"{Ctrl+V}\r"_s << Bytes { "05/27 9:00 "_ba, valid[1] };
        // A text handed in longer than the limit is shown whole; it may shrink, not grow back.
        QTest::newRow("long texts shortened do not grow back, cut below 11 refill to 11")
            << Bytes { "05/27 16:23 abc"_ba, "05/27 16:23 abc"_ba }
            << u"{End}\b\bxyz\t{End}\b\b\b\b\b\b45xyz\r"_s
            << Bytes { "05/27 16:23 a"_ba, "05/27 16:45"_ba };
    }

    void use()
    {
        QFETCH(QByteArrayList, in);
        QFETCH(QString, keys);
        QFETCH(QByteArrayList, out);
        GlobalsModule::gStartTime = in[0].toStdString();
        GlobalsModule::gFinishTime = in[1].toStdString();
        QGuiApplication::clipboard()->setText(u"05/27\t9:00\n"_s);
        EditDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.field(0)->text() + u'|' + dialog.field(1)->text(),
            QString::fromUtf8(in[0] + '|' + in[1]));
        for (qsizetype at = 0; at < keys.size(); ++at) {
            QWidget *focus = QApplication::focusWidget();
            if (keys[at] != u'{') {
                QTest::keyClick(focus, keys[at].toLatin1());
                continue;
            }
            const qsizetype end = keys.indexOf(u'}', at);
            const QKeyCombination key = QKeySequence(keys.sliced(at + 1, end - at - 1))[0];
            QTest::keyClick(focus, key.key(), key.keyboardModifiers());
            at = end;
        }
        QCOMPARE(dialog.okButton()->isEnabled(), !out.isEmpty());
        QCOMPARE(dialog.warning()->isHidden(), !out.isEmpty());
        QCOMPARE(dialog.isVisible(), out.isEmpty());
        QCOMPARE(Bytes({ QByteArray::fromStdString(GlobalsModule::gStartTime),
                     QByteArray::fromStdString(GlobalsModule::gFinishTime) }),
            out.isEmpty() ? in : out);
    }
};

QTEST_MAIN(tst_EditDialog)
#include "tst_editdialog.moc"
