#include "editdialog.h"
#include "globalsmodule.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTestEventList>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The main window's side of the hand-over: both texts are set before the dialog exists.
void handIn(const QByteArray &start, const QByteArray &finish)
{
    GlobalsModule::gStartTime = start.toStdString();
    GlobalsModule::gFinishTime = finish.toStdString();
}

QByteArrayList handedOut()
{
    return { QByteArray::fromStdString(GlobalsModule::gStartTime),
        QByteArray::fromStdString(GlobalsModule::gFinishTime) };
}

bool shown(EditDialog &dialog)
{
    dialog.show();
    return QTest::qWaitForWindowExposed(&dialog);
}

QTestEventList keys(const QList<Qt::Key> &presses, const QString &text = {})
{
    QTestEventList events;
    for (const Qt::Key key : presses)
        events.addKeyClick(key);
    events.addKeyClicks(text);
    return events;
}

// What a user does to replace a field's whole text: select all, delete, type.
QTestEventList retyped(const QString &text)
{
    QTestEventList events;
    events.addKeyClick(Qt::Key_A, Qt::ControlModifier);
    events.addKeyClick(Qt::Key_Backspace);
    events.addKeyClicks(text);
    return events;
}

} // namespace

class tst_EditDialog : public QObject
{
    Q_OBJECT
public:
    enum class Target { Start, Finish, Cancel, Ok };
    Q_ENUM(Target)

private slots:
    void openDecidesOk_data();
    void openDecidesOk();
    void closing_data();
    void closing();
    void typingLimit_data();
    void typingLimit();
    void execReturnsAfterOk();
};

void tst_EditDialog::openDecidesOk_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("finish");
    QTest::addColumn<QString>("finishTyped");
    QTest::addColumn<bool>("okEnabled");
    const QByteArray valid = "05/27 16:23"_ba;
    QTest::newRow("valid stamps") << valid << valid << QString() << true;
    QTest::newRow("both empty") << QByteArray() << QByteArray() << QString() << true;
    // One character outside the BMP is two UTF-16 units, yet the slash is still the 3rd character.
    QTest::newRow("emoji in the month")
        << "1\xF0\x9F\xA6\x8A/27 16:23"_ba << valid << QString() << true;
    QTest::newRow("no slash") << "0527 16:23"_ba << valid << QString() << false;
    QTest::newRow("no minutes") << valid << "05/27 16:"_ba << QString() << false;
    QTest::newRow("invalid finish corrected")
        << valid << "05/27 1623"_ba << QString(valid) << false;
    QTest::newRow("valid finish spoilt") << valid << valid << u"tomorrow"_s << true;
}

void tst_EditDialog::openDecidesOk()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, finish);
    QFETCH(QString, finishTyped);
    QFETCH(bool, okEnabled);
    handIn(start, finish);
    EditDialog dialog;
    QVERIFY(shown(dialog));
    QCOMPARE(dialog.field(0)->text(), QString::fromUtf8(start));
    QCOMPARE(dialog.field(1)->text(), QString::fromUtf8(finish));

    if (!finishTyped.isNull()) {
        retyped(finishTyped).simulate(dialog.field(1));
        QCOMPARE(dialog.field(1)->text(), finishTyped);
    }

    QCOMPARE(dialog.okButton()->isEnabled(), okEnabled);
    QCOMPARE(dialog.warning()->isVisible(), !okEnabled);
}

void tst_EditDialog::closing_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("finish");
    QTest::addColumn<QTestEventList>("startKeys");
    QTest::addColumn<QTestEventList>("finishKeys");
    QTest::addColumn<Target>("target");
    QTest::addColumn<int>("key"); // 0: a mouse click
    QTest::addColumn<int>("result"); // -1: still open
    QTest::addColumn<QByteArrayList>("out");
    const QByteArray start = "05/27 09:00"_ba;
    const QByteArray finish = "05/27 10:30"_ba;
    const QByteArray badFinish = "05/27 1030"_ba;
    const QByteArray odd = "05/27 09:00 caf\xE9 (late)"_ba;
    const QTestEventList none;
    const QTestEventList earlier = retyped(u"05/27 08:00"_s);
    const int ok = QDialog::Accepted;
    const int ret = Qt::Key_Return;

    QTest::newRow("OK, nothing edited") << start << finish << none << none << Target::Ok << 0 << ok
                                        << QByteArrayList { start, finish };
    QTest::newRow("OK, both retyped, not checked again")
        << start << finish << retyped(u"5/7 9:05"_s) << retyped(u"later"_s) << Target::Ok << 0 << ok
        << QByteArrayList { "5/7 9:05"_ba, "later"_ba };
    QTest::newRow("OK, finish cleared") << start << finish << none << retyped({}) << Target::Ok << 0
                                        << ok << QByteArrayList { start, {} };
    QTest::newRow("OK keeps long text and bytes not UTF-8 whole")
        << odd << "05/27 17:00 \xE2\x82"_ba << none << none << Target::Ok << 0 << ok
        << QByteArrayList { odd, "05/27 17:00 \xE2\x82"_ba };
    QTest::newRow("Cancel after retyping both")
        << odd << finish << earlier << retyped(u"12/31 23:59"_s) << Target::Cancel << 0
        << int(QDialog::Rejected) << QByteArrayList { odd, finish };
    QTest::newRow("Return in a field is OK")
        << start << finish << earlier << none << Target::Finish << ret << ok
        << QByteArrayList { "05/27 08:00"_ba, finish };
    QTest::newRow("Return on Cancel is OK")
        << start << finish << earlier << none << Target::Cancel << ret << ok
        << QByteArrayList { "05/27 08:00"_ba, finish };
    QTest::newRow("Return while OK is disabled")
        << start << badFinish << earlier << none << Target::Finish << ret << -1
        << QByteArrayList { start, badFinish };
    QTest::newRow("Escape") << start << finish << earlier << none << Target::Start
                            << int(Qt::Key_Escape) << -1 << QByteArrayList { start, finish };
}

