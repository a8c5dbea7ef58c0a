#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// A timer as the old toolkit had it: Interval in milliseconds (0 never ticks) and Enabled.
class Timer : public QObject
{
    Q_OBJECT
public:
    explicit Timer(QObject *parent = nullptr);

    int Interval() const { return interval_; }
    void setInterval(int ms);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);

    std::function<void()> onTimer;

private:
    void apply();
    QTimer timer_;
    int interval_ = 0;
    bool enabled_ = false;
};
