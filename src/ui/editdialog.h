#pragma once

#include <QDialog>
#include <QLineEdit>
#include <array>
#include <string>

class QLabel;
class QPushButton;

// One of the two time fields of the edit dialog; index 0 is Start, 1 is Finish.
class EditField1 : public QLineEdit
{
    Q_OBJECT
public:
    EditField1(int index, QWidget *parent);
    [[nodiscard]] int index() const { return m_index; }

    // Shows text whole, even beyond the typing limit: the dialog must never cut stored data.
    // Typing then stops at the limit, or at the present length while the text is longer.
    void setFieldText(const QString &text);

private:
    int m_index;
};

// Corrects the Start and Finish texts of a stopped row. The texts come in through
// GlobalsModule::gStartTime and gFinishTime and, after OK, go back out through them; Cancel
// leaves them untouched.
class EditDialog : public QDialog
{
    Q_OBJECT
public:
    explicit EditDialog(QWidget *parent = nullptr);

    // True when the text has the rough shape of a time stamp: month/day hour:minute.
    [[nodiscard]] static bool checkFormat(const QString &text);

    [[nodiscard]] EditField1 *field(int index) const
    {
        return m_fields.at(static_cast<std::size_t>(index));
    }
    [[nodiscard]] QPushButton *cancelButton() const { return m_cancel; }
    [[nodiscard]] QPushButton *okButton() const { return m_ok; }
    [[nodiscard]] QLabel *warning() const { return m_warning; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Open(); // NOLINT(bugprone-virtual-near-miss): the design's setup step, not QDialog::open
    // OK only while both texts can be read and the Finish does not lie before the Start. An
    // emptied field passes: the row then keeps its Total, so no negative one can come of it.
    void checkTexts();
    void layOut();
    void PushButton1_Action();
    void PushButton2_Action();

    std::array<EditField1 *, 2> m_fields {};
    // The bytes the fields were filled from; OK hands them back as they were for an unedited field.
    std::array<std::string, 2> m_opened;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_ok = nullptr;
    std::array<QLabel *, 2> m_labels {};
    QLabel *m_hint = nullptr;
    QLabel *m_warning = nullptr;
    bool m_closingByButton = false;
};