void tst_EditDialog::closing()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, finish);
    QFETCH(QTestEventList, startKeys);
    QFETCH(QTestEventList, finishKeys);
    QFETCH(Target, target);
    QFETCH(int, key);
    QFETCH(int, result);
    QFETCH(QByteArrayList, out);
    handIn(start, finish);
    EditDialog dialog;
    QVERIFY(shown(dialog));
    startKeys.simulate(dialog.field(0));
    finishKeys.simulate(dialog.field(1));

    const QList<QWidget *> targets { dialog.field(0), dialog.field(1), dialog.cancelButton(),
        dialog.okButton() };
    QWidget *widget = targets.at(int(target));
    if (key)
        QTest::keyClick(widget, Qt::Key(key));
    else
        QTest::mouseClick(widget, Qt::LeftButton);

    QCOMPARE(dialog.isVisible(), result == -1);
    if (result != -1)
        QCOMPARE(dialog.result(), result);
    QCOMPARE(handedOut(), out);
}

void tst_EditDialog::typingLimit_data()
{
    QTest::addColumn<QString>("handedIn");
    QTest::addColumn<QTestEventList>("typed");
    QTest::addColumn<QString>("text");
    const QString stamp = u"05/27 16:23"_s;
    const QString longText = u"05/27 16:23 abc"_s;
    const auto backspace = Qt::Key_Backspace;
    QTest::newRow("empty field stops at 11") << QString() << keys({}, u"05/27 16:23:45"_s) << stamp;
    QTest::newRow("full stamp takes nothing more") << stamp << keys({}, u"9"_s) << stamp;
    QTest::newRow("long text shown whole, takes nothing more")
        << longText << keys({}, u"d"_s) << longText;
    QTest::newRow("shortened long text does not grow back")
        << longText << keys({ backspace, backspace }, u"xyz"_s) << u"05/27 16:23 a"_s;
    QTest::newRow("long text cut below 11 refills to 11 only")
        << longText << keys(QList<Qt::Key>(6, backspace), u"45xyz"_s) << u"05/27 16:45"_s;
    // Only a cursor that stays put lets the second Delete remove the second character.
    QTest::newRow("cursor stays put as a long text shrinks")
        << longText << keys({ Qt::Key_Home, Qt::Key_Delete, Qt::Key_Delete }) << u"/27 16:23 abc"_s;
}

void tst_EditDialog::typingLimit()
{
    QFETCH(QString, handedIn);
    QFETCH(QTestEventList, typed);
    QFETCH(QString, text);
    handIn(handedIn.toUtf8(), handedIn.toUtf8());
    EditDialog dialog;
    QVERIFY(shown(dialog));
    for (EditField1 *field : { dialog.field(0), dialog.field(1) }) {
        QCOMPARE(field->text(), handedIn);
        // The Start field opens with its text selected; typing starts from the end instead.
        QTest::keyClick(field, Qt::Key_End);
        typed.simulate(field);
        QCOMPARE(field->text(), text);
    }
}

void tst_EditDialog::execReturnsAfterOk()
{
    handIn("05/27 09:00"_ba, "05/27 10:30"_ba);
    EditDialog dialog;
    QTimer::singleShot(0, &dialog, [&dialog] {
        retyped(u"05/27 08:15"_s).simulate(dialog.field(0));
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        // Should the click not close it, end the loop anyway so the test fails instead of hanging.
        if (dialog.isVisible())
            dialog.done(-1);
    });

    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(handedOut(), (QByteArrayList { "05/27 08:15"_ba, "05/27 10:30"_ba }));
}

QTEST_MAIN(tst_EditDialog)
#include "tst_editdialog.moc"
