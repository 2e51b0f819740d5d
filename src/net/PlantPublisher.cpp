#include "PlantPublisher.h"

#include "DailyTables.h"
#include "MimicLogic.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace mqtt {

namespace {
QString isoTime(const QDateTime& t) {
    return t.toString(Qt::ISODate);
}

const char* modeName(int text) {
    switch (text) {
    case 1:
        return "local";
    case 2:
        return "remote";
    case 3:
        return "automatic";
    default:
        return "";
    }
}

QJsonObject furnace(const ImageData& d, int taskByte, int currentByte, int cartTaskByte,
                    int modeByte, bool cartGateFault, bool cartFault, std::uint8_t fillBits,
                    int bunkers) {
    QJsonObject f;
    f.insert("batchesSet", d.byte(taskByte));
    f.insert("batchesDone", d.byte(currentByte));
    f.insert("cartPositionSet", d.byte(cartTaskByte));
    f.insert("unloadMode", modeName(mimic::modeByteText(d.byte(modeByte))));
    f.insert("cartGateFault", cartGateFault);
    f.insert("cartFault", cartFault);
    QJsonArray full;
    for (int b = 0; b < bunkers; ++b)
        full.append(bool(fillBits & (1u << b)));
    f.insert("bunkersFilled", full);
    return f;
}
} // namespace

QByteArray plantPayload(const ImageData& d, const QDateTime& time) {
    QJsonObject o;
    o.insert("time", isoTime(time));
    QJsonArray dosers;
    for (int doser = 1; doser <= 6; ++doser) {
        int suffix = 1;
        while (mimic::kDoserOfSuffix[suffix] != doser)
            ++suffix;
        const mimic::DoserSource& s = mimic::kDoserSource[suffix];
        QJsonObject x;
        x.insert("doser", doser);
        x.insert("setpoint", d.word(s.zad));
        x.insert("correctedSetpoint", d.word(s.skZad));
        x.insert("weight", d.sword(s.weight));
        x.insert("material", d.byte(s.material));
        x.insert("mode", d.bit(s.modeBit.byte, s.modeBit.bit) ? "remote" : "local");
        x.insert("gateOpen", d.bit(s.gateOpen.byte, s.gateOpen.bit));
        x.insert("dosing", d.bit(s.doza.byte, s.doza.bit));
        x.insert("loadCellFault", d.bit(s.tenz.byte, s.tenz.bit));
        dosers.append(x);
    }
    o.insert("dosers", dosers);
    o.insert("section1Mode", modeName(mimic::modeByteText(d.byte(26))));
    o.insert("section2Mode", modeName(mimic::modeByteText(d.byte(77))));
    QJsonObject skip;
    skip.insert("position", mimic::skipPosition(d.byte(81)));
    skip.insert("down", d.bit(81, 0));
    skip.insert("up", d.bit(81, 3));
    skip.insert("mode", modeName(mimic::modeBitText(d.bit(80, 2))));
    skip.insert("fault", d.bit(83, 0));
    skip.insert("upTime", d.byte(86));
    skip.insert("downTime", d.byte(87));
    o.insert("skip", skip);
    QJsonObject conveyors;
    conveyors.insert("collecting", d.bit(81, 7));
    conveyors.insert("chargeToBunker1", d.bit(81, 4));
    conveyors.insert("chargeToBunker2", !d.bit(81, 4) && d.bit(81, 5));
    conveyors.insert("loading", d.bit(69, 6));
    o.insert("conveyors", conveyors);
    QJsonObject bunkers;
    bunkers.insert("bunker2Level", mimic::bigBunkerLevel(d.sword(63)));
    bunkers.insert("intermediateLevel", mimic::bigBunkerLevel(d.sword(65)));
    o.insert("bunkers", bunkers);
    // The furnace bunkers' fill bits: byte 22 for furnace 1, byte 71 for furnace 2.
    o.insert("furnace1", furnace(d, 13, 14, 28, 27, d.bit(25, 0), d.bit(25, 1), d.byte(22), 8));
    o.insert("furnace2", furnace(d, 53, 54, 79, 78, d.bit(75, 3), d.bit(75, 4), d.byte(71), 8));
    o.insert("stop", d.bit(25, 7) || d.bit(76, 7));
    o.insert("attention", d.byte(88) != 0);
    o.insert("image", QString::fromLatin1(
                          QByteArray(reinterpret_cast<const char*>(d.b.data()), 130).toHex()));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

PlantPublisher::PlantPublisher(Publisher::Options options, Publisher::StateSink onState,
                               Clock clock)
    : clock_(std::move(clock)), publisher_(std::move(options), std::move(onState)) {}

// Events and doses are handed over as they are; their JSON is made on the network thread.
void PlantPublisher::event(const QString& text, const char* kind) {
    publisher_.record("event", [time = now(), text, kind] {
        QJsonObject o;
        o.insert("time", isoTime(time));
        o.insert("text", text);
        o.insert("kind", QString::fromLatin1(kind));
        return o;
    });
}

void PlantPublisher::dose(const std::vector<QString>& values) {
    publisher_.record("dose", [values] {
        QJsonObject o;
        const auto& fields = daily::dosingFields();
        for (std::size_t i = 0; i < fields.size() && i < values.size(); ++i)
            o.insert(QString::fromLatin1(fields[i].name), values[i]);
        return o;
    });
}

void PlantPublisher::goodAnswer(const ImageData& image) {
    // Most cycles end here: the plant goes out at most once a second.
    const std::int64_t ms = QDateTime::currentMSecsSinceEpoch();
    if (ms - lastPlantMs_.load() < 1000)
        return;
    lastPlantMs_.store(ms);
    // The message is made on the network thread, from a copy of the image and the moment.
    publisher_.state("plant", [image, ms, time = clock_ ? clock_() : QDateTime()] {
        return plantPayload(image, time.isValid() ? time : QDateTime::fromMSecsSinceEpoch(ms));
    });
}

void PlantPublisher::link(const char* state) {
    QJsonObject o;
    o.insert("state", QString::fromLatin1(state));
    o.insert("time", isoTime(now()));
    publisher_.state("link", QJsonDocument(o).toJson(QJsonDocument::Compact));
}

} // namespace mqtt
