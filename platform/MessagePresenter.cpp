#include "MessagePresenter.h"

#include <QApplication>
#include <QDebug>
#include <QMessageBox>
#include <QThread>

#include <mutex>

namespace {

struct PresenterState
{
    // std::mutex rather than QMutex: ThreadSanitizer sees its hand-over.
    std::mutex mutex;
    MessagePresenter::Presenter presenter;
    QList<MessagePresenter::Box> shown;
};

PresenterState &state()
{
    static PresenterState instance;
    return instance;
}

QMessageBox::Icon boxIcon(MessagePresenter::Icon icon)
{
    switch (icon) {
    case MessagePresenter::Icon::NoIcon:
        return QMessageBox::NoIcon;
    case MessagePresenter::Icon::Information:
        return QMessageBox::Information;
    case MessagePresenter::Icon::Warning:
        return QMessageBox::Warning;
    case MessagePresenter::Icon::Critical:
        return QMessageBox::Critical;
    case MessagePresenter::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

void showOnScreen(const MessagePresenter::Box &box)
{
    auto *message = new QMessageBox(boxIcon(box.icon), box.title, box.text, QMessageBox::Ok);
    message->setAttribute(Qt::WA_DeleteOnClose);
    message->setModal(false);
    message->show();
}

} // namespace

void MessagePresenter::show(const QString &text, const QString &title, Icon icon)
{
    const Box box{text, title, icon};
    const QString line = QStringLiteral("Message box \"%1\": %2").arg(title, text);
    if (icon == Icon::Warning || icon == Icon::Critical)
        qWarning().noquote() << line;
    else
        qInfo().noquote() << line;

    Presenter presenter;
    {
        PresenterState &s = state();
        std::lock_guard<std::mutex> locker(s.mutex);
        s.shown.append(box);
        while (s.shown.size() > MaxRecorded)
            s.shown.removeFirst();
        presenter = s.presenter;
    }
    if (presenter) {
        presenter(box);
        return;
    }

    QCoreApplication *application = QCoreApplication::instance();
    if (!qobject_cast<QApplication *>(application))
        return;
    if (QThread::currentThread() == application->thread()) {
        showOnScreen(box);
        return;
    }
    QMetaObject::invokeMethod(application, [box] { showOnScreen(box); }, Qt::QueuedConnection);
}

void MessagePresenter::setPresenter(Presenter presenter)
{
    PresenterState &s = state();
    std::lock_guard<std::mutex> locker(s.mutex);
    s.presenter = std::move(presenter);
}

QList<MessagePresenter::Box> MessagePresenter::shownBoxes()
{
    PresenterState &s = state();
    std::lock_guard<std::mutex> locker(s.mutex);
    return s.shown;
}

void MessagePresenter::clearShownBoxes()
{
    PresenterState &s = state();
    std::lock_guard<std::mutex> locker(s.mutex);
    s.shown.clear();
}
