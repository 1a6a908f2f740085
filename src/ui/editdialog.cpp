#include "editdialog.h"

#include "fonts.h"
#include "globalsmodule.h"
#include "singlelinevalidator.h"
#include "timestamps.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace {

// A full time stamp, "MM/DD hh:mm", is 11 characters; that is as far as the user may type.
constexpr int kTypingLimit = 11;

const QColor kWarningRed(239, 31, 29);

QLabel *makeLabel(const QString &text, const QRect &geometry, bool bold, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(smallFont(bold));
    label->setGeometry(geometry);
    return label;
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
    setFixedSize(288, 143);
    setModal(true);

    // Creation order is the tab order: Start before Finish, then the buttons.
    m_fields[0] = new EditField1(0, this);
    m_fields[0]->setGeometry(13, 33, 120, 22);
    makeLabel(tr("Start Time:"), QRect(13, 13, 120, 16), true, this);
    m_fields[1] = new EditField1(1, this);
    m_fields[1]->setGeometry(151, 33, 120, 22);
    makeLabel(tr("Finish Time:"), QRect(151, 13, 120, 16), true, this);

    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setGeometry(133, 105, 60, 20);
    // Return means OK wherever the focus is; a focused Cancel must not take it over.
    m_cancel->setAutoDefault(false);
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setGeometry(211, 105, 60, 20);
    m_ok->setAutoDefault(false);
    m_ok->setDefault(true);

    QLabel *hint = makeLabel(
        tr("Times must follow the month-slash-day-space-hour-colon-minute format: 05/27 16:23"),
        QRect(13, 61, 258, 28), false, this);
    hint->setWordWrap(true);

    m_warning = makeLabel(tr("ERROR!"), QRect(13, 108, 65, 17), true, this);
    QPalette warningPalette = m_warning->palette();
    warningPalette.setColor(QPalette::WindowText, kWarningRed);
    m_warning->setPalette(warningPalette);

    connect(m_cancel, &QPushButton::clicked, this, &EditDialog::PushButton1_Action);
    connect(m_ok, &QPushButton::clicked, this, &EditDialog::PushButton2_Action);

    Open();
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

    // Decided once: a text that failed here can be corrected, but only Cancel gets out, so the
    // row keeps what it had.
    const bool valid = checkFormat(m_fields[0]->text()) && checkFormat(m_fields[1]->text());
    m_ok->setEnabled(valid);
    m_warning->setVisible(!valid);
    m_fields[0]->setFocus();
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
