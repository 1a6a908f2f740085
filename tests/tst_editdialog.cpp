#include "editdialog.h"
#include "globalsmodule.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class tst_EditDialog : public QObject
{
    Q_OBJECT

private slots:
    void use_data()
    {
        QTest::addColumn<QByteArrayList>("in"); // the Start and Finish texts handed in
        QTest::addColumn<QStringList>("typed"); // over each field's text; null leaves it alone
        QTest::addColumn<bool>("ok"); // OK enabled after the typing: Open alone decides it
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("result"); // -1: still open
        QTest::addColumn<QByteArrayList>("out");
        const QByteArrayList valid { "05/27 09:00"_ba, "05/27 10:30"_ba };
        const QByteArrayList badStart { "0527 09:00"_ba, valid[1] };
        const QByteArrayList badFinish { valid[0], "05/27 1030"_ba };
        const QByteArrayList odd { "05/27 09:00 caf\xE9 (late)"_ba, "05/27 17:00 \xE2\x82"_ba };
        const QStringList earlier { u"05/27 08:00:45"_s, {} }; // typing stops at 11
        const QByteArrayList earlierOut { "05/27 08:00"_ba, valid[1] };
        const int ok = QDialog::Accepted;
        QTest::newRow("bad finish corrected, Return does nothing")
            << badFinish << QStringList { {}, u"05/27 10:30"_s } << false << u"Return"_s << -1
            << badFinish;
        QTest::newRow("both spoilt, OK stays on and takes them")
            << valid << QStringList { u"5/7 9:05"_s, u"later"_s } << true << u"OK"_s << ok
            << QByteArrayList { "5/7 9:05"_ba, "later"_ba };
        QTest::newRow("long text not UTF-8 kept whole, finish cleared")
            << odd << QStringList { {}, u""_s } << true << u"OK"_s << ok
            << QByteArrayList { odd[0], {} };
        QTest::newRow("Cancel after retyping")
            << odd << QStringList { u"05/27 08:00"_s, u"12/31 23:59"_s } << true << u"Cancel"_s
            << int(QDialog::Rejected) << odd;
        QTest::newRow("Return is OK")
            << valid << earlier << true << u"Return"_s << ok << earlierOut;
        QTest::newRow("Return on Cancel is OK")
            << valid << earlier << true << u"Return on Cancel"_s << ok << earlierOut;
        QTest::newRow("a tab and a line break pasted become spaces")
            << valid << QStringList { u"paste 05/27\t9:00\n"_s, {} } << true << u"OK"_s << ok
            << QByteArrayList { "05/27 9:00 "_ba, valid[1] };
        QTest::newRow("bad start corrected, Escape does nothing")
            << badStart << earlier << false << u"Escape"_s << -1 << badStart;
    }

    void use()
    {
        QFETCH(QByteArrayList, in);
        QFETCH(QStringList, typed);
        QFETCH(bool, ok);
        QFETCH(QString, action);
        QFETCH(int, result);
        QFETCH(QByteArrayList, out);
        GlobalsModule::gStartTime = in[0].toStdString();
        GlobalsModule::gFinishTime = in[1].toStdString();
        EditDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (int index = 0; index < 2; ++index) {
            EditField1 *field = dialog.field(index);
            QCOMPARE(field->text(), QString::fromUtf8(in[index]));
            if (typed[index].isNull())
                continue;
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(field, Qt::Key_Backspace);
            if (typed[index].startsWith(u"paste "_s)) {
                QGuiApplication::clipboard()->setText(typed[index].sliced(6));
                QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            } else {
                QTest::keyClicks(field, typed[index]);
            }
        }
        QCOMPARE(dialog.okButton()->isEnabled(), ok);
        QCOMPARE(dialog.warning()->isVisible(), !ok);
        if (action == u"OK"_s || action == u"Cancel"_s) {
            QTest::mouseClick(
                action == u"OK"_s ? dialog.okButton() : dialog.cancelButton(), Qt::LeftButton);
        } else {
            QTest::keyClick(action.endsWith(u"Cancel"_s)
                    ? static_cast<QWidget *>(dialog.cancelButton())
                    : dialog.field(1),
                action == u"Escape"_s ? Qt::Key_Escape : Qt::Key_Return);
        }
        QCOMPARE(dialog.isVisible() ? -1 : dialog.result(), result);
        QCOMPARE(QByteArray::fromStdString(GlobalsModule::gStartTime), out[0]);
        QCOMPARE(QByteArray::fromStdString(GlobalsModule::gFinishTime), out[1]);
    }

    void typingLimit_data()
    {
        QTest::addColumn<QString>("handedIn");
        QTest::addColumn<QString>("typing"); // at the end of the text; '\b' is Backspace
        QTest::addColumn<QString>("text");
        const QString longText = u"05/27 16:23 abc"_s;
        QTest::newRow("long text, nothing more") << longText << u"d"_s << longText;
        QTest::newRow("shortened long text does not grow back")
            << longText << u"\b\bxyz"_s << u"05/27 16:23 a"_s;
        QTest::newRow("long text cut below 11 refills to 11")
            << longText << u"\b\b\b\b\b\b45xyz"_s << u"05/27 16:45"_s;
    }

    void typingLimit()
    {
        QFETCH(QString, handedIn);
        QFETCH(QString, typing);
        QFETCH(QString, text);
        GlobalsModule::gStartTime = GlobalsModule::gFinishTime = handedIn.toStdString();
        EditDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (EditField1 *field : { dialog.field(0), dialog.field(1) }) {
            QCOMPARE(field->text(), handedIn);
            // Start opens with its text selected; typing starts from the end instead.
            QTest::keyClick(field, Qt::Key_End);
            QTest::keyClicks(field, typing);
            QCOMPARE(field->text(), text);
        }
    }

    void execReturnsAfterOk()
    {
        GlobalsModule::gStartTime = "05/27 09:00";
        GlobalsModule::gFinishTime = "05/27 10:30";
        EditDialog dialog;
        QTimer::singleShot(0, &dialog, [&dialog] {
            dialog.field(0)->setText(u"05/27 08:15"_s);
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
            // Should the click not close it, end the loop anyway so the test fails, not hangs.
            if (dialog.isVisible())
                dialog.done(-1);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(QByteArray::fromStdString(GlobalsModule::gStartTime), "05/27 08:15"_ba);
        QCOMPARE(QByteArray::fromStdString(GlobalsModule::gFinishTime), "05/27 10:30"_ba);
    }
};

QTEST_MAIN(tst_EditDialog)
#include "tst_editdialog.moc"
