#include "bar/customtimer.h"

CustomTimer::CustomTimer(QObject* parent) : QTimer(parent)
{
    connect(this, &QTimer::timeout, this, [this] {
        for (const auto& receiver : receivers)
            receiver->PerformAction();
    });
}

CustomTimer::~CustomTimer() = default;

void CustomTimer::addActionNotificationReceiver(
    std::unique_ptr<ActionNotificationReceiver> receiver)
{
    receivers.push_back(std::move(receiver));
}
