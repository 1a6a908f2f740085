#include "editdialog.h"
#include "globalsmodule.h"

#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTestEventList>
#include <QTimer>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

// The main window's side of the hand-over: both texts are set before the dialog exists.
void handIn(const QByteArray &start, const QByteArray &finish)
{
    GlobalsModule::gStartTime = start.toStdString();
    GlobalsModule::gFinishTime = finish.toStdString();
}

QByteArray startOut()
{
    return QByteArray::fromStdString(GlobalsModule::gStartTime);
}

QByteArray finishOut()
{
    return QByteArray::fromStdString(GlobalsModule::gFinishTime);
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

// Text committed by an input method, the way letters beyond ASCII usually arrive.
class CommittedText : public QTestEvent
{
public:
    explicit CommittedText(const QString &text)
        : m_text(text)
    {
    }
    QTestEvent *clone() const override { return new CommittedText(*this); }
    void simulate(QWidget *widget) override
    {
        QInputMethodEvent event;
        event.setCommitString(m_text);
        QCoreApplication::sendEvent(widget, &event);
    }

private:
    QString m_text;
};

// The list owns its events and deletes them.
QTestEventList thenCommitted(QTestEventList events, const QString &text)
{
    events.append(new CommittedText(text));
    return events;
}

QTestEventList typed(const QString &text)
{
    QTestEventList events;
    events.addKeyClicks(text);
    return events;
}

// A result code neither button gives, for a dialog the test had to close itself.
constexpr int kNotClosedByButton = 42;

} // namespace

class tst_EditDialog : public QObject
{
    Q_OBJECT
public:
    enum class Attempt { EscapeInStart, EscapeOnDialog, EscapeOnCancel, CloseCall, WindowClose };
    Q_ENUM(Attempt)
    enum class Target { Start, Finish, Cancel };
    Q_ENUM(Target)
    enum class Button { Cancel, Ok };
    Q_ENUM(Button)

private slots:
    void init();

    void checkFormat_data();
    void checkFormat();
    void openDecidesOk_data();
    void openDecidesOk();
    void typingLeavesOkAsOpened_data();
    void typingLeavesOkAsOpened();
    void okReturnsFieldTexts_data();
    void okReturnsFieldTexts();
    void cancelKeepsHandedInTexts_data();
    void cancelKeepsHandedInTexts();
    void onlyButtonsClose_data();
    void onlyButtonsClose();
    void returnKey_data();
    void returnKey();
    void typingLimit_data();
    void typingLimit();
    void longTextSurvivesOk_data();
    void longTextSurvivesOk();
    void invalidUtf8SurvivesOk_data();
    void invalidUtf8SurvivesOk();
    void focusOpensOnStartThenFinish();
    void execReturnsAfterButton_data();
    void execReturnsAfterButton();

private:
    static QWidget *targetWidget(const EditDialog &dialog, Target target);
};

QWidget *tst_EditDialog::targetWidget(const EditDialog &dialog, Target target)
{
    switch (target) {
    case Target::Start:
        return dialog.field(0);
    case Target::Finish:
        return dialog.field(1);
    case Target::Cancel:
        return dialog.cancelButton();
    }
    return nullptr;
}

void tst_EditDialog::init()
{
    handIn({}, {});
}

void tst_EditDialog::checkFormat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("result");
    QTest::newRow("full form") << u"05/27 16:23"_s << true;
    QTest::newRow("single-digit fields") << u"5/7 9:05"_s << true;
    QTest::newRow("empty text") << QString() << true;
    QTest::newRow("no slash as 2nd or 3rd character") << u"0527 16:23"_s << false;
    QTest::newRow("no space") << u"05/27"_s << false;
    QTest::newRow("two spaces") << u"05/27  16:23"_s << false;
    // Characters are code points: one outside the BMP is two QChars but one character, so the
    // slash here is the 3rd character.
    QTest::newRow("emoji in the month") << u"1\U0001F98A/27 16:23"_s << true;
}

