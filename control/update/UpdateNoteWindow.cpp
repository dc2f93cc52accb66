#include "UpdateNoteWindow.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

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
    placeClose();
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
        placeClose();
    }
    QWidget::changeEvent(event);
}

void UpdateNoteWindow::placeClose()
{
    // 30 px, centred, do not hold "Close" in most fonts: the button grows about its centre.
    const int width = std::max(30, m_close->fontMetrics().horizontalAdvance(m_close->text()) + 12);
    m_close->setGeometry(150 - width / 2, 250, width, 20);
}
