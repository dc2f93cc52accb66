#include "UpdateNoteWindow.h"

#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

UpdateNoteWindow::UpdateNoteWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_title(new QLabel(tr("Update Note:"), this))
    , m_note(new QPlainTextEdit(this))
    , m_close(new QPushButton(tr("Close"), this))
{
    setObjectName(QStringLiteral("widget_UpdateNote"));
    m_title->setObjectName(QStringLiteral("label_UpdateNote"));
    m_note->setObjectName(QStringLiteral("textEdit_UpdateNote"));
    m_close->setObjectName(QStringLiteral("btn_Close"));

    setGeometry(100, 100, 300, 300);
    m_title->setGeometry(10, 5, 280, 15);
    m_note->setGeometry(10, 20, 280, 240);
    m_note->setReadOnly(true);
    m_close->setGeometry(135, 250, 30, 20);
    connect(m_close, &QPushButton::released, this, &UpdateNoteWindow::closeReleased);
}

void UpdateNoteWindow::appendNote(const QString &note)
{
    m_note->appendPlainText(note);
}

QString UpdateNoteWindow::noteText() const
{
    return m_note->toPlainText();
}

void UpdateNoteWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        m_title->setText(tr("Update Note:"));
        m_close->setText(tr("Close"));
    }
    QWidget::changeEvent(event);
}