void tst_EditDialog::checkFormat()
{
    QFETCH(QString, text);
    QFETCH(bool, result);
    QCOMPARE(EditDialog::checkFormat(text), result);
}

void tst_EditDialog::openDecidesOk_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("finish");
    QTest::addColumn<bool>("okEnabled");
    QTest::newRow("both full stamps") << "05/27 16:23"_ba << "05/27 17:48"_ba << true;
    QTest::newRow("both loose forms") << "5/7 9:05"_ba << "5/7 17:5"_ba << true;
    QTest::newRow("both empty") << QByteArray() << QByteArray() << true;
    QTest::newRow("text after a second space") << "05/27 16:23 late"_ba << "05/27 17:00"_ba
                                               << true;
    QTest::newRow("start without slash") << "0527 16:23"_ba << "05/27 17:48"_ba << false;
    QTest::newRow("finish without minutes") << "05/27 16:23"_ba << "05/27 16:"_ba << false;
    QTest::newRow("both invalid") << "05/27"_ba << "//27 16:23"_ba << false;
}

void tst_EditDialog::openDecidesOk()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, finish);
    QFETCH(bool, okEnabled);
    handIn(start, finish);
    EditDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.field(0)->text(), QString::fromUtf8(start));
    QCOMPARE(dialog.field(1)->text(), QString::fromUtf8(finish));
    QCOMPARE(dialog.okButton()->isEnabled(), okEnabled);
    QCOMPARE(dialog.warning()->isVisible(), !okEnabled);
}

void tst_EditDialog::typingLeavesOkAsOpened_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("finish");
    QTest::addColumn<Target>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("okEnabled");
    QTest::newRow("invalid finish corrected")
        << "05/27 16:23"_ba << "05/27 1623"_ba << Target::Finish << u"05/27 16:23"_s << false;
    QTest::newRow("invalid start corrected")
        << "05/27"_ba << "05/27 17:00"_ba << Target::Start << u"05/27 16:00"_s << false;
    QTest::newRow("valid finish spoilt")
        << "05/27 16:23"_ba << "05/27 17:00"_ba << Target::Finish << u"tomorrow"_s << true;
}

void tst_EditDialog::typingLeavesOkAsOpened()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, finish);
    QFETCH(Target, field);
    QFETCH(QString, text);
    QFETCH(bool, okEnabled);
    handIn(start, finish);
    EditDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    retyped(text).simulate(targetWidget(dialog, field));

    QCOMPARE(qobject_cast<QLineEdit *>(targetWidget(dialog, field))->text(), text);
    QCOMPARE(dialog.okButton()->isEnabled(), okEnabled);
    QCOMPARE(dialog.warning()->isVisible(), !okEnabled);
}

void tst_EditDialog::okReturnsFieldTexts_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("finish");
    QTest::addColumn<QTestEventList>("startKeys");
    QTest::addColumn<QTestEventList>("finishKeys");
    QTest::addColumn<QByteArray>("startResult");
    QTest::addColumn<QByteArray>("finishResult");
    const QByteArray start = "05/27 09:00"_ba;
    const QByteArray finish = "05/27 10:30"_ba;
    QTest::newRow("nothing edited")
        << start << finish << QTestEventList() << QTestEventList() << start << finish;
    QTest::newRow("start edited") << start << finish << retyped(u"05/27 08:45"_s)
                                  << QTestEventList() << "05/27 08:45"_ba << finish;
    QTest::newRow("finish cleared")
        << start << finish << QTestEventList() << retyped(QString()) << start << QByteArray();
    QTest::newRow("both retyped in loose form")
        << start << finish << retyped(u"5/7 9:05"_s) << retyped(u"5/7 17:5"_s) << "5/7 9:05"_ba
        << "5/7 17:5"_ba;
    QTest::newRow("typed text is not checked again")
        << start << finish << QTestEventList() << retyped(u"later"_s) << start << "later"_ba;
    QTest::newRow("typed non-ASCII goes out as UTF-8")
        << start << finish << thenCommitted(retyped(u"05/27 9:00"_s), u"\u00FC"_s)
        << QTestEventList()
        << "05/27 9:00\xC3\xBC"_ba << finish;
}

