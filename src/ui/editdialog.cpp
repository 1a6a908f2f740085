#include "editdialog.h"

#include "dateservice.h"
#include "durations.h"
#include "fonts.h"
#include "globalsmodule.h"
#include "singlelinevalidator.h"
#include "timestamps.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// A full time stamp, "MM/DD hh:mm", is 11 characters; that is as far as the user may type.
constexpr int kTypingLimit = 11;

const QColor kWarningRed(239, 31, 29);

QLabel *makeLabel(const QString &text, bool bold, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(labelFont(bold));
    return label;
}

// The room a field takes beside its text: the style's frame, the text margins, the two pixels
// QLineEdit keeps on each side of the text and the cursor behind its last character.
int fieldFrameWidth(const QLineEdit *field)
{
    constexpr int probe = 100;
    QStyleOptionFrame option;
    option.initFrom(field);
    option.rect = QRect(0, 0, probe, probe);
    option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
    const QRect text = field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
    const QMargins margins = field->textMargins();
    const int cursor = field->style()->pixelMetric(QStyle::PM_TextCursorWidth, &option, field);
    return probe - text.width() + margins.left() + margins.right() + 2 * 2 + cursor;
}

// The smallest button whose contents area, inside the style's frame, holds the caption, with the
// style's button margin beside it. No margin above and below: the drawn 20 pixels have none.
QSize captionRoom(const QPushButton *button)
{
    constexpr int probe = 100;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (button->autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    option.rect = QRect(0, 0, probe, probe);
    const QRect contents
        = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QFontMetrics metrics(button->font());
    const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
    return QSize(metrics.horizontalAdvance(button->text()) + margin + probe - contents.width(),
        metrics.height() + probe - contents.height());
}

// What a field hands back: the original bytes while its text is the one it opened with, so that
// bytes which are not valid UTF-8 (an old preferences file) are not replaced behind the user's
// back by a field the user never touched.
std::string resultText(const QString &shown, const std::string &original)
{
    if (shown == QString::fromUtf8(original))
        return original;
    return shown.toUtf8().toStdString();
}

} // namespace

EditField1::EditField1(int index, QWidget *parent)
    : QLineEdit(parent)
    , m_index(index)
{
    setMaxLength(kTypingLimit);
    setValidator(new SingleLineValidator(this));
    // Once a long text has been shortened the field must not grow back past its new length, nor
    // past the typing limit. Only lower the limit when it really changes: setMaxLength resets the
    // text, which moves the cursor to the end.
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        const int limit = std::max(kTypingLimit, static_cast<int>(text.size()));
        if (limit == maxLength())
            return;
        const int cursor = cursorPosition();
        setMaxLength(limit);
        setCursorPosition(cursor);
    });
}

void EditField1::setFieldText(const QString &text)
{
    // Raise the limit first, or setText would cut the text to it.
    setMaxLength(std::max(kTypingLimit, static_cast<int>(text.size())));
    setText(text);
}

EditDialog::EditDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(tr("Edit Start/Finish Times"));
    setModal(true);

    // Creation order is the tab order: Start before Finish, then the buttons. Each label is its
    // field's buddy, which is also the name a screen reader gives the field.
    m_fields[0] = new EditField1(0, this);
    m_labels[0] = makeLabel(tr("Start Time:"), true, this);
    m_fields[1] = new EditField1(1, this);
    m_labels[1] = makeLabel(tr("Finish Time:"), true, this);
    m_labels[0]->setBuddy(m_fields[0]);
    m_labels[1]->setBuddy(m_fields[1]);
    // A time reads month, day, hour and minute from the left in right-to-left languages too.
    for (EditField1 *field : m_fields)
        field->setLayoutDirection(Qt::LeftToRight);

    // Return presses the button that has the focus, as everywhere on the desktop; from a field
    // it presses OK, the default button, while OK is enabled.
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setAutoDefault(true);
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setAutoDefault(true);
    m_ok->setDefault(true);

    m_hint = makeLabel(
        tr("Times must follow the month-slash-day-space-hour-colon-minute format: 05/27 16:23"),
        false, this);
    m_hint->setWordWrap(true);

    m_warning = makeLabel(tr("ERROR!"), true, this);
    QPalette warningPalette = m_warning->palette();
    warningPalette.setColor(QPalette::WindowText, kWarningRed);
    m_warning->setPalette(warningPalette);

    layOut();

    connect(m_cancel, &QPushButton::clicked, this, &EditDialog::PushButton1_Action);
    connect(m_ok, &QPushButton::clicked, this, &EditDialog::PushButton2_Action);
    for (EditField1 *field : m_fields)
        connect(field, &QLineEdit::textChanged, this, &EditDialog::checkTexts);

    Open();
}

