// Message boxes that never block their caller: each box is logged and shown as a
// non-modal QMessageBox created on the GUI thread, whichever thread asks for it. Without a
// QApplication the box is only logged. Tests replace the presenter and read the boxes
// that would have been shown.
#pragma once

#include <QList>
#include <QString>

#include <functional>

class MessagePresenter
{
public:
    enum class Icon { NoIcon, Information, Warning, Critical, Question };

    struct Box
    {
        QString text;
        QString title;
        Icon icon = Icon::NoIcon;
    };
    using Presenter = std::function<void(const Box &)>;

    static void show(const QString &text, const QString &title, Icon icon);

    // Replaces the on-screen presenter (an empty function restores it). The replacement is
    // called on the caller's thread and must not block.
    static void setPresenter(Presenter presenter);

    // The boxes asked for so far, oldest first; only the latest MaxRecorded are kept.
    static constexpr int MaxRecorded = 64;
    static QList<Box> shownBoxes();
    static void clearShownBoxes();
};