void tst_EditDialog::okReturnsFieldTexts()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, finish);
    QFETCH(QTestEventList, startKeys);
    QFETCH(QTestEventList, finishKeys);
    QFETCH(QByteArray, startResult);
    QFETCH(QByteArray, finishResult);
    handIn(start, finish);
    EditDialog dialog;
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    startKeys.simulate(dialog.field(0));
    finishKeys.simulate(dialog.field(1));
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);

    QCOMPARE(accepted.count(), 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(startOut(), startResult);
    QCOMPARE(finishOut(), finishResult);
}

void tst_EditDialog::cancelKeepsHandedInTexts_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("finish");
    QTest::newRow("valid texts") << "05/27 09:00"_ba << "05/27 10:30"_ba;
    QTest::newRow("invalid finish, OK disabled") << "05/27 09:00"_ba << "05/27 1030"_ba;
    QTest::newRow("empty texts") << QByteArray() << QByteArray();
    QTest::newRow("bytes that are not UTF-8") << "05/27 09:00 \xFF"_ba << "05/27 10:30 caf\xE9"_ba;
}

void tst_EditDialog::cancelKeepsHandedInTexts()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, finish);
    handIn(start, finish);
    EditDialog dialog;
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    retyped(u"01/01 00:00"_s).simulate(dialog.field(0));
    retyped(u"12/31 23:59"_s).simulate(dialog.field(1));
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);

    QCOMPARE(rejected.count(), 1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(startOut(), start);
    QCOMPARE(finishOut(), finish);
}

void tst_EditDialog::onlyButtonsClose_data()
{
    QTest::addColumn<Attempt>("attempt");
    QTest::newRow("Escape in the Start field") << Attempt::EscapeInStart;
    QTest::newRow("Escape on the dialog") << Attempt::EscapeOnDialog;
    QTest::newRow("Escape on a focused Cancel") << Attempt::EscapeOnCancel;
    QTest::newRow("close() called") << Attempt::CloseCall;
    QTest::newRow("window manager closes the window") << Attempt::WindowClose;
}

void tst_EditDialog::onlyButtonsClose()
{
    QFETCH(Attempt, attempt);
    handIn("05/27 09:00"_ba, "05/27 10:30"_ba);
    EditDialog dialog;
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const int resultBefore = dialog.result();
    retyped(u"05/27 08:00"_s).simulate(dialog.field(0));

    switch (attempt) {
    case Attempt::EscapeInStart:
        QTest::keyClick(dialog.field(0), Qt::Key_Escape);
        break;
    case Attempt::EscapeOnDialog:
        QTest::keyClick(&dialog, Qt::Key_Escape);
        break;
    case Attempt::EscapeOnCancel:
        dialog.cancelButton()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(dialog.cancelButton(), Qt::Key_Escape);
        break;
    case Attempt::CloseCall:
        QVERIFY(!dialog.close());
        break;
    case Attempt::WindowClose:
        QVERIFY(dialog.windowHandle());
        dialog.windowHandle()->close();
        break;
    }

    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), resultBefore);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(dialog.field(0)->text(), u"05/27 08:00"_s);
    QCOMPARE(startOut(), "05/27 09:00"_ba);
}

void tst_EditDialog::returnKey_data()
{
    QTest::addColumn<QByteArray>("finish");
    QTest::addColumn<Target>("target");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("pressesOk");
    const QByteArray valid = "05/27 10:30"_ba;
    const QByteArray invalid = "05/27 1030"_ba;
    QTest::newRow("Return in Start") << valid << Target::Start << int(Qt::Key_Return) << true;
    QTest::newRow("Return in Finish") << valid << Target::Finish << int(Qt::Key_Return) << true;
    QTest::newRow("Return on Cancel") << valid << Target::Cancel << int(Qt::Key_Return) << true;
    QTest::newRow("keypad Enter in Start") << valid << Target::Start << int(Qt::Key_Enter) << true;
    QTest::newRow("Return, OK disabled")
        << invalid << Target::Start << int(Qt::Key_Return) << false;
    QTest::newRow("Return on Cancel, OK disabled")
        << invalid << Target::Cancel << int(Qt::Key_Return) << false;
    QTest::newRow("keypad Enter, OK disabled")
        << invalid << Target::Finish << int(Qt::Key_Enter) << false;
}