// The rectangles drawn for the default font. A control grows only where its text would not fit,
// and what lies right of it or below it moves along, so at the default font nothing moves.
void EditDialog::layOut()
{
    constexpr int left = 13;
    constexpr int top = 13;
    constexpr int right = 17;
    constexpr int bottom = 18;
    constexpr int columnGap = 18;

    int column = 120;
    int labelHeight = 16;
    for (const QLabel *label : m_labels) {
        column = std::max(column, label->sizeHint().width());
        labelHeight = std::max(labelHeight, label->sizeHint().height());
    }
    // A full time stamp shown whole, its eight digits all as wide as the font's widest.
    // Measured in fractions of a pixel, which whole pixels per character would lose.
    const QFontMetricsF fieldMetrics(m_fields[0]->font());
    qreal digit = 0;
    for (char16_t character = u'0'; character <= u'9'; ++character)
        digit = std::max(digit, fieldMetrics.horizontalAdvance(QChar(character)));
    const qreal stamp = 8 * digit + fieldMetrics.horizontalAdvance(u"/ :"_s);
    column = std::max(column, static_cast<int>(std::ceil(stamp)) + fieldFrameWidth(m_fields[0]));
    const int fieldHeight = std::max(22, m_fields[0]->sizeHint().height());
    const int width = left + column + columnGap + column + right;

    const int fieldTop = top + labelHeight + 4;
    for (std::size_t index = 0; index < m_fields.size(); ++index) {
        const int x = left + static_cast<int>(index) * (column + columnGap);
        m_labels.at(index)->setGeometry(x, top, column, labelHeight);
        m_fields.at(index)->setGeometry(x, fieldTop, column, fieldHeight);
    }

    const int hintTop = fieldTop + fieldHeight + 6;
    const int hintWidth = width - left - right;
    m_hint->setGeometry(left, hintTop, hintWidth, std::max(28, m_hint->heightForWidth(hintWidth)));

    const QSize button
        = QSize(60, 20).expandedTo(captionRoom(m_cancel)).expandedTo(captionRoom(m_ok));
    const int buttonTop = m_hint->geometry().bottom() + 1 + 16;
    const int okLeft = width - right - button.width();
    m_ok->setGeometry(QRect(QPoint(okLeft, buttonTop), button));
    m_cancel->setGeometry(QRect(QPoint(okLeft - columnGap - button.width(), buttonTop), button));
    m_warning->setGeometry(
        QRect(QPoint(left, buttonTop + 3), QSize(65, 17).expandedTo(m_warning->sizeHint())));

    setFixedSize(width, buttonTop + button.height() + bottom);
}

bool EditDialog::checkFormat(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    const auto size = static_cast<std::size_t>(bytes.size());
    return ::checkFormat(std::string_view(bytes.constData(), size));
}

void EditDialog::keyPressEvent(QKeyEvent *event)
{
    // Neither button is the cancel button: the dialog closes through its buttons only.
    if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void EditDialog::closeEvent(QCloseEvent *event)
{
    // Alt+F4 or a close button the window manager draws anyway must not bypass the two buttons.
    if (!m_closingByButton) {
        event->ignore();
        return;
    }
    event->accept();
}

void EditDialog::Open() // NOLINT(bugprone-virtual-near-miss): as declared, not QDialog::open
{
    m_opened = { GlobalsModule::gStartTime, GlobalsModule::gFinishTime };
    m_fields[0]->setFieldText(QString::fromUtf8(m_opened[0]));
    m_fields[1]->setFieldText(QString::fromUtf8(m_opened[1]));

    checkTexts();
    m_fields[0]->setFocus();
}

void EditDialog::checkTexts()
{
    const bool readable = checkFormat(m_fields[0]->text()) && checkFormat(m_fields[1]->text());
    // Checked on the bytes OK would hand back, against the clock as the row's Total reads it.
    const bool valid = readable
        && !runsBackwards(resultText(m_fields[0]->text(), m_opened[0]),
            resultText(m_fields[1]->text(), m_opened[1]), Date());
    m_ok->setEnabled(valid);
    m_warning->setVisible(!valid);
}

void EditDialog::PushButton1_Action()
{
    m_closingByButton = true;
    reject();
}

void EditDialog::PushButton2_Action()
{
    GlobalsModule::gStartTime = resultText(m_fields[0]->text(), m_opened[0]);
    GlobalsModule::gFinishTime = resultText(m_fields[1]->text(), m_opened[1]);
    m_closingByButton = true;
    accept();
}
