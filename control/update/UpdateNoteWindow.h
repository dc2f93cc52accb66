// The release note of the update service in a small window of its own. The note is
// shown as plain text: it comes from the network and must never be read as markup.
#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class UpdateNoteWindow : public QWidget
{
    Q_OBJECT
public:
    // A top-level window even with a parent, which only owns it.
    explicit UpdateNoteWindow(QWidget *parent = nullptr);

    void appendNote(const QString &note);
    QString noteText() const;

signals:
    void closeReleased();

protected:
    void changeEvent(QEvent *event) override;

private:
    void placeClose();

    QLabel *m_title;
    QPlainTextEdit *m_note;
    QPushButton *m_close;
};