void tst_EditDialog::returnKey()
{
    QFETCH(QByteArray, finish);
    QFETCH(Target, target);
    QFETCH(int, key);
    QFETCH(bool, pressesOk);
    handIn("05/27 09:00"_ba, finish);
    EditDialog dialog;
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    retyped(u"05/27 08:00"_s).simulate(dialog.field(0));

    QWidget *widget = targetWidget(dialog, target);
    widget->setFocus(Qt::TabFocusReason);
    const Qt::KeyboardModifiers modifiers =
        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QTest::keyClick(widget, static_cast<Qt::Key>(key), modifiers);

    if (pressesOk) {
        QCOMPARE(finished.count(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(startOut(), "05/27 08:00"_ba);
    } else {
        QCOMPARE(finished.count(), 0);
        QVERIFY(dialog.isVisible());
        QCOMPARE(startOut(), "05/27 09:00"_ba);
    }
    QCOMPARE(finishOut(), finish);
}

void tst_EditDialog::typingLimit_data()
{
    QTest::addColumn<Target>("field");
    QTest::addColumn<QString>("handedIn");
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");

    const QString stamp = u"05/27 16:23"_s;
    const QString longText = u"05/27 16:23 abc"_s;
    QTestEventList backThree;
    for (int i = 0; i < 3; ++i)
        backThree.addKeyClick(Qt::Key_Backspace);
    backThree.addKeyClicks(u":45xy"_s);
    QTestEventList backTwo;
    backTwo.addKeyClick(Qt::Key_Backspace);
    backTwo.addKeyClick(Qt::Key_Backspace);
    backTwo.addKeyClicks(u"xyz"_s);
    QTestEventList backSix;
    for (int i = 0; i < 6; ++i)
        backSix.addKeyClick(Qt::Key_Backspace);
    backSix.addKeyClicks(u"45xyz"_s);
    QTestEventList deleteFront;
    deleteFront.addKeyClick(Qt::Key_Home);
    deleteFront.addKeyClick(Qt::Key_Delete);
    deleteFront.addKeyClick(Qt::Key_Delete);
    deleteFront.addKeyClicks(u"0"_s);

    QTest::newRow("empty start stops at 11")
        << Target::Start << QString() << typed(u"05/27 16:23:45"_s) << stamp << 11;
    QTest::newRow("empty finish stops at 11")
        << Target::Finish << QString() << typed(u"12/31 23:59 pm"_s) << u"12/31 23:59"_s << 11;
    QTest::newRow("full stamp takes nothing more")
        << Target::Start << stamp << typed(u"9"_s) << stamp << 11;
    QTest::newRow("shortened stamp refills to 11")
        << Target::Finish << stamp << backThree << u"05/27 16:45"_s << 11;
    QTest::newRow("long text shown whole, takes nothing more")
        << Target::Start << longText << typed(u"d"_s) << longText << 15;
    QTest::newRow("long text shortened does not grow back")
        << Target::Finish << longText << backTwo << u"05/27 16:23 a"_s << 13;
    QTest::newRow("long text shortened below 11 refills to 11 only")
        << Target::Start << longText << backSix << u"05/27 16:45"_s << 11;
    QTest::newRow("shortening a long text keeps the cursor in place")
        << Target::Finish << longText << deleteFront << u"/27 16:23 abc"_s << 0;
}

void tst_EditDialog::typingLimit()
{
    QFETCH(Target, field);
    QFETCH(QString, handedIn);
    QFETCH(QTestEventList, keys);
    QFETCH(QString, text);
    QFETCH(int, cursor);
    if (field == Target::Start)
        handIn(handedIn.toUtf8(), {});
    else
        handIn({}, handedIn.toUtf8());
    EditDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *edit = qobject_cast<QLineEdit *>(targetWidget(dialog, field));
    QCOMPARE(edit->text(), handedIn);

    // The Start field opens with its text selected; typing starts from the end instead.
    QTest::keyClick(edit, Qt::Key_End);
    keys.simulate(edit);

    QCOMPARE(edit->text(), text);
    QCOMPARE(edit->cursorPosition(), cursor);
}

void tst_EditDialog::longTextSurvivesOk_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("finish");
    QTest::newRow("15-character start") << "05/27 16:23 abc"_ba << "05/27 17:00"_ba;
    QTest::newRow("15-character finish") << "05/27 16:23"_ba << "05/27 17:00 xyz"_ba;
    QTest::newRow("both long") << "05/27 16:23 (late)"_ba << "05/27 17:00 (early)"_ba;
}

void tst_EditDialog::longTextSurvivesOk()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, finish);
    handIn(start, finish);
    EditDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.field(0)->text(), QString::fromUtf8(start));
    QCOMPARE(dialog.field(1)->text(), QString::fromUtf8(finish));

    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(startOut(), start);
    QCOMPARE(finishOut(), finish);
}

