#pragma once

#include "ChannelArguments.h"

#include <QStringList>

// The commands of veltrima-channel. run() returns the exit code: 0 done, 1 a watch
// that timed out before its count, 2 bad arguments, 3 no channel to work on, 4 the
// channel was busy (its lock could not be had in time): nothing was stored or read.
class ChannelTool
{
public:
    int run(const QStringList &arguments);

    static QString usage();

private:
    int show(ChannelArguments &args);
    int setRgb(ChannelArguments &args);
    int setLighting(ChannelArguments &args);
    int setSlots(ChannelArguments &args);
    int setProfile(ChannelArguments &args);
    int setSettings(ChannelArguments &args);
    int setNoti(ChannelArguments &args);
    int setSync(ChannelArguments &args);
    int refresh(ChannelArguments &args);
    int softwareRgb(ChannelArguments &args);
    int watch(ChannelArguments &args);

    int usageError(const QString &message) const;
    // The positional words, or nullopt (after reporting) when their number is wrong.
    std::optional<QStringList> expect(ChannelArguments &args, int minimum, int maximum);
};
