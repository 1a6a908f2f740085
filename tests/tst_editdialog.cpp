#include "editdialog.h"
#include "globalsmodule.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

using namespace Qt::StringLiterals;
using Bytes = QByteArrayList;

class tst_EditDialog : public QObject
{
    Q_OBJECT

private slots:
    void use_data()
    {
        // The Start and Finish texts handed in; the keys, typed from the Start field (which opens
        // selected as Tab leaves the next), a key in braces named as QKeySequence names it, the
        // clipboard holding a tab and a line break; OK enabled and "ERROR!" hidden after the last
        // key; the texts kept, or none while the dialog is still open.
        QTest::addColumn<QByteArrayList>("in");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArrayList>("out");
        const auto row = [](const char *tag, const Bytes &in, const QString &keys, bool ok,
                             const Bytes &out) { QTest::newRow(tag) << in << keys << ok << out; };
        const Bytes valid { "05/27 09:00"_ba, "05/27 10:30"_ba };
        const Bytes odd { "05/27 09:00 caf\xE9 (late)"_ba, "05/27 17:00 \xE2\x82"_ba };
        row("bad finish corrected, then Return is OK", { valid[0], "05/27 1030"_ba },
            u"\t05/27 10:30\r"_s, true, { valid[0], "05/27 10:30"_ba });
        row("bad start corrected, Escape does nothing", { "0527 09:00"_ba, valid[1] },
            u"05/27 09:00\x1b"_s, true, {});
        row("banana, Return does nothing", valid, u"banana\r"_s, false, {});
        row("finish a minute before start", valid, u"\t05/27 08:59\r"_s, false, {});
        row("texts not UTF-8 kept whole, Return is OK", odd, u"\r"_s, true, odd);
        row("start emptied", valid, u"\b\r"_s, true, { {}, valid[1] });
        row("Return on a focused Cancel after retyping", odd, u"05/27 08:00\t12/31 23:59\t\r"_s,
            true, odd);
        row("Space on Cancel; typing stops at 11", valid, u"05/27 08:00:45\tlater\t "_s, false,
            valid);
        row("a tab and a line break pasted become spaces; a long text cut below 11 refills to 11",
            { valid[0], "05/27 16:23 abc"_ba }, u"{Ctrl+V}\t{End}\b\b\b\b\b\b45xyz\r"_s, true,
            { "05/27 9:00 "_ba, "05/27 16:45"_ba });
    }

    void use()
    {
        QFETCH(QByteArrayList, in);
        QFETCH(QString, keys);
        QFETCH(bool, ok);
        QFETCH(QByteArrayList, out);
        GlobalsModule::gStartTime = in[0].toStdString();
        GlobalsModule::gFinishTime = in[1].toStdString();
        QGuiApplication::clipboard()->setText(u"05/27\t9:00\n"_s);
        EditDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (qsizetype at = 0; at < keys.size(); ++at) {
            QWidget *focus = QApplication::focusWidget();
            const qsizetype end = keys[at] == u'{' ? keys.indexOf(u'}', at) : at;
            if (end == at)
                QTest::keyClick(focus, keys[at].toLatin1());
            else
                QTest::keySequence(focus, QKeySequence(keys.sliced(at + 1, end - at - 1)));
            at = end;
        }
        QCOMPARE(dialog.okButton()->isEnabled(), ok);
        QCOMPARE(dialog.warning()->isHidden(), ok);
        QCOMPARE(dialog.isVisible(), out.isEmpty());
        QCOMPARE(Bytes({ QByteArray::fromStdString(GlobalsModule::gStartTime),
                     QByteArray::fromStdString(GlobalsModule::gFinishTime) }),
            out.isEmpty() ? in : out);
    }

    void controls_data()
    {
        QTest::addColumn<int>("points"); // the application font's size; 0 keeps the default
        QTest::newRow("default font") << 0;
        QTest::newRow("16-point font") << 16;
    }

    // Every control holds its text whole, beside the others, and each field bears its label's name.
    void controls()
    {
        QFETCH(int, points);
        const QFont font = QApplication::font();
        const auto restore = qScopeGuard([font] { QApplication::setFont(font); });
        QApplication::setFont(QFont(font.family(), points > 0 ? points : font.pointSize()));
        GlobalsModule::gStartTime = "05/27 16:23";
        GlobalsModule::gFinishTime = "12/31 23:58";
        EditDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        QList<QRect> rects;
        for (const QWidget *widget : dialog.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            rects << widget->geometry();
        if (points == 0) {
            QCOMPARE(dialog.size(), QSize(288, 143));
            QCOMPARE(rects,
                QList<QRect>({ { 13, 33, 120, 22 }, { 13, 13, 120, 16 }, { 151, 33, 120, 22 },
                    { 151, 13, 120, 16 }, { 133, 105, 60, 20 }, { 211, 105, 60, 20 },
                    { 13, 61, 258, 28 }, { 13, 108, 65, 17 } }));
        }
        for (qsizetype at = 0; at < rects.size(); ++at) {
            QVERIFY(dialog.rect().contains(rects[at]));
            for (qsizetype other = at + 1; other < rects.size(); ++other)
                QVERIFY2(!rects[at].intersects(rects[other]), qPrintable(QString::number(other)));
        }

        for (const QLabel *label : dialog.findChildren<QLabel *>()) {
            const QSize needed = label->wordWrap()
                ? QSize(label->width(), label->heightForWidth(label->width()))
                : label->sizeHint();
            QVERIFY2(label->size().expandedTo(needed) == label->size(), qPrintable(label->text()));
            // Labels as large as the font beside them, in the proportion drawn: 10 to 12.
            QVERIFY(QFontInfo(label->font()).pixelSize() * 12
                >= QFontInfo(QApplication::font()).pixelSize() * 10);
        }
        for (int index = 0; index < 2; ++index) {
            EditField1 *field = dialog.field(index);
            QVERIFY(field->height() >= field->sizeHint().height());
            // A text that does not fit scrolls: the cursor then travels less than the text is wide.
            const auto cursorX = [field](bool end) {
                end ? field->end(false) : field->home(false);
                field->grab();
                return field->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
            };
            QCOMPARE(cursorX(true) - cursorX(false),
                field->fontMetrics().horizontalAdvance(field->text()));
            QCOMPARE(QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name),
                index == 0 ? u"Start Time:"_s : u"Finish Time:"_s);
        }
        for (const QPushButton *button : { dialog.cancelButton(), dialog.okButton() }) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.features = QStyleOptionButton::AutoDefaultButton;
            const QRect room
                = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            const QSize text = button->fontMetrics().size(0, button->text());
            QVERIFY2(room.size().expandedTo(text) == room.size(), qPrintable(button->text()));
        }
    }
};

QTEST_MAIN(tst_EditDialog)
#include "tst_editdialog.moc"