void tst_EditDialog::invalidUtf8SurvivesOk_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("finish");
    QTest::newRow("latin-1 e acute") << "05/27 16:23 caf\xE9"_ba << "05/27 17:00"_ba;
    QTest::newRow("lone continuation byte") << "05/27 16:23"_ba << "05/27 17:00 \x80"_ba;
    QTest::newRow("cut three-byte sequence") << "05/27 16:23 \xE2\x82"_ba << "05/27 17:00 \xFF"_ba;
    QTest::newRow("overlong slash") << "05/27 16:23 \xC0\xAF"_ba << "05/27 17:00"_ba;
}

void tst_EditDialog::invalidUtf8SurvivesOk()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, finish);
    handIn(start, finish);
    EditDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.okButton()->isEnabled());

    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(startOut(), start);
    QCOMPARE(finishOut(), finish);
}

void tst_EditDialog::focusOpensOnStartThenFinish()
{
    handIn("05/27 09:00"_ba, "05/27 10:30"_ba);
    EditDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.field(0));

    QTest::keyClick(dialog.field(0), Qt::Key_Tab);

    QCOMPARE(QApplication::focusWidget(), dialog.field(1));
}

void tst_EditDialog::execReturnsAfterButton_data()
{
    QTest::addColumn<Button>("button");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("startResult");
    QTest::newRow("OK") << Button::Ok << int(QDialog::Accepted) << "05/27 08:15"_ba;
    QTest::newRow("Cancel") << Button::Cancel << int(QDialog::Rejected) << "05/27 09:00"_ba;
}

void tst_EditDialog::execReturnsAfterButton()
{
    QFETCH(Button, button);
    QFETCH(int, result);
    QFETCH(QByteArray, startResult);
    handIn("05/27 09:00"_ba, "05/27 10:30"_ba);
    EditDialog dialog;
    QPushButton *pushed = button == Button::Ok ? dialog.okButton() : dialog.cancelButton();
    QTimer::singleShot(0, &dialog, [&dialog, pushed] {
        retyped(u"05/27 08:15"_s).simulate(dialog.field(0));
        QTest::mouseClick(pushed, Qt::LeftButton);
        // Should the click not close it, end the loop anyway so the test fails instead of hanging.
        if (dialog.isVisible())
            dialog.done(kNotClosedByButton);
    });

    QCOMPARE(dialog.exec(), result);
    QCOMPARE(startOut(), startResult);
    QCOMPARE(finishOut(), "05/27 10:30"_ba);
}

QTEST_MAIN(tst_EditDialog)
#include "tst_editdialog.moc"
