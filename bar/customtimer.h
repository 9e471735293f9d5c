#pragma once

// The bar's move-debounce timer: a countdown that, when it runs out, calls PerformAction on each
// receiver registered with it. The timer holds its receivers.

#include <QTimer>

#include <memory>
#include <vector>

// What a CustomTimer calls when its countdown runs out.
class ActionNotificationReceiver
{
public:
    virtual ~ActionNotificationReceiver() = default;
    virtual void PerformAction() = 0;
};

class CustomTimer : public QTimer
{
    Q_OBJECT
public:
    explicit CustomTimer(QObject* parent = nullptr);
    ~CustomTimer() override;

    void addActionNotificationReceiver(std::unique_ptr<ActionNotificationReceiver> receiver);
    // Starts the countdown again from the full period; arms a single-shot timer that has run out.
    void Reset() { start(); }

private:
    std::vector<std::unique_ptr<ActionNotificationReceiver>> receivers;
};
