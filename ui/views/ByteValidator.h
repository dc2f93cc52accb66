// Integers 0 to 255 for the R/G/B line edits. Unlike a plain QIntValidator, a number
// above 255 is refused as it is typed rather than held as unfinished input.
#pragma once

#include <QIntValidator>

class ByteValidator : public QIntValidator
{
    Q_OBJECT
public:
    explicit ByteValidator(QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;
};
