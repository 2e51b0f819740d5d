#pragma once
// The station's messages for the plant network, made from what the data module reports and
// handed to the publisher:
//   <prefix>/status  "online" / "offline" (retained, the will)
//   <prefix>/link    {"state":"open|good|lost","time":...}           (retained)
//   <prefix>/plant   the values an operator reads on the mimic, and the raw image as hex
//                    (retained, at most once a second while answers are good)
//   <prefix>/event   {"time","text","kind","seq"}                     (QoS 1)
//   <prefix>/dose    the dose record's fields as in the dosing table, and "seq" (QoS 1)
// Every method may be called from any thread and never waits for the network.
#include "ProcessImage.h"
#include "Publisher.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <vector>

namespace mqtt {

// The plant's values in an image, as JSON (the payload of <prefix>/plant).
QByteArray plantPayload(const ImageData& image, const QDateTime& time);

class PlantPublisher {
public:
    using Clock = std::function<QDateTime()>;
    PlantPublisher(Publisher::Options options, Publisher::StateSink onState, Clock clock = {});

    // kind: "alarm", "clearing", "message" or "write failure" (a literal: it is kept).
    void event(const QString& text, const char* kind);
    void dose(const std::vector<QString>& values);
    void goodAnswer(const ImageData& image);
    void link(const char* state);

    Publisher& publisher() { return publisher_; }

private:
    QDateTime now() const { return clock_ ? clock_() : QDateTime::currentDateTime(); }

    Clock clock_;
    Publisher publisher_;
    std::atomic<std::int64_t> lastPlantMs_{0};
};

} // namespace mqtt
