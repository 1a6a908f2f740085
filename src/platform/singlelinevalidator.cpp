#include "singlelinevalidator.h"

QValidator::State SingleLineValidator::validate(QString &input, int &) const
{
    for (QChar &c : input) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    return Acceptable;
}
