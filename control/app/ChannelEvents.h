// The five callbacks the control program registers with the channel. They run on the
// channel's listener thread and only hand the event to the main thread.
#pragma once

#include "NotiEventData.h"

void receiveRGB_Event(const int module);
void receiveLightMode_Event(int module);
void receiveMemorySlot_Event(int unused);
void receiveNoti_Event(NotiEventData event);
void receiveProfile_Event(int profile);
