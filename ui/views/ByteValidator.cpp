#include "ByteValidator.h"

ByteValidator::ByteValidator(QObject *parent)
    : QIntValidator(0, 255, parent)
{
}

QValidator::State ByteValidator::validate(QString &input, int &pos) const
{
    const State state = QIntValidator::validate(input, pos);
    if (state != Intermediate || input.isEmpty())
        return state;
    bool ok = false;
    const int value = input.toInt(&ok);
    return ok && value > top() ? Invalid : state;
}
