#include "ChannelTool.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return ChannelTool().run(app.arguments().mid(1));
}
