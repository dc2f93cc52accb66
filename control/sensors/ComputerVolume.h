// Level of what the default sound output plays, asked for once per frame by the
// lighting engine in the sound-driven modes. Until the loopback capture is built it
// reports silence.
#pragma once

#include <QObject>

class ComputerVolume : public QObject
{
    Q_OBJECT
public:
    explicit ComputerVolume(QObject *parent = nullptr);

    void InitialComputerVolume();
    void scanAudio();
    int UpdateVolumeValue();

signals:
    void sendVolume(int level);

public slots:
    void slot_GetVolume();
};
