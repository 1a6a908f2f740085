#include "editdialog.h"
#include "globalsmodule.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using Bytes = QByteArrayList;
using Typed = QStringList;

class tst_EditDialog : public QObject
{
    Q_OBJECT

private slots:
    void use_data()
    {
        QTest::addColumn<QByteArrayList>("in"); // the Start and Finish texts handed in
        // Over each field's text; "+" types at its end instead, null leaves the field alone.
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("ok"); // OK enabled after the typing: the opening texts decide
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArrayList>("out"); // empty: the dialog is still open
        const Bytes valid { "05/27 09:00"_ba, "05/27 10:30"_ba };
        const Bytes odd { "05/27 09:00 caf\xE9 (late)"_ba, "05/27 17:00 \xE2\x82"_ba };
        const Bytes longFinish { valid[0], "05/27 16:23 abc"_ba };
        QTest::newRow("bad finish corrected, Return does nothing")
            << Bytes { valid[0], "05/27 1030"_ba } << Typed { {}, u"05/27 10:30"_s } << false
            << u"Return"_s << Bytes();
        QTest::newRow("bad start corrected, Escape does nothing")
            << Bytes { "0527 09:00"_ba, valid[1] } << Typed { u"05/27 09:00"_s, {} } << false
            << u"Escape"_s << Bytes();
        QTest::newRow("long text not UTF-8 kept whole, finish cleared")
            << odd << Typed { {}, u""_s } << true << u"OK"_s << Bytes { odd[0], {} };
        QTest::newRow("Cancel after retyping")
            << odd << Typed { u"05/27 08:00"_s, u"12/31 23:59"_s } << true << u"Cancel"_s << odd;
        QTest::newRow("both spoilt, OK stays on; Return on Cancel is OK; typing stops at 11")
            << valid << Typed { u"05/27 08:00:45"_s, u"later"_s } << true << u"Return on Cancel"_s
            << Bytes { "05/27 08:00"_ba, "later"_ba };
        QTest::newRow("a tab and a line break pasted become spaces")
            << valid << Typed { u"paste 05/27\t9:00\n"_s, {} } << true << u"OK"_s
            << Bytes { "05/27 9:00 "_ba, valid[1] };
        // A text handed in longer than the limit is shown whole; it may shrink, not grow back.
        QTest::newRow("long text shortened does not grow back")
            << longFinish << Typed { {}, u"+\b\bxyz"_s } << true << u"OK"_s
            << Bytes { valid[0], "05/27 16:23 a"_ba };
        QTest::newRow("long text cut below 11 refills to 11")
            << longFinish << Typed { {}, u"+\b\b\b\b\b\b45xyz"_s } << true << u"OK"_s
            << Bytes { valid[0], "05/27 16:45"_ba };
    }

    void use()
    {
        QFETCH(QByteArrayList, in);
        QFETCH(QStringList, typed);
        QFETCH(bool, ok);
        QFETCH(QString, action);
        QFETCH(QByteArrayList, out);
        GlobalsModule::gStartTime = in[0].toStdString();
        GlobalsModule::gFinishTime = in[1].toStdString();
        EditDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (int index = 0; index < 2; ++index) {
            EditField1 *field = dialog.field(index);
            QCOMPARE(field->text(), QString::fromUtf8(in[index]));
            if (typed[index].startsWith(u'+')) {
                QTest::keyClick(field, Qt::Key_End);
                QTest::keyClicks(field, typed[index].sliced(1));
            } else if (!typed[index].isNull()) {
                QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(field, Qt::Key_Backspace);
                if (!typed[index].startsWith(u"paste "_s)) {
                    QTest::keyClicks(field, typed[index]);
                    continue;
                }
                QGuiApplication::clipboard()->setText(typed[index].sliced(6));
                QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            }
        }
        QCOMPARE(dialog.okButton()->isEnabled(), ok);
        QCOMPARE(dialog.warning()->isVisible(), !ok);
        if (action == u"OK"_s || action == u"Cancel"_s)
            QTest::mouseClick(
                action == u"OK"_s ? dialog.okButton() : dialog.cancelButton(), Qt::LeftButton);
        else
            QTest::keyClick(action.endsWith(u"Cancel"_s)
                    ? static_cast<QWidget *>(dialog.cancelButton())
                    : dialog.field(1),
                action == u"Escape"_s ? Qt::Key_Escape : Qt::Key_Return);
        QCOMPARE(dialog.isVisible(), out.isEmpty());
        if (out.isEmpty())
            out = in;
        QCOMPARE(QByteArray::fromStdString(GlobalsModule::gStartTime), out[0]);
        QCOMPARE(QByteArray::fromStdString(GlobalsModule::gFinishTime), out[1]);
    }
};

QTEST_MAIN(tst_EditDialog)
#include "tst_editdialog.moc"
