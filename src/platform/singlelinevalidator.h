#pragma once

#include <QValidator>

// Keeps a text field to one line: a tab, carriage return or line feed that reaches it, typed,
// pasted or dropped, becomes a space. A field's text is one field of a tab-separated line in the
// preferences file, and a time stamp the user cannot see whole must not decide a Total.
class SingleLineValidator : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;

    State validate(QString &input, int &position) const override;
};
